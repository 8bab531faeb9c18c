#include "platform/console.h"

#include <unistd.h>

#include <cerrno>

#include "platform/display_text.h"

namespace tarn {

bool AttachParentConsole() { return true; }

// POSIX streams carry bytes as they are.
void UseBinaryStandardStreams() {}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

int WriteStandardStream(StandardStream stream, std::string_view bytes) {
  int fd = stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO;
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

int WriteStandardStreamText(StandardStream stream, std::string_view program_text) {
  return WriteStandardStream(stream, TerminalText(program_text));
}

// A terminal takes bytes like a file does: nothing to keep apart.
bool IsConsoleStream(StandardStream) { return false; }

bool IsTerminal(StandardStream stream) {
  return ::isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace tarn
