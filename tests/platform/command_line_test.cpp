// The companions' command-line conventions: the shared answers to --help,
// --version and a wrong command line, and each companion wired to them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/portable/command_line.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

constexpr ProgramUsage kProgram{"prog", "usage: prog [X]\n", "Does things.\n"};

TEST(CommandLine, AnswersOnTheConventionalStreamWithTheConventionalStatus) {
  struct Case {
    std::vector<std::string> arguments;
    int status;  // -1: the program goes on
    std::string out, err;
  };
  const Case cases[] = {
      {{"--help"}, 0, "usage: prog [X]\n\nDoes things.\n", ""},
      {{"--version", "x"}, 0, "prog " TARN_VERSION "\n", ""},
      // Only a first argument asks: elsewhere it may be a value.
      {{"x", "--help"}, -1, "", ""},
      {{}, -1, "", ""},
      {{"--helpx"}, -1, "", ""},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("prog")};
    for (const std::string& argument : c.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    std::optional<int> status = AnswerHelpOrVersion(kProgram, static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.out) << c.arguments.size();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(status.value_or(-1), c.status);
  }
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(WrongCommandLine(kProgram), 2);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "usage: prog [X]\n");
}

// Each companion answers through the shared code (standard output and
// error interleaved here; which stream is the shared code's, above).
TEST(CommandLine, EveryCompanionFollowsTheConventions) {
  struct Case {
    std::string program;
    std::vector<std::string> arguments;
    int status;
    std::string output_start;
    std::string input = "";
  };
  const std::vector<Case> cases = {
      {"tarn-settings", {"--help"}, 0, "usage: tarn-settings\n       tarn-settings get"},
      {"tarn-settings", {"--version"}, 0, "tarn-settings " TARN_VERSION "\n"},
      {"tarn-settings", {"get", "f.ini"}, 2, "usage: tarn-settings\n"},
      {"tarn-json", {"--help"}, 0, "usage: tarn-json [FILE]\n\nParses"},
      {"tarn-json", {"--version"}, 0, "tarn-json " TARN_VERSION "\n"},
      {"tarn-json", {"-x"}, 2, "usage: tarn-json [FILE]\n"},
      {"tarn-json", {"a", "b"}, 2, "usage: tarn-json [FILE]\n"},
      {"tarn-json", {"-"}, 0, "[1]\n", "[ 1 ]"},
      {"tarn-json", {"-"}, 1, "TJSONError: ", "[1"},
      {"tarn-json", {"missing.json"}, 1, "tarn-json: cannot read missing.json\n"},
#ifdef TARN_WITH_FETCH
      {"tarn-fetch", {"--help"}, 0, "usage: tarn-fetch URL"},
      {"tarn-fetch", {"--version"}, 0, "tarn-fetch " TARN_VERSION "\n"},
      {"tarn-fetch", {"http://127.0.0.1:1/", "--help"}, 2, "usage: tarn-fetch URL"},
#endif
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    std::string input;
    if (!c.input.empty()) {
      input = dir.Path("input");
      testing::WriteFile(input, c.input);
    }
    testing::ProgramRun run = testing::RunProgram(
        std::string(std::getenv("TARN_BIN_DIR")) + testing::kSep + c.program + testing::kProgramSuffix, c.arguments,
        input);
    EXPECT_EQ(run.status, c.status) << c.program << " " << c.arguments[0];
    EXPECT_TRUE(run.output.starts_with(c.output_start)) << c.program << " " << c.arguments[0] << ": " << run.output;
  }
}

}  // namespace
}  // namespace tarn
