// Text at the program's edges with the user. The file system names files in
// its own encoding (UTF-8 here; the ANSI code page on Windows) and a
// terminal reads its own, while the program's text is Windows-1252: a path
// is converted where it is shown and opened only by its real bytes, and a
// message is converted where it is printed.
//
// The user's text is in the character set of the locale on POSIX (LC_ALL,
// LC_CTYPE, LANG), whether it comes from a terminal, a file or a pipe. A
// locale whose set is ASCII (C, POSIX, or one that is not installed) holds
// nothing beyond ASCII: it is taken as UTF-8, which agrees with it on every
// ASCII character. On Windows a console takes wide text, a file or a pipe
// takes and gives the program's bytes, and the command line arrives as
// UTF-8 (console.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// `path` as program text; a character that Windows-1252 lacks shows as '?'.
std::string DisplayPath(std::string_view path);

// Program text as the user's text; a character that its character set
// lacks shows as '?'.
std::string TerminalText(std::string_view text);
// The same, or nothing when the character set lacks one of its characters.
std::optional<std::string> TerminalTextExactly(std::string_view text);

// Where text the user typed or fed in comes from.
enum class TypedFrom { kCommandLine, kStream };

// The user's text as UTF-8, or nothing when its bytes are not text of the
// character set they come in.
std::optional<std::string> TypedTextAsUtf8(std::string_view bytes, TypedFrom from);
// The name of that character set, for messages ("UTF-8", "ISO-8859-1").
std::string TypedCharset(TypedFrom from);

}  // namespace tarn
