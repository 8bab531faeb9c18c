// Text at the program's edges with the user. The file system names files in
// its own encoding (UTF-8 here; the ANSI code page on Windows) and a
// terminal reads its own, while the program's text is Windows-1252: a path
// is converted where it is shown and opened only by its real bytes, and a
// message is converted where it is printed.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// `path` as program text; a character that Windows-1252 lacks shows as '?'.
std::string DisplayPath(std::string_view path);

// Program text as the terminal shows it.
std::string TerminalText(std::string_view text);

}  // namespace tarn
