// The options that Qt takes from tarnconfig's command line by itself
// (-platform offscreen, --style=fusion, -reverse...): they are neither ours
// nor a wrong command line.
#pragma once

#include <string>
#include <vector>

namespace tarn {

// `arguments` without the toolkit's options and their values.
std::vector<std::string> WithoutToolkitOptions(const std::vector<std::string>& arguments);

}  // namespace tarn
