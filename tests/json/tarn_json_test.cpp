// Runs the tarn-json program built beside the tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "test_support.h"

namespace tarn {
namespace {

struct ToolRun {
  int status;
  std::string output;  // standard output and standard error
};

// `shell` runs before the tool in the same shell (a resource limit).
ToolRun RunTool(const std::string& arguments, const std::string& shell = "") {
  const char* bin = std::getenv("TARN_BIN_DIR");
  std::string command = shell + std::string(bin ? bin : ".") + "/tarn-json " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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
  ToolRun run = RunTool("< " + dir.Path("bad.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "TJSONError: Empty element at position 3\n");
  testing::WriteFile(dir.Path("minus.json"), "[-]");
  run = RunTool(dir.Path("minus.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "EConvertError: '-' is not a valid floating point value\n");
}

TEST(TarnJson, ErrorOutputShowsControlCharactersEscaped) {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("bad.json"), "[1 x\n\x1B[31m\t\x81\x7F\xE9]");
  ToolRun run = RunTool(dir.Path("bad.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "TJSONError: Unexpected character at position 3 - x\\n\\u001B[31m\\t\\u0081\\u007F\xE9]\n");
}

TEST(TarnJson, ReportsMemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
  testing::TempDir dir;
  std::string text = "[";
  for (int i = 0; i < 4000000; ++i) text += "{},";
  text += "{}]";
  testing::WriteFile(dir.Path("many.json"), text);
  // 200 MB of address space hold the program but not the tree.
  ToolRun run = RunTool(dir.Path("many.json"), "ulimit -v 200000 && ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "EOutOfMemory: Out of memory\n");
}

}  // namespace
}  // namespace tarn
