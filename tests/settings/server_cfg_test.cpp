#include "settings/server_cfg.h"

#include "platform/portable/exceptions.h"
#include "expect_error.h"
#include "settings_fixture.h"

namespace tarn {
namespace {

class ServerCfg : public testing::SettingsTest {
 protected:
  void Load() { TtarnServerCfg::LoadFrom(Dir()); }
  void TearDown() override { TtarnServerCfg::Release(); }
};

TEST_F(ServerCfg, NoSourceGivesEveryDefault) {
  Load();
  EXPECT_EQ(TtarnServerCfg::TaskGovernorInterval(), 30000);
  EXPECT_FALSE(TtarnServerCfg::DebugMem());
  EXPECT_EQ(TtarnServerCfg::MaxTasks(), 100);
  EXPECT_EQ(TtarnServerCfg::ProcessRecycleTimeLimit(), 10800000);
  EXPECT_EQ(TtarnServerCfg::ProcessRecycleMemLimit(), 314572800);
  EXPECT_EQ(TtarnServerCfg::LogSizeLimit(), 52428800);
  EXPECT_EQ(TtarnServerCfg::MultiProcessMode(), 2);
  EXPECT_EQ(TtarnServerCfg::Port(), 6015);
  EXPECT_EQ(TtarnServerCfg::SSLPort(), 443);
  EXPECT_EQ(TtarnServerCfg::MaxDB(), 200);
  EXPECT_TRUE(TtarnServerCfg::UseBufferManager());
  EXPECT_TRUE(TtarnServerCfg::HTTP());
  EXPECT_EQ(TtarnServerCfg::MinimumSchedulerWorkers(), 2);
  EXPECT_EQ(TtarnServerCfg::IpVersion(), 4);
  EXPECT_EQ(TtarnServerCfg::WorkersPerCore(), 2);
  EXPECT_FALSE(TRegistry().KeyExists("SOFTWARE\\KESSLAN\\ORVIK")) << "the server load never creates the key";
}

TEST_F(ServerCfg, AnEmptyFileGivesDefaultsAndTheRegistryIsIgnored) {
  WriteRegistry("SERVER", "log_level", "5");
  WriteRegistry("SERVER", "ip_version", "6");
  WriteIni("tarnserver.ini", "");
  Load();
  EXPECT_EQ(TtarnServerCfg::LogLevel(), 0);
  EXPECT_EQ(TtarnServerCfg::IpVersion(), 4);
  EXPECT_EQ(TtarnServerCfg::WorkersPerCore(), 2);
}

TEST_F(ServerCfg, TheRegistryLacksThreeKeys) {
  WriteRegistry("SERVER", "SSLPort", "8443");
  WriteRegistry("SERVER", "process_recycle_time_limit", "1");
  WriteRegistry("SERVER", "process_recycle_mem_limit", "1");
  WriteRegistry("SERVER", "log_level", "3");
  WriteRegistry("SERVER", "ForceCounterAddress", "10.0.0.1");
  Load();
  EXPECT_EQ(TtarnServerCfg::SSLPort(), 443);
  EXPECT_EQ(TtarnServerCfg::ProcessRecycleTimeLimit(), 10800000);
  EXPECT_EQ(TtarnServerCfg::ProcessRecycleMemLimit(), 314572800);
  EXPECT_EQ(TtarnServerCfg::LogLevel(), 3);
  EXPECT_EQ(TtarnServerCfg::ForceCounterAddress(), "10.0.0.1");
}

TEST_F(ServerCfg, FileValuesFollowTheIntegerTextRulesAndWidths) {
  WriteIni("tarnserver.ini",
           "[server]\r\nLOG_LEVEL=3\r\nPort=0x1780\r\nMaxDB=$177F\r\nmax_bandwidth=60x5\r\n"
           "debug_mem=2\r\ncache_enabled=true\r\nmax_tasks=70000\r\nmulti_process_mode=258\r\n"
           "ip_version=65542\r\nSSLPort=8443\r\nHTTP=0\r\n");
  Load();
  EXPECT_EQ(TtarnServerCfg::LogLevel(), 3);
  EXPECT_EQ(TtarnServerCfg::Port(), 6016);
  EXPECT_EQ(TtarnServerCfg::MaxDB(), 6015);
  EXPECT_EQ(TtarnServerCfg::MaxBandwidth(), 0);
  EXPECT_TRUE(TtarnServerCfg::DebugMem());
  EXPECT_FALSE(TtarnServerCfg::CacheEnabled());
  EXPECT_EQ(TtarnServerCfg::MaxTasks(), 4464);
  EXPECT_EQ(TtarnServerCfg::MultiProcessMode(), 2);
  EXPECT_EQ(TtarnServerCfg::IpVersion(), 6);
  EXPECT_EQ(TtarnServerCfg::SSLPort(), 8443);
  EXPECT_FALSE(TtarnServerCfg::HTTP());
}

TEST_F(ServerCfg, ADirectoryNamedLikeTheFileDoesNotCount) {
  std::filesystem::create_directory(testing::FsPath(sandbox_.Path("tarnserver.ini")));
  WriteRegistry("SERVER", "log_level", "7");
  Load();
  EXPECT_EQ(TtarnServerCfg::LogLevel(), 7);
}

TEST_F(ServerCfg, ARegistryValueOfAnotherTypeStopsTheLoad) {
  WriteRegistryDword("SERVER", "max_tasks", 5);
  EXPECT_THROW_MSG(Load(), ERegistryException, "Invalid data type for 'max_tasks'");
}

// The settings window's service flag is no server setting: its type is not
// checked.
TEST_F(ServerCfg, AServiceFlagOfAnotherTypeReadsAsUnset) {
  WriteRegistryDword("SERVER", "ASSERVICE", 1);
  WriteRegistry("SERVER", "Port", "7000");
  Load();
  EXPECT_FALSE(TtarnServerCfg::AsService());
  EXPECT_EQ(TtarnServerCfg::Port(), 7000);
}

}  // namespace
}  // namespace tarn
