#include "platform/display_path.h"

#include "platform/code_page.h"

namespace tarn {

// Bytes that are not UTF-8 (a name made under another encoding) show as the
// Windows-1252 characters of the same value.
std::string DisplayPath(std::string_view path) { return Utf8ToAnsi(path); }

}  // namespace tarn
