// The platform's last error code and its system text. Nothing else in the
// program reads errno (or GetLastError on Windows).
#pragma once

#include <string>

namespace tarn {

int LastOSErrorCode();
std::string OSErrorText(int code);
// The platform's code for an argument that a call refuses.
int InvalidArgumentCode();

}  // namespace tarn
