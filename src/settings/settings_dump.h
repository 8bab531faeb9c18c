// What `tarn-settings dump` prints: every value of the two settings files
// as a settings document (settings_document.h) that `tarn-settings load`
// takes back, and, as comments, each value that a load takes from
// elsewhere (the registry, or its default) because its file lacks it.
#pragma once

#include <string>
#include <vector>

namespace tarn {

// One line of the dump, in program text. A line of a value names its file
// and key, so that one that cannot be printed exactly can be named.
struct DumpLine {
  std::string text;
  std::string file;  // the path of the value's file; empty for other lines
  std::string key;
  std::string value;
  bool altered = false;  // a Unicode file's value that the code page cannot hold
};

// The dump of the settings folder `dir` (with its trailing separator).
// Raises FileArgumentError for a settings file that is there but cannot
// be read, and the registry's errors as the loads do.
std::vector<DumpLine> DumpSettings(const std::string& dir);

}  // namespace tarn
