#include "platform/display_text.h"

namespace tarn {

// The platform hands an ANSI program its paths in the ANSI code page, and a
// console or a file takes the program's bytes as they are.
std::string DisplayPath(std::string_view path) { return std::string(path); }

std::string TerminalText(std::string_view text) { return std::string(text); }

}  // namespace tarn
