// The encodings of a profile file's text. A file that starts with a UTF-16
// byte-order mark (FF FE little-endian, FE FF big-endian) is a Unicode
// profile file; any other holds 8-bit text in the program's code page, and
// a new file is always such a file. The engine reads and changes a Unicode
// file's text as UTF-8, which keeps every unit of it, so that a write
// changes nothing but what it writes, and converts names and values
// between that text and the program's as the platform's profile functions
// do.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

enum class ProfileEncoding { kAnsi, kUtf16Le, kUtf16Be };

struct ProfileText {
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  // The file's bytes, or a Unicode file's text as UTF-8 without its mark.
  std::string text;
  // False when a Unicode file's bytes are not whole UTF-16 units (an odd
  // count): they can be read, but not written back as they were.
  bool whole = true;
};

ProfileText DecodeProfile(std::string bytes);
std::string EncodeProfile(const ProfileText& file);

// Program text (a name, a value) as the file's text, and back: characters
// that the program's code page lacks become what the platform's
// conversion makes of them.
std::string ToProfileText(ProfileEncoding encoding, std::string_view program_text);
std::string FromProfileText(ProfileEncoding encoding, std::string_view file_text);

}  // namespace tarn
