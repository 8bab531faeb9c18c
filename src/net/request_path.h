// The path of a request as it goes on the wire.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// path with a leading "/" (an empty path is "/"), its bytes passed on as
// the platform passes them: blanks, control bytes and bytes above 0x7F are
// escaped, each byte taken as the character of the same code and escaped
// as its UTF-8 bytes; everything else, "%", "?" and "#" included, is kept
// as given.
std::string RequestPath(std::string_view path);

}  // namespace tarn
