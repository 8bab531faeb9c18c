// The platform's last error code and its system text. Nothing else in the
// program reads errno (or GetLastError on Windows).
#pragma once

#include <string>

namespace tarn {

int LastOSErrorCode();
std::string OSErrorText(int code);
#ifdef _WIN32
// The text of code in the message table of the loaded module_name (such as
// "winhttp.dll"), or in the system's table when the module has none.
std::string OSErrorText(int code, const wchar_t* module_name);
#endif
// The platform's code for an argument that a call refuses.
int InvalidArgumentCode();

}  // namespace tarn
