// Caption growth and centring, the same in both views.
#include "ui/view_layout.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(ViewLayout, LabelsAndCheckBoxesGrowToTheirCaptionAndNothingShrinks) {
  struct Case {
    ControlKind kind;
    int width, caption_width, fitted;
  };
  for (const Case& c : {Case{ControlKind::kLabel, 62, 70, 70}, Case{ControlKind::kLabel, 62, 40, 62},
                        Case{ControlKind::kCheckBox, 118, 130, 130}, Case{ControlKind::kEdit, 47, 90, 47},
                        Case{ControlKind::kButton, 75, 90, 75}}) {
    EXPECT_EQ(FittedWidth(c.kind, c.width, c.caption_width), c.fitted) << static_cast<int>(c.kind);
    EXPECT_EQ(GrowsToCaption(c.kind), c.kind == ControlKind::kLabel || c.kind == ControlKind::kCheckBox);
  }
}

TEST(ViewLayout, TheWindowIsCentredInItsArea) {
  EXPECT_EQ(CentredIn({0, 0, 1024, 768}, 292, 440), (Rect{366, 164, 292, 440}));
  EXPECT_EQ(CentredIn({1920, 40, 1280, 984}, 300, 400), (Rect{2410, 332, 300, 400}));
}

}  // namespace
}  // namespace tarn
