#include "runtime/shared_monitor.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

// A monitor that counts its destructions, to see when the slot frees it.
class CountingMonitor final : public TVoidSharedMon {
 public:
  explicit CountingMonitor(int& destroyed) : destroyed_(destroyed) {}
  ~CountingMonitor() override { ++destroyed_; }

  int32_t AttachProcess() override { return 7; }

 private:
  int& destroyed_;
};

// The references an object has, seen through one more reference and its
// release.
int32_t References(IInterface* object) {
  object->AddRef();
  return object->Release();
}

class SharedMonitor : public ::testing::Test {
 protected:
  void TearDown() override { SharedMonShutdown(); }
};

TEST_F(SharedMonitor, StartupInstallsTheNullMonitorWithOneReference) {
  ASSERT_FALSE(SharedMon());
  SharedMonStartup();
  ISharedMon* monitor = SharedMon().get();
  ASSERT_NE(monitor, nullptr);
  EXPECT_NE(dynamic_cast<TVoidSharedMon*>(monitor), nullptr);
  EXPECT_EQ(References(monitor), 1);

  EXPECT_EQ(monitor->AttachProcess(), -1);
  EXPECT_EQ(monitor->Describe(3), "");
  EXPECT_FALSE(monitor->Owner());
  monitor->DetachProcess();
  monitor->EnterCall(1);
  monitor->LeaveCall(1);
  monitor->ConnectionOpened(2);
  monitor->ConnectionClosed(2);
  monitor->SetState(4);
  monitor->SetCounter(5, 6);
  EXPECT_EQ(References(monitor), 1);
}

TEST_F(SharedMonitor, AnswersForItsOwnInterfacesOnly) {
  SharedMonStartup();
  ISharedMon* monitor = SharedMon().get();
  void* found = nullptr;
  EXPECT_EQ(monitor->QueryInterface(ISharedMon::kIID, &found), kSOk);
  EXPECT_EQ(found, monitor);
  EXPECT_EQ(References(monitor), 2);
  monitor->Release();
  EXPECT_EQ(monitor->QueryInterface(IInterface::kIID, &found), kSOk);
  EXPECT_EQ(found, static_cast<IInterface*>(monitor));
  monitor->Release();

  const TGUID other{0xA2AE44DB, 0xD5DF, 0x4B7B, {0x99, 0x9F, 0xAF, 0xA7, 0xC3, 0x63, 0x04, 0xAB}};
  EXPECT_EQ(monitor->QueryInterface(other, &found), kENoInterface);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(References(monitor), 1);
}

TEST_F(SharedMonitor, InstallingAnotherMonitorReleasesTheNullMonitor) {
  SharedMonStartup();
  InterfacePtr<ISharedMon> null_monitor = SharedMon();
  EXPECT_EQ(References(null_monitor.get()), 2);

  int destroyed = 0;
  SetSharedMon(MakeInterfaced<CountingMonitor>(destroyed));
  EXPECT_EQ(References(null_monitor.get()), 1);
  EXPECT_EQ(SharedMon()->AttachProcess(), 7);
  EXPECT_EQ(References(SharedMon().get()), 1);

  SetSharedMon(nullptr);
  EXPECT_FALSE(SharedMon());
  EXPECT_EQ(destroyed, 1);
}

TEST_F(SharedMonitor, InstallingTheCurrentMonitorAgainKeepsItAlive) {
  int destroyed = 0;
  SetSharedMon(MakeInterfaced<CountingMonitor>(destroyed));
  SetSharedMon(SharedMon());
  EXPECT_EQ(destroyed, 0);
  ASSERT_TRUE(SharedMon());
  EXPECT_EQ(References(SharedMon().get()), 1);

  {
    InterfacePtr<ISharedMon> same = SharedMon();
    InterfacePtr<ISharedMon>& alias = same;
    same = alias;
    same = SharedMon();
    EXPECT_EQ(References(same.get()), 2);
  }
  EXPECT_EQ(destroyed, 0);
  SharedMonShutdown();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(SharedMonitor, ShutdownFreesTheMonitorExactlyOnce) {
  int destroyed = 0;
  SetSharedMon(MakeInterfaced<CountingMonitor>(destroyed));
  SharedMonShutdown();
  EXPECT_FALSE(SharedMon());
  EXPECT_EQ(destroyed, 1);
  SharedMonShutdown();
  EXPECT_EQ(destroyed, 1);

  // The null monitor outlives the slot while another holder keeps it; the
  // sanitizer build sees it freed once when that holder lets go.
  SharedMonStartup();
  InterfacePtr<ISharedMon> holder = SharedMon();
  SharedMonShutdown();
  EXPECT_EQ(References(holder.get()), 1);
}

}  // namespace
}  // namespace tarn
