// The unified diff of two texts, as `diff -u` writes it, for what a load
// would change in a settings file.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace tarn {

// The hunks ("@@ -a,b +c,d @@" and their lines, three lines of context)
// that turn the lines `before` into `after`; none when they are the same.
std::vector<std::string> UnifiedDiffHunks(std::span<const std::string> before, std::span<const std::string> after);

}  // namespace tarn
