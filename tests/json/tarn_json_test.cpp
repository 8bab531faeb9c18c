// Runs the tarn-json program built beside the tests.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "json/json_output.h"
#include "json/json_parser.h"
#include "platform/display_text.h"
#include "platform/os_error.h"
#include "support/program_run.h"
#include "test_support.h"
#ifndef _WIN32
#include "platform/unprivileged.h"
#endif

namespace tarn {
namespace {

using testing::ProgramRun;
using namespace std::string_literals;

std::string Tool() {
  return std::string(std::getenv("TARN_BIN_DIR")) + testing::kSep + "tarn-json" + testing::kProgramSuffix;
}

// How the text reaches the tool: a file given by name or as standard input,
// a pipe, or a pipe fed with the text over and over as yes(1) feeds one, up
// to a bound that only a tool reading to the end would take.
enum class Input { kFile, kStandardInput, kPipe, kEndlessPipe };
constexpr size_t kEndless = 1024;

ProgramRun RunOnText(const std::string& text, Input input = Input::kFile) {
  if (input >= Input::kPipe) {
    return testing::RunProgram(Tool(), {}, testing::PipedInput{text, input == Input::kPipe ? 1 : kEndless});
  }
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), text);
  if (input == Input::kStandardInput) return testing::RunProgram(Tool(), {}, dir.Path("in.json"));
  return testing::RunProgram(Tool(), {dir.Path("in.json")});
}

std::string Repeated(std::string_view piece, size_t times) {
  std::string text;
  while (times-- > 0) text += piece;
  return text;
}

TEST(TarnJson, PrintsCompactTextOrTheError) {
  struct Case {
    std::string text;
    int status;
    std::string output;  // standard output and standard error
    Input input = Input::kFile;
  };
  const Case cases[] = {
      {"{ \"a\" : [1, 2.50, \"caf\xE9\"],\n \"b\": TRUE }", 0, "{\"a\":[1,2.5,\"caf\\u00E9\"],\"b\":true}\n"},
      {"[1,,2]", 1, "TJSONError: Empty element at position 3\n", Input::kStandardInput},
      {"[-]", 1, "EConvertError: '-' is not a valid floating point value\n"},
      // Line breaks and control characters from the input are shown escaped,
      // the rest as the terminal shows text.
      {"[1 x\n\x1B[31m\t\x81\x7F\xE9]", 1,
       "TJSONError: Unexpected character at position 3 - x\\n\\u001B[31m\\t\\u0081\\u007F" + TerminalText("\xE9") + "]\n"},
      // The parser would stop at a NUL byte and read the text only in part;
      // the NUL is found wherever it lies, from a file or a pipe alike.
      {"[1,\0 2]"s, 1, "TJSONError: NUL byte at position 3\n"},
      {"[1]\0garbage"s, 1, "TJSONError: NUL byte at position 3\n", Input::kStandardInput},
      {std::string(1500000, ' ') + "[1]" + '\0', 1, "TJSONError: NUL byte at position 1500003\n"},
      {std::string(1500000, ' ') + "[1]" + '\0', 1, "TJSONError: NUL byte at position 1500003\n", Input::kStandardInput},
      {"", 1, "TJSONError: The input holds no JSON text\n"},
      {" \r\n\t", 1, "TJSONError: The input holds no JSON text\n", Input::kStandardInput},
      // Standard input carries bytes as they are: no CR LF is turned into LF
      // and a Ctrl-Z does not end it.
      {"[\"a\x1A\r\nb\"]", 0, "[\"a\\u001A\\r\\nb\"]\n", Input::kStandardInput},
      {"[1, {\"a\": 2}]", 0, "[1,{\"a\":2}]\n", Input::kPipe},
      // A start that no JSON text has is refused at once with the parser's
      // error, which shows 20 bytes from there, or what came before the end.
      {Repeated("y\n", 32768), 1, "TJSONError: Unexpected character at position 0 - " + Repeated("y\\n", 10) + "\n",
       Input::kEndlessPipe},
      {Repeated(" \r\n\t", 400000) + "x" + Repeated("yz", 20), 1,
       "TJSONError: Unexpected character at position 1600000 - x" + Repeated("yz", 9) + "y\n", Input::kPipe},
      {" \tnull", 1, "TJSONError: Unexpected character at position 2 - null\n", Input::kPipe},
      {"\xEF\xBB\xBF[1]", 1, "TJSONError: Unexpected character at position 0 - " + TerminalText("\xEF\xBB\xBF") + "[1]\n"},
      {Repeated(" \r\n\t", 400000) + "{}", 0, "{}\n", Input::kPipe},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunOnText(c.text, c.input);
    EXPECT_EQ(run.status, c.status) << c.text.substr(0, 40);
    EXPECT_EQ(run.output, c.output);
    if (c.input == Input::kEndlessPipe) {
      EXPECT_LT(run.piped, c.text.size() * kEndless / 16);
    }
  }
}

