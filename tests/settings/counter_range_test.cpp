#include "settings/counter_range.h"

#include "platform/display_text.h"
#include "platform/portable/exceptions.h"
#include "settings_fixture.h"

namespace tarn {
namespace {

class CounterRange : public testing::SettingsTest {
 protected:
  void LoadFile(const std::string& keys) {
    WriteIni("tarnserver.ini", "[QUORVAN]\r\n" + keys);
    CounterRangeSettings::LoadFrom(Dir());
  }
  void TearDown() override { CounterRangeSettings::Release(); }
  static std::pair<int32_t, int32_t> Bounds() {
    return {CounterRangeSettings::RangeLow(), CounterRangeSettings::RangeHigh()};
  }
};

using Range = std::pair<int32_t, int32_t>;

TEST_F(CounterRange, NoKeysSelectTheWholeSpan) {
  LoadFile("");
  EXPECT_EQ(CounterRangeSettings::RangeStart(), -1);
  EXPECT_EQ(CounterRangeSettings::RangeEnd(), -1);
  EXPECT_EQ(CounterRangeSettings::RangeIndex(), -1);
  EXPECT_EQ(CounterRangeSettings::RangeMax(), -1);
  EXPECT_EQ(Bounds(), Range(0, 2147000000));
  EXPECT_EQ(CounterRangeSettings::CounterPath(), DisplayPath(Dir()));
}

TEST_F(CounterRange, IndexRuleSlicesTheSpan) {
  LoadFile("RangeIndex=2\r\nRangeMax=4\r\n");
  EXPECT_EQ(Bounds(), Range(536750000, 1073500000));
  LoadFile("RangeIndex=3\r\nRangeMax=3\r\n");
  EXPECT_EQ(Bounds(), Range(1431333332, 2146999998));
  LoadFile("RangeStart=1000\r\nRangeEnd=\r\nRangeIndex=2\r\nRangeMax=2\r\n");
  EXPECT_EQ(Bounds(), Range(1073500000, 2147000000));
  EXPECT_EQ(CounterRangeSettings::RangeStart(), 1000);
}

TEST_F(CounterRange, ExplicitBoundsWinWhenBothAreGiven) {
  LoadFile("CounterPath=/var/counters/\r\nRangeStart=1000\r\nRangeEnd=2000\r\nRangeIndex=2\r\nRangeMax=4\r\n");
  EXPECT_EQ(Bounds(), Range(1000, 2000));
  EXPECT_EQ(CounterRangeSettings::CounterPath(), "/var/counters/");
  LoadFile("RangeStart=abc\r\nRangeEnd=2000\r\n");
  EXPECT_EQ(Bounds(), Range(1, 2000));
  EXPECT_EQ(CounterRangeSettings::RangeStart(), -1);
  LoadFile("RangeStart=5\r\nRangeEnd=x\r\n");
  EXPECT_EQ(Bounds(), Range(5, 0x7FFFFFFF));
}

TEST_F(CounterRange, TheEmptyKeysOfASaveReadAsNoKeys) {
  LoadFile("RangeIndex=\r\nRangeMax=\r\nRangeStart=\r\nRangeEnd=\r\n");
  EXPECT_EQ(CounterRangeSettings::RangeIndex(), -1);
  EXPECT_EQ(Bounds(), Range(0, 2147000000));
}

TEST_F(CounterRange, SettingsThatWouldDivideByZeroOrOverflowSelectTheWholeSpan) {
  for (const char* keys : {"RangeMax=0\r\n", "RangeIndex=5\r\nRangeMax=4\r\n", "RangeIndex=0\r\nRangeMax=4\r\n",
                           "RangeIndex=-3\r\nRangeMax=4\r\n", "RangeIndex=2\r\nRangeMax=-4\r\n",
                           "RangeIndex=2147483647\r\n"}) {
    LoadFile(keys);
    EXPECT_EQ(Bounds(), Range(0, 2147000000)) << keys;
  }
  LoadFile("RangeIndex=2147000000\r\nRangeMax=2147000000\r\n");
  EXPECT_EQ(Bounds(), Range(2146999999, 2147000000));
}

TEST_F(CounterRange, WithoutTheFileTheRegistryKeyIsReadAndCreated) {
  CounterRangeSettings::LoadFrom(Dir());
  EXPECT_TRUE(TRegistry().KeyExists("SOFTWARE\\KESSLAN\\ORVIK\\QUORVAN"));
  WriteRegistry("QUORVAN", "RangeIndex", "2");
  WriteRegistry("QUORVAN", "RangeMax", "4");
  WriteRegistry("QUORVAN", "CounterPath", "/c/");
  CounterRangeSettings::LoadFrom(Dir());
  EXPECT_EQ(Bounds(), Range(536750000, 1073500000));
  EXPECT_EQ(CounterRangeSettings::CounterPath(), "/c/");
  WriteRegistryDword("QUORVAN", "RangeMax", 4);
  EXPECT_THROW(CounterRangeSettings::LoadFrom(Dir()), ERegistryException);
}

TEST_F(CounterRange, OnceTheServerFileExistsTheRegistryIsIgnored) {
  WriteRegistry("QUORVAN", "RangeIndex", "2");
  WriteRegistry("QUORVAN", "RangeMax", "4");
  WriteRegistry("QUORVAN", "CounterPath", "/c/");
  WriteRegistryDword("QUORVAN", "RangeStart", 5);  // would stop a registry load
  LoadFile("");
  EXPECT_EQ(Bounds(), Range(0, 2147000000));
  EXPECT_EQ(CounterRangeSettings::CounterPath(), DisplayPath(Dir()));
}

}  // namespace
}  // namespace tarn
