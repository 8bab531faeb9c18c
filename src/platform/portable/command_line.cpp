#include "platform/portable/command_line.h"

#include <cstdio>
#include <string_view>

#include "platform/display_text.h"
#include "platform/portable/exceptions.h"

namespace tarn {

std::optional<int> AnswerHelpOrVersion(const ProgramUsage& program, int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  std::string_view option = argv[1];
  if (option == "--help") {
    std::printf("%s\n%s", program.usage, program.description);
  } else if (option == "--version") {
    std::printf("%s %s\n", program.name, TARN_VERSION);
  } else {
    return std::nullopt;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int WrongCommandLine(const ProgramUsage& program) {
  std::fputs(program.usage, stderr);
  return 2;
}

int ReportFailure(const Exception& error) {
  std::fprintf(stderr, "%s: %s\n", error.ClassName(), TerminalText(error.Message()).c_str());
  return 1;
}

}  // namespace tarn