// A folder opens on some systems and refuses only the reading.
TEST(TarnJson, NamesTheSystemsReasonForAFolder) {
#ifdef _WIN32
  constexpr int kFolderRefused = 5;  // ERROR_ACCESS_DENIED
#else
  constexpr int kFolderRefused = EISDIR;
#endif
  testing::TempDir dir;
  std::filesystem::create_directory(testing::FsPath(dir.Path("folder.json")));
  ProgramRun run = testing::RunProgram(Tool(), {dir.Path("folder.json")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output,
            "tarn-json: " + TerminalText(DisplayPath(dir.Path("folder.json")) + ": " + OSErrorText(kFolderRefused)) + "\n");
}

// The text goes out in pieces as it is written, all of it, in order.
TEST(TarnJson, WritesALargeTreeWhole) {
  std::string text = "{";
  for (int i = 0; i < 20000; ++i) text += "\"k" + std::to_string(i) + "\":[" + std::to_string(i) + ",\"v\xE9\",0.5],";
  text += "\"end\":null}";
  ProgramRun run = RunOnText(text);
  EXPECT_EQ(run.status, 0);
  std::string expected = ParseJSON(text.c_str())->Text() + "\n";
  ASSERT_GT(expected.size(), 4u * TJSONOutput::kSinkPiece);
  EXPECT_EQ(run.output, expected);
}

#ifndef _WIN32
TEST(TarnJsonPosix, NamesTheSystemsReasonForAFileItCannotRead) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("secret.json"), "[1]");
  std::filesystem::permissions(dir.Path("secret.json"), std::filesystem::perms::none);
  // The superuser reads any file: the program runs as a user who may not,
  // from the test's folder (the build's may be out of that user's reach),
  // and keeps its own temporary files there.
  std::filesystem::permissions(testing::FsPath(dir.Dir()), std::filesystem::perms::all);
  std::filesystem::copy_file(testing::FsPath(Tool()), testing::FsPath(dir.Path("tarn-json")));
  int status = testing::RunUnprivileged([&] {
    testing::SetEnv("TMPDIR", dir.Dir());
    ProgramRun run = testing::RunProgram(dir.Path("tarn-json"), {dir.Path("secret.json")});
    bool refused = run.status == 1 && run.output == "tarn-json: " +
                                                         TerminalText(DisplayPath(dir.Path("secret.json")) + ": " +
                                                                      OSErrorText(EACCES)) +
                                                         "\n";
    return refused ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

TEST(TarnJsonPosix, FailsWhenTheOutputCannotBeWritten) {
  std::string text = "[1";
  for (int i = 0; i < 100000; ++i) text += ",1";
  text += "]";
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), text);
  ProgramRun run = testing::RunProgram("/bin/sh", {"-c", "exec \"$0\" \"$1\" >/dev/full", Tool(), dir.Path("in.json")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "tarn-json: cannot write the output: " + OSErrorText(ENOSPC) + "\n");
}

TEST(TarnJsonPosix, ReportsMemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
  std::string text = "[";
  for (int i = 0; i < 4000000; ++i) text += "{\"a\":0},";
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
