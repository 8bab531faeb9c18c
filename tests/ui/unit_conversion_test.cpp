#include "ui/unit_conversion.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(UnitConversionTest, MinutesAreTruncated) {
  EXPECT_EQ(MillisecondsToMinutesText(600000), "10");
  EXPECT_EQ(MillisecondsToMinutesText(90000), "1");
  EXPECT_EQ(MillisecondsToMinutesText(59999), "0");
  EXPECT_EQ(MillisecondsToMinutesText(-90000), "-1");
  EXPECT_EQ(MillisecondsToMinutesText(2147483647), "35791");
}

TEST(UnitConversionTest, MegabytesAndKbpsRoundHalfToEven) {
  EXPECT_EQ(BytesToMegabytesText(1572864), "2");   // 1.5
  EXPECT_EQ(BytesToMegabytesText(2621440), "2");   // 2.5
  EXPECT_EQ(BytesToMegabytesText(3670016), "4");   // 3.5
  EXPECT_EQ(BytesToMegabytesText(1572863), "1");   // just under 1.5
  EXPECT_EQ(BytesToMegabytesText(-1572864), "-2");
  EXPECT_EQ(BytesToMegabytesText(2147483647), "2048");
  EXPECT_EQ(BandwidthToKbpsText(512), "0");  // 0.5
  EXPECT_EQ(BandwidthToKbpsText(1536), "2");
  EXPECT_EQ(BandwidthToKbpsText(10240), "10");
}

TEST(UnitConversionTest, EntriesScaleWithinThirtyTwoBitsOrNotAtAll) {
  EXPECT_EQ(ScaleEntry("abc", kMinutesScale), 600000);
  EXPECT_EQ(ScaleEntry("", kMegabytesScale), 0);
  EXPECT_EQ(ScaleEntry("50", kMegabytesScale), 52428800);
  EXPECT_EQ(ScaleEntry("35791", kMinutesScale), 2147460000);
  EXPECT_EQ(ScaleEntry("35792", kMinutesScale), std::nullopt);
  EXPECT_EQ(ScaleEntry("-2048", kMegabytesScale), -2147483647 - 1);
  EXPECT_EQ(ScaleEntry("-2049", kMegabytesScale), std::nullopt);
  EXPECT_EQ(ScaleEntry("2048", kMegabytesScale), std::nullopt);
  EXPECT_EQ(ScaleEntry("2097152", kKbpsScale), std::nullopt);
  EXPECT_EQ(LargestEntry(kMinutesScale), 35791);
  EXPECT_EQ(LargestEntry(kMegabytesScale), 2047);
  EXPECT_EQ(LargestEntry(kKbpsScale), 2097151);
  EXPECT_EQ(SmallestEntry(kMinutesScale), -35791);
}

}  // namespace
}  // namespace tarn
