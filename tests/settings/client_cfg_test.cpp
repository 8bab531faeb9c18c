#include "settings/client_cfg.h"

#include "platform/portable/exceptions.h"
#include "expect_error.h"
#include "settings_fixture.h"

namespace tarn {
namespace {

class ClientCfg : public testing::SettingsTest {
 protected:
  void Load() { TtarnClientCfg::LoadFrom(Dir()); }
  void TearDown() override { TtarnClientCfg::Release(); }
};

TEST_F(ClientCfg, DefaultsAndTheKeyIsCreatedOnTheFirstRun) {
  Load();
  EXPECT_FALSE(TtarnClientCfg::Debug());
  EXPECT_EQ(TtarnClientCfg::ForceAddress(), "");
  EXPECT_FALSE(TtarnClientCfg::RequestCompression());
  EXPECT_EQ(TtarnClientCfg::Timeout(), 600000);
  EXPECT_EQ(TtarnClientCfg::UserTimeout(), 1800000);
  EXPECT_TRUE(TRegistry().KeyExists("SOFTWARE\\KESSLAN\\ORVIK"));
}

TEST_F(ClientCfg, TheFileOverridesTheRegistryKeyByKey) {
  WriteRegistry("CLIENT", "TIMEOUT", "120000");
  WriteRegistry("CLIENT", "FORCEADDRESS", "server:6015");
  WriteRegistry("CLIENT", "DEBUG", "1");
  WriteRegistry("CLIENT", "REQUESTCOMPRESSION", "1");
  WriteIni("tarnclient.ini", "[CLIENT]\r\nFORCEADDRESS=\r\nREQUESTCOMPRESSION=yes\r\nUSERTIMEOUT=abc\r\n");
  Load();
  EXPECT_EQ(TtarnClientCfg::Timeout(), 120000);       // the file lacks it
  EXPECT_EQ(TtarnClientCfg::ForceAddress(), "");      // empty text overrides
  EXPECT_TRUE(TtarnClientCfg::Debug());
  EXPECT_TRUE(TtarnClientCfg::RequestCompression());  // not integer text: the registry's value stays
  EXPECT_EQ(TtarnClientCfg::UserTimeout(), 1800000);

  WriteIni("tarnclient.ini", "[CLIENT]\r\nTIMEOUT=300000\r\n");
  Load();
  EXPECT_EQ(TtarnClientCfg::Timeout(), 300000);
}

TEST_F(ClientCfg, OnlyAUserTimeoutOfZeroIsReplaced) {
  WriteIni("tarnclient.ini", "[CLIENT]\r\nUSERTIMEOUT=0\r\nTIMEOUT=0\r\n");
  Load();
  EXPECT_EQ(TtarnClientCfg::UserTimeout(), 1800000);
  EXPECT_EQ(TtarnClientCfg::Timeout(), 0);

  std::filesystem::remove(testing::FsPath(sandbox_.Path("tarnclient.ini")));
  WriteRegistry("CLIENT", "USERTIMEOUT", "0");
  Load();
  EXPECT_EQ(TtarnClientCfg::UserTimeout(), 1800000);

  WriteRegistry("CLIENT", "USERTIMEOUT", "-1");
  Load();
  EXPECT_EQ(TtarnClientCfg::UserTimeout(), -1);
}

TEST_F(ClientCfg, ARegistryValueOfAnotherTypeStopsTheLoad) {
  WriteRegistryDword("CLIENT", "TIMEOUT", 5);
  EXPECT_THROW_MSG(Load(), ERegistryException, "Invalid data type for 'TIMEOUT'");
}

}  // namespace
}  // namespace tarn
