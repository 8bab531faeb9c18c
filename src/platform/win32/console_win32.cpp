#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <algorithm>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

// Through the C runtime's descriptors, so that a descriptor redirected in
// the process is honoured as it is by the runtime's own output.
HANDLE StreamHandle(StandardStream stream) {
  int fd = stream == StandardStream::kOutput ? 1 : 2;
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// A descriptor that leads somewhere: a file, a pipe, a console.
bool Usable(int fd) {
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

// A stream already redirected stays where it leads; the others take the
// parent's console, through the C runtime's descriptors, which StreamHandle
// reads.
bool AttachParentConsole() {
  bool output = Usable(1);
  if (output && Usable(2)) return true;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return output;
  for (int fd : {1, 2}) {
    if (Usable(fd)) continue;
    int console = ::_wopen(L"CONOUT$", _O_WRONLY | _O_BINARY);
    if (console < 0) continue;
    ::_dup2(console, fd);
    ::_close(console);
  }
  return true;
}

void UseBinaryStandardStreams() {
  for (int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
}

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

int WriteStandardStream(StandardStream stream, std::string_view bytes) {
  HANDLE handle = StreamHandle(stream);
  while (!bytes.empty()) {
    DWORD written = 0;
    auto piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(handle, bytes.data(), piece, &written, nullptr)) return static_cast<int>(::GetLastError());
    bytes.remove_prefix(written);
  }
  return 0;
}

int WriteStandardStreamText(StandardStream stream, std::string_view program_text) {
  if (!IsConsoleStream(stream)) return WriteStandardStream(stream, program_text);
  // A console shows its own code page's bytes (an OEM one): wide text shows
  // every character as the program means it.
  std::u16string wide = AnsiToWide(program_text);
  std::u16string_view rest = wide;
  while (!rest.empty()) {
    DWORD written = 0;
    auto piece = static_cast<DWORD>(std::min<size_t>(rest.size(), 16384));
    if (!::WriteConsoleW(StreamHandle(stream), rest.data(), piece, &written, nullptr) || written == 0) {
      return static_cast<int>(::GetLastError());
    }
    rest.remove_prefix(written);
  }
  return 0;
}

bool IsConsoleStream(StandardStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(StreamHandle(stream), &mode) != 0;
}

bool IsTerminal(StandardStream stream) { return IsConsoleStream(stream); }

}  // namespace tarn
