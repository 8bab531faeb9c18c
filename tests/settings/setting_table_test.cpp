// The description of the settings: each load reads only its own section,
// and no two settings of a section meet in one key of the file.
#include "settings/setting_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/ascii_text.h"

namespace tarn {
namespace {

TEST(SettingTable, EachLoadReadsItsOwnSection) {
  struct Load {
    std::span<const Setting> settings;
    const SettingSection* section;
  };
  size_t described = 0;
  for (const Load& load : {Load{ServerSettings(), &kServerSection}, Load{CounterRangeKeys(), &kCounterSection},
                           Load{ClientSettings(), &kClientSection}}) {
    for (const Setting& setting : load.settings) {
      EXPECT_EQ(setting.section, load.section) << setting.key;
      EXPECT_EQ(&DescribeSetting(setting.id), &setting) << setting.key;
    }
    described += load.settings.size();
  }
  EXPECT_EQ(described, AllSettings().size());
}

// Names compare without regard to case, so MAX_BANDWIDTH is max_bandwidth;
// DALCOMPAT, which the window writes for ForceCompatibility, must be no
// other setting's key.
TEST(SettingTable, NoTwoSettingsOfASectionShareAKey) {
  for (std::span<const Setting> section : {ServerSettings(), CounterRangeKeys(), ClientSettings()}) {
    std::vector<std::pair<std::string_view, SettingId>> keys;
    for (const Setting& setting : section) {
      keys.emplace_back(setting.key, setting.id);
      if (!SameAsciiText(setting.WrittenKey(), setting.key)) keys.emplace_back(setting.WrittenKey(), setting.id);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
      for (size_t j = i + 1; j < keys.size(); ++j) {
        EXPECT_FALSE(SameAsciiText(keys[i].first, keys[j].first) && keys[i].second != keys[j].second)
            << keys[i].first << " and " << keys[j].first;
      }
    }
  }
}

}  // namespace
}  // namespace tarn
