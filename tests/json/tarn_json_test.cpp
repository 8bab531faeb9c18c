// Runs the tarn-json program built beside the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

using ToolRun = testing::ProgramRun;

// Runs tarn-json on a file, or on standard input read from `input` when no
// file is named.
ToolRun RunTool(const std::string& file, const std::string& input = "") {
  std::string program = std::string(std::getenv("TARN_BIN_DIR")) + testing::kSep + "tarn-json" + testing::kProgramSuffix;
  return testing::RunProgram(program, file.empty() ? std::vector<std::string>{} : std::vector<std::string>{file}, input);
}

TEST(TarnJson, PrintsCompactTextOfAFile) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), "{ \"a\" : [1, 2.50, \"caf\xE9\"],\n \"b\": TRUE }");
  ToolRun run = RunTool(dir.Path("in.json"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "{\"a\":[1,2.5,\"caf\\u00E9\"],\"b\":true}\n");
}

TEST(TarnJson, ReadsStandardInputAndReportsErrors) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("bad.json"), "[1,,2]");
  ToolRun run = RunTool("", dir.Path("bad.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "TJSONError: Empty element at position 3\n");
  testing::WriteFile(dir.Path("minus.json"), "[-]");
  run = RunTool(dir.Path("minus.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "EConvertError: '-' is not a valid floating point value\n");
}

}  // namespace
}  // namespace tarn
