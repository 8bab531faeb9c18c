// Runs systemctl with one verb on one unit and collects what it says.
#pragma once

#include <string>

namespace quelmont {

struct SystemctlResult {
  bool succeeded;
  std::string message;  // systemctl's own text, or why it could not run
};

// Runs `systemctl <verb> -- <unit>` found along PATH, with no shell between,
// and waits for it. The message is what it wrote, trailing blanks removed;
// when it failed without a word, the message names its exit status.
SystemctlResult RunSystemctl(const char* verb, const std::string& unit);

}  // namespace quelmont
