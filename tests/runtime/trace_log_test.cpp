#include "runtime/trace_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "runtime/module_startup.h"
#include "counted_object.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::Counted;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class TraceLog : public ::testing::Test {
 protected:
  void TearDown() override {
    TraceLogShutdown();
    ClearTerminateProcs();
  }

  TempDir exe_dir_;
};

TEST_F(TraceLog, StartupCreatesTheTraceDirectoryAndTheState) {
  TraceLogStartup(exe_dir_.Dir());
  EXPECT_TRUE(std::filesystem::is_directory(testing::FsPath(exe_dir_.Path("trace"))));
  EXPECT_EQ(TraceDirectory(), exe_dir_.Dir() + "trace" + testing::kSep);

  EXPECT_NE(TraceLock(), nullptr);
  ASSERT_NE(TraceTable(), nullptr);
  EXPECT_EQ(TraceTable()->Capacity(), 307);
  EXPECT_EQ(TraceTable()->Count(), 0);
  EXPECT_EQ(TraceTable()->Ownership(), THashOwnership::Objects);
  EXPECT_EQ(TraceSmallSizeLimit(), 10485760);
  EXPECT_EQ(TraceLargeSizeLimit(), 52428800);
  EXPECT_EQ(TraceHeldObject(), nullptr);
  // This test program starts no bridge binding.
  EXPECT_FALSE(TraceBridgeContext());
  ASSERT_NE(TraceHeap(), nullptr);
  EXPECT_GE(TraceHeap()->ReservedSize(), 10485760u);
}

TEST_F(TraceLog, PlainFileNamedTraceLeavesTracesBesideTheExecutable) {
  WriteFile(exe_dir_.Path("trace"), "not a directory");
  TraceLogStartup(exe_dir_.Dir());
  EXPECT_EQ(TraceDirectory(), exe_dir_.Dir());
  EXPECT_EQ(ReadFile(exe_dir_.Path("trace")), "not a directory");
}

TEST_F(TraceLog, ExistingTraceDirectoryIsUsedAsItIs) {
  std::filesystem::create_directory(testing::FsPath(exe_dir_.Path("trace")));
  WriteFile(exe_dir_.Path("trace/old.log"), "kept");
  TraceLogStartup(exe_dir_.Dir());
  EXPECT_EQ(TraceDirectory(), exe_dir_.Dir() + "trace" + testing::kSep);
  EXPECT_EQ(ReadFile(exe_dir_.Path("trace/old.log")), "kept");
}

TEST_F(TraceLog, MissingExecutableDirectoryFallsBackToIt) {
  std::string gone = exe_dir_.Path("gone" + testing::kSep);
  TraceLogStartup(gone);
  EXPECT_EQ(TraceDirectory(), gone);
  EXPECT_FALSE(std::filesystem::exists(testing::FsPath(gone)));
}

TEST_F(TraceLog, TerminationHookFreesTheHeldObjectOnce) {
  int destroyed = 0;
  TraceLogStartup(exe_dir_.Dir());
  SetTraceHeldObject(std::make_unique<Counted>(destroyed));
  ASSERT_NE(TraceHeldObject(), nullptr);

  EXPECT_TRUE(CallTerminateProcs());
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(TraceHeldObject(), nullptr);
  EXPECT_TRUE(TraceLogTerminate());
  TraceLogShutdown();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(TraceLog, ShutdownReleasesEverything) {
  int destroyed = 0;
  TraceLogStartup(exe_dir_.Dir());
  SetTraceHeldObject(std::make_unique<Counted>(destroyed));
  TraceTable()->Add("first", new Counted(destroyed));
  TraceTable()->Add("second", new Counted(destroyed));
  void* block = TraceHeap()->Allocate(100);
  ASSERT_NE(block, nullptr);

  TraceLogShutdown();
  EXPECT_EQ(destroyed, 3);
  EXPECT_EQ(TraceLock(), nullptr);
  EXPECT_EQ(TraceTable(), nullptr);
  EXPECT_EQ(TraceHeap(), nullptr);
  EXPECT_EQ(TraceDirectory(), "");
}

// ---------------------------------------------------------------------------
// The program's modules, run in a copy of the module probe placed in a fresh
// directory, beside a bridge library or beside none.

std::map<std::string, std::string> RunProbe(const TempDir& dir) {
  std::string probe = dir.Path("module_probe" + testing::kProgramSuffix);
  std::filesystem::copy_file(TARN_MODULE_PROBE, testing::FsPath(probe));
  testing::Sandbox registry;
  testing::ProgramRun run = testing::RunProgram(probe, {});
  EXPECT_EQ(run.status, 0) << run.output;
  std::map<std::string, std::string> values;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

TEST(ProgramModules, BindTheBridgeEntriesThatTheLibraryOffers) {
  struct BridgeCase {
    const char* library;  // placed beside the program; null for none
    const char* set_context;
    const char* get_context;
    const char* set_in_server_env;
  };
  const BridgeCase cases[] = {
      {nullptr, "0", "0", "0"},
      {TARN_BRIDGE_LIBRARY, "1", "1", "1"},
      {TARN_BRIDGE_GETCONTEXT_ONLY, "0", "1", "0"},
  };
  for (const BridgeCase& bridge : cases) {
    SCOPED_TRACE(bridge.library ? bridge.library : "no library");
    TempDir dir;
    if (bridge.library) {
      std::filesystem::copy_file(testing::FsPath(bridge.library), testing::FsPath(dir.Path(testing::LibraryFileName("tarnbrokerbridge"))));
    }
    auto values = RunProbe(dir);
    EXPECT_EQ(values["SetContext"], bridge.set_context);
    EXPECT_EQ(values["GetContext"], bridge.get_context);
    EXPECT_EQ(values["SetInServerEnv"], bridge.set_in_server_env);
    // The trace-log set-up follows the GetContext slot.
    EXPECT_EQ(values["BridgeContext"], bridge.get_context);
    EXPECT_EQ(values["TraceDirectory"], dir.Dir() + "trace" + testing::kSep);
  }
}

TEST(ProgramModules, RuntimeModulesStartBeforeTheWindowAndShutDownAfterIt) {
  TempDir dir;
  auto values = RunProbe(dir);
  EXPECT_EQ(values["SharedMonAttach"], "-1");
  EXPECT_EQ(values["TraceTableCount"], "0");
  EXPECT_EQ(values["TerminateProcs"], "1");
  EXPECT_EQ(values["TraceTableAtWindowShutdown"], "1");
  EXPECT_EQ(values["TraceTableAtToolkitShutdown"], "0");
  EXPECT_EQ(values["SharedMonAtToolkitShutdown"], "0");
}

}  // namespace
}  // namespace tarn
