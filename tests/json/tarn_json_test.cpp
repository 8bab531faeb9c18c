// Runs the tarn-json program built beside the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/display_text.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::ProgramRun;

std::string Tool() {
  return std::string(std::getenv("TARN_BIN_DIR")) + testing::kSep + "tarn-json" + testing::kProgramSuffix;
}

// Runs the tool on a file holding `text`, given by name or as standard input.
ProgramRun RunOnText(const std::string& text, bool standard_input = false) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), text);
  if (standard_input) return testing::RunProgram(Tool(), {}, dir.Path("in.json"));
  return testing::RunProgram(Tool(), {dir.Path("in.json")});
}

TEST(TarnJson, PrintsCompactTextOrTheError) {
  struct Case {
    std::string text;
    int status;
    std::string output;  // standard output and standard error
    bool standard_input = false;
  };
  const Case cases[] = {
      {"{ \"a\" : [1, 2.50, \"caf\xE9\"],\n \"b\": TRUE }", 0, "{\"a\":[1,2.5,\"caf\\u00E9\"],\"b\":true}\n"},
      {"[1,,2]", 1, "TJSONError: Empty element at position 3\n", true},
      {"[-]", 1, "EConvertError: '-' is not a valid floating point value\n"},
      // Line breaks and control characters from the input are shown escaped,
      // the rest as the terminal shows text.
      {"[1 x\n\x1B[31m\t\x81\x7F\xE9]", 1,
       "TJSONError: Unexpected character at position 3 - x\\n\\u001B[31m\\t\\u0081\\u007F" + TerminalText("\xE9") + "]\n"},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunOnText(c.text, c.standard_input);
    EXPECT_EQ(run.status, c.status) << c.text;
    EXPECT_EQ(run.output, c.output);
  }
}

#ifndef _WIN32
TEST(TarnJsonPosix, ReportsMemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
  std::string text = "[";
  for (int i = 0; i < 4000000; ++i) text += "{},";
  text += "{}]";
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), text);
  // 200 MB of address space hold the program but not the tree.
  ProgramRun run = testing::RunProgram("/bin/sh", {"-c", "ulimit -v 200000 && exec \"$0\" \"$1\"", Tool(),
                                                   dir.Path("in.json")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "EOutOfMemory: Out of memory\n");
}
#endif

}  // namespace
}  // namespace tarn
