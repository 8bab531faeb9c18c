// The settings window as a screen reader on Linux reads it: the program
// itself, on a virtual display with an accessibility bus, read through
// AT-SPI by accessible_tree.py.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "form1_accessible.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn::testing {
namespace {

TEST(Form1AccessibleQt, EveryControlOfBothPagesHasTheNameAndDescriptionOfTheTable) {
  Sandbox sandbox;
  WriteFile(sandbox.Path("tarnbroker.exe"), "");
  const std::string program = BuiltProgram("tarnconfig");
  ProgramRun run = RunProgram(TARN_ACCESSIBLE_TREE, {program, sandbox.Dir()}, "", Streams::kSeparate);
  ASSERT_EQ(run.status, 0) << run.errors;
  std::vector<std::string> heard;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) heard.push_back(line);
  std::vector<std::string> expected{"dialog\tConfigurações - " + program.substr(0, program.rfind('/') + 1) + "\t"};
  for (const Heard& row : kHeardInForm1) {
    expected.push_back(std::string(row.role) + '\t' + row.name + '\t' + row.description);
  }
  EXPECT_EQ(heard, expected);
}

}  // namespace
}  // namespace tarn::testing
