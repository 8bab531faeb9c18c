// The quelmont library against a fake systemctl put first on PATH.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "service/quelmont_last_error.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::LastSvcError;
using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFile;

// A systemctl that logs its arguments and answers with the exit status and
// the message that the test leaves beside it.
class FakeSystemctl {
 public:
  FakeSystemctl() : path_("PATH", dir_.Dir() + ":/usr/bin:/bin") {
    WriteFile(dir_.Path("systemctl"),
              "#!/bin/sh\n"
              "dir=$(dirname \"$0\")\n"
              "echo \"$*\" >>\"$dir/calls\"\n"
              "[ -f \"$dir/message\" ] && cat \"$dir/message\" >&2\n"
              "exit $(cat \"$dir/status\" 2>/dev/null || echo 0)\n");
    ::chmod(dir_.Path("systemctl").c_str(), 0755);
  }

  void Answer(int status, const std::string& message = "") {
    WriteFile(dir_.Path("status"), std::to_string(status));
    WriteFile(dir_.Path("message"), message);
  }
  std::string Calls() const { return ReadFile(dir_.Path("calls")); }

 private:
  TempDir dir_;
  ScopedEnv path_;
};

TEST(QuelmontTest, RunningStateIsSystemctlIsActive) {
  FakeSystemctl systemctl;
  systemctl.Answer(0);
  EXPECT_EQ(ServiceIsRunning("tarnServiceMain"), 1);
  systemctl.Answer(3, "inactive\n");
  EXPECT_EQ(ServiceIsRunning("tarnServiceMain"), 0);
  EXPECT_EQ(systemctl.Calls(), "is-active -- tarnServiceMain\nis-active -- tarnServiceMain\n");
}

TEST(QuelmontTest, StartAndStopKeepSystemctlsMessageOnFailure) {
  FakeSystemctl systemctl;
  systemctl.Answer(5, "Failed to start tarnServiceMain.service: Unit tarnServiceMain.service not found.\n");
  EXPECT_EQ(StartService("tarnServiceMain"), 0);
  EXPECT_EQ(LastSvcError(), "Failed to start tarnServiceMain.service: Unit tarnServiceMain.service not found.");

  systemctl.Answer(0);
  EXPECT_EQ(StopService("tarnServiceMain"), 1);
  EXPECT_EQ(LastSvcError(), "<none>");
  EXPECT_EQ(systemctl.Calls(), "start -- tarnServiceMain\nstop -- tarnServiceMain\n");
}

TEST(QuelmontTest, ErrorTextIsCutToTheCallersBuffer) {
  FakeSystemctl systemctl;
  systemctl.Answer(1, std::string(400, 'e'));
  StopService("tarnServiceMain");
  EXPECT_EQ(LastSvcError(), std::string(QUELMONT_ERROR_BUFFER_SIZE - 1, 'e'));
}

TEST(QuelmontTest, SilentFailureAndMissingSystemctlAreExplained) {
  FakeSystemctl systemctl;
  systemctl.Answer(4);
  StartService("tarnServiceMain");
  EXPECT_EQ(LastSvcError(), "systemctl start tarnServiceMain failed with exit status 4");

  TempDir empty;
  ScopedEnv path("PATH", empty.Dir());
  StartService("tarnServiceMain");
  EXPECT_EQ(LastSvcError(), "systemctl: No such file or directory");
  EXPECT_EQ(ServiceIsRunning("tarnServiceMain"), 0);
}

TEST(QuelmontTest, NamesThatCouldPassForOptionsAreRefused) {
  FakeSystemctl systemctl;
  EXPECT_EQ(StartService("--now"), 0);
  EXPECT_EQ(LastSvcError(), "Invalid service name '--now'");
  EXPECT_EQ(StopService(""), 0);
  EXPECT_EQ(ServiceIsRunning("-x"), 0);
  EXPECT_EQ(systemctl.Calls(), "");
}

}  // namespace
}  // namespace tarn
