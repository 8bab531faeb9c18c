// Paths as the user reads them. The file system names files in its own
// encoding (UTF-8 here; the ANSI code page on Windows), while the program's
// text is Windows-1252: a path is converted where it is shown, and opened
// only by its real bytes.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// `path` as program text; a character that Windows-1252 lacks shows as '?'.
std::string DisplayPath(std::string_view path);

}  // namespace tarn
