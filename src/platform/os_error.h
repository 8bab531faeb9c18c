// The platform's last error code, its system text, and the codes that the
// file layer acts on. Nothing else in the program reads errno (or
// GetLastError on Windows); exceptions.h turns a code into EOSError.
#pragma once

#include <string>

namespace tarn {

int LastOSErrorCode();
std::string OSErrorText(int code);
#ifdef _WIN32
// The text of code in the message table of the loaded module_name (such as
// "winhttp.dll"), or in the system's table when the module has none; empty
// when neither has one, where the one-argument form gives "error N".
std::string OSErrorText(int code, const wchar_t* module_name);
#endif
// The platform's code for an argument that a call refuses.
int InvalidArgumentCode();
// The platform's code for a folder where a file was expected.
int IsAFolderCode();
// Nothing at a path, or a folder of it missing.
bool IsMissingFileCode(int code);
// A call cut short by a signal before it did anything, to be made again.
bool IsInterruptionCode(int code);
// Another program holds the file for a moment (a virus scanner, an
// indexer): worth a few more attempts.
bool IsBriefHoldCode(int code);
// Another program has the file open without sharing it (Windows' sharing
// modes; never on POSIX, whose locks are advisory): an open may succeed
// once it lets go.
bool IsSharingCode(int code);

}  // namespace tarn
