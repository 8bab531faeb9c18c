// The hunks that load --check prints, as diff -u makes them for the same
// lines: changes near each other share a hunk, far ones do not.
#include <gtest/gtest.h>

#include "settings/unified_diff.h"

namespace tarn {
namespace {

TEST(UnifiedDiff, HunksAsDiffMakesThem) {
  std::vector<std::string> twenty;
  for (int i = 1; i <= 20; ++i) twenty.push_back(std::to_string(i));
  auto with = [&](std::vector<std::pair<size_t, std::string>> changes) {
    std::vector<std::string> lines = twenty;
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
      if (it->second.empty()) {
        lines.erase(lines.begin() + static_cast<long>(it->first));
      } else {
        lines.insert(lines.begin() + static_cast<long>(it->first), it->second);
      }
    }
    return lines;
  };
  struct Case {
    std::vector<std::string> after;
    std::vector<std::string> hunks;
  };
  const Case cases[] = {
      {twenty, {}},
      {with({{0, "a"}}), {"@@ -1,3 +1,4 @@", "+a", " 1", " 2", " 3"}},
      {with({{1, ""}, {20, "z"}}), {"@@ -1,5 +1,4 @@", " 1", "-2", " 3", " 4", " 5",
                                    "@@ -18,3 +17,4 @@", " 18", " 19", " 20", "+z"}},
      // Six unchanged lines between two changes: one hunk.
      {with({{3, ""}, {10, ""}}), {"@@ -1,14 +1,12 @@", " 1", " 2", " 3", "-4", " 5", " 6", " 7", " 8", " 9", " 10",
                                   "-11", " 12", " 13", " 14"}},
      {{}, {"@@ -1,20 +0,0 @@", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8", "-9", "-10", "-11", "-12", "-13",
            "-14", "-15", "-16", "-17", "-18", "-19", "-20"}},
  };
  for (const Case& c : cases) EXPECT_EQ(UnifiedDiffHunks(twenty, c.after), c.hunks);
}

}  // namespace
}  // namespace tarn
