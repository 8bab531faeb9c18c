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

// Runs the tool on a file holding `text`, given by name or as standard input.
ToolRun RunOnText(const std::string& text, bool standard_input = false, const std::string& shell = "") {
  testing::TempDir dir;
  testing::WriteFile(dir.Path("in.json"), text);
  return RunTool((standard_input ? "< " : "") + dir.Path("in.json"), shell);
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
      // Line breaks and control characters from the input are shown escaped.
      {"[1 x\n\x1B[31m\t\x81\x7F\xE9]", 1,
       "TJSONError: Unexpected character at position 3 - x\\n\\u001B[31m\\t\\u0081\\u007F\xE9]\n"},
  };
  for (const Case& c : cases) {
    ToolRun run = RunOnText(c.text, c.standard_input);
    EXPECT_EQ(run.status, c.status) << c.text;
    EXPECT_EQ(run.output, c.output);
  }
}

TEST(TarnJson, ReportsMemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit";
#endif
  std::string text = "[";
  for (int i = 0; i < 4000000; ++i) text += "{},";
  text += "{}]";
  // 200 MB of address space hold the program but not the tree.
  ToolRun run = RunOnText(text, false, "ulimit -v 200000 && ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "EOutOfMemory: Out of memory\n");
}

}  // namespace
}  // namespace tarn
