// The companions' command-line conventions: the shared answers to --help,
// --version and a wrong command line, and each companion wired to them.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "expect_error.h"
#include "platform/display_text.h"
#include "platform/os_error.h"
#include "platform/portable/command_line.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

constexpr ProgramUsage kProgram{"prog", "usage: prog [X]\n", "Does things.\n"};
constexpr int kNoSuchFile = 2;  // ENOENT, and ERROR_FILE_NOT_FOUND on Windows

// What a run prints on each stream, and its status.
struct Outcome {
  int status;
  std::string out, err;
};

// Standard output or error sent to a file for the life of the object (the
// test framework's own capture cannot make its file in a folder whose name
// the ANSI code page lacks).
class Redirected {
 public:
  Redirected(int fd, const std::string& path) : fd_(fd), saved_(::dup(fd)) {
    std::fflush(nullptr);
#ifdef _WIN32
    int file = ::_wopen(testing::FsPath(path).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IWRITE);
#else
    int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
#endif
    ::dup2(file, fd_);
    ::close(file);
  }
  ~Redirected() {
    ::dup2(saved_, fd_);
    ::close(saved_);
  }
  Redirected(const Redirected&) = delete;
  Redirected& operator=(const Redirected&) = delete;

 private:
  int fd_, saved_;
};

Outcome RunWith(const std::vector<std::string>& arguments, const ProgramBody& body) {
  testing::TempDir dir;
  int status;
  {
    Redirected out(1, dir.Path("out")), err(2, dir.Path("err"));
    status = RunProgram(kProgram, arguments, body);
  }
  return {status, testing::ReadFile(dir.Path("out")), testing::ReadFile(dir.Path("err"))};
}

TEST(CommandLine, AnswersOnTheConventionalStreamWithTheConventionalStatus) {
  struct Case {
    std::vector<std::string> arguments;
    int status;  // 7: the body ran
    std::string out, err;
  };
  const Case cases[] = {
      {{"--help"}, 0, "usage: prog [X]\n\nDoes things.\n", ""},
      {{"--version"}, 0, "prog " TARN_VERSION "\n", ""},
      // Only alone: a script's stray argument is not taken for granted.
      {{"--version", "x"}, 2, "", "usage: prog [X]\n"},
      {{"--help", "x"}, 2, "", "usage: prog [X]\n"},
      // Only a first argument asks: elsewhere it may be a value.
      {{"x", "--help"}, 7, "ran\n", ""},
      {{}, 7, "ran\n", ""},
      {{"--helpx"}, 7, "ran\n", ""},
      {{"wrong"}, 2, "", "usage: prog [X]\n"},
  };
  for (const Case& c : cases) {
    Outcome run = RunWith(c.arguments, [](const std::vector<std::string>& arguments) {
      if (!arguments.empty() && arguments[0] == "wrong") return WrongCommandLine(kProgram);
      WriteOutput("ran\n");
      return 7;
    });
    EXPECT_EQ(run.out, c.out) << c.arguments.size();
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, c.status);
  }
}

TEST(CommandLine, FailuresAreReportedAfterTheOutputWithStatusOne) {
  struct Case {
    std::function<void()> fail;
    std::string err;
  };
  const Case cases[] = {
      {[] { throw EConvertError("bad\x1B[2Jtext\r\n"); }, "EConvertError: bad\\u001B[2Jtext\n\n"},
      {[] { throw std::bad_alloc(); }, "EOutOfMemory: Out of memory\n"},
      {[] { throw FileArgumentError("no\nsuch", InvalidArgumentCode()); },
       "prog: no\\nsuch: " + OSErrorText(InvalidArgumentCode()) + "\n"},
  };
  for (const Case& c : cases) {
    Outcome run = RunWith({}, [&](const std::vector<std::string>&) {
      WriteOutput("before\n");
      c.fail();
      return 0;
    });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "before\n");
    EXPECT_EQ(run.err, c.err);
  }
}

// A file or a pipe takes the text itself, control characters and all: a
// program reads it, and an escape would change the value.
TEST(CommandLine, ProgramTextReachesAFileInTheUsersCharacterSet) {
  Outcome run = RunWith({}, [](const std::vector<std::string>&) {
    WriteOutputText("Configura\xE7\xE3o\t\x81");
    WriteOutput(std::string(100000, 'x'));
    return 0;
  });
  EXPECT_EQ(run.out, TerminalText("Configura\xE7\xE3o\t\x81") + std::string(100000, 'x'));
}

TEST(CommandLine, TypedTextBecomesProgramTextOrIsRefused) {
  EXPECT_EQ(ArgumentText("a\xC3\xA7\xC3\xA3o \xE2\x82\xAC"), "a\xE7\xE3o \x80");
  EXPECT_THROW_MSG(ArgumentText("\xC5\x81\xC3\xB3" "d\xC5\xBA"), EConvertError,
                   "'?\xF3" "d?' holds characters that Windows-1252 cannot hold");
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
      {"tarn-settings", {"--help", "extra"}, 2, "usage: tarn-settings\n"},
      {"tarn-settings", {"load", "--check"}, 2, "usage: tarn-settings\n"},
      {"tarn-json", {"--help"}, 0, "usage: tarn-json [FILE]\n\nParses"},
      {"tarn-json", {"--version"}, 0, "tarn-json " TARN_VERSION "\n"},
      {"tarn-json", {"-x"}, 2, "usage: tarn-json [FILE]\n"},
      {"tarn-json", {"a", "b"}, 2, "usage: tarn-json [FILE]\n"},
      {"tarn-json", {"-"}, 0, "[1]\n", "[ 1 ]"},
      {"tarn-json", {"-"}, 1, "TJSONError: ", "[1"},
      {"tarn-json", {"missing.json"}, 1, "tarn-json: missing.json: " + OSErrorText(kNoSuchFile) + "\n"},
#ifdef TARN_WITH_WINDOW
      // The window's program answers without a display.
      {"tarnconfig", {"--help"}, 0, "usage: tarnconfig\n\nOpens"},
      {"tarnconfig", {"--version"}, 0, "tarnconfig " TARN_VERSION "\n"},
      {"tarnconfig", {"--bogus"}, 2, "usage: tarnconfig\n"},
#ifndef _WIN32
      // Qt's own options are Qt's; any other argument is a wrong command line.
      {"tarnconfig", {"-platform", "offscreen", "--style=fusion", "-reverse", "--version"}, 0, "tarnconfig "},
      {"tarnconfig", {"-platform", "offscreen", "extra"}, 2, "usage: tarnconfig\n"},
#endif
#endif
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
    testing::ProgramRun run = testing::RunProgram(testing::BuiltProgram(c.program), c.arguments, input);
    EXPECT_EQ(run.status, c.status) << c.program << " " << c.arguments[0];
    EXPECT_TRUE(run.output.starts_with(c.output_start)) << c.program << " " << c.arguments[0] << ": " << run.output;
  }
}

#ifndef _WIN32
TEST(CommandLinePosix, OutputThatCannotBeWrittenFailsEveryCompanion) {
  for (const char* program : {"tarn-settings", "tarn-json"}) {
    testing::ProgramRun run =
        testing::RunProgram("/bin/sh", {"-c", "exec \"$0\" --version >/dev/full", testing::BuiltProgram(program)});
    EXPECT_EQ(run.status, 1) << program;
    EXPECT_EQ(run.output, std::string(program) + ": cannot write the output: No space left on device\n");
  }
}
#endif

}  // namespace
}  // namespace tarn
