// Which tab sheets offer their tab and which is in front, as both views keep
// them.
#include "ui/page_tabs.h"

#include <gtest/gtest.h>

#include <array>

namespace tarn {
namespace {

enum : ControlId { P, A, B, C, Q, D };
constexpr ControlId kNone = kWindowClientArea;

ControlSpec Row(ControlId id, ControlKind kind, ControlId parent, bool shown) {
  return {id, "", kind, parent, "", 0, 0, 0, 0, shown, 0, nullptr};
}

// Two page controls: P with A, B and the hidden C; Q with D.
const std::array<ControlSpec, 6> kLayout = {
    Row(P, ControlKind::kPageControl, kWindowClientArea, true), Row(A, ControlKind::kTabSheet, P, true),
    Row(B, ControlKind::kTabSheet, P, true),  Row(C, ControlKind::kTabSheet, P, false),
    Row(Q, ControlKind::kPageControl, kWindowClientArea, true), Row(D, ControlKind::kTabSheet, Q, true),
};

TEST(PageTabs, TheLayoutsShownSheetsOfferTabsAndTheFirstIsInFront) {
  PageTabs tabs(kLayout);
  EXPECT_TRUE(tabs.Offered(A));
  EXPECT_FALSE(tabs.Offered(C));
  EXPECT_EQ(tabs.Active(P), A);
  EXPECT_EQ(tabs.Active(Q), D);
  EXPECT_EQ(tabs.ActivePage(), A);
  // Tabs are placed among their own page control's offered tabs.
  EXPECT_EQ(tabs.TabIndex(B), 1);
  EXPECT_EQ(tabs.TabIndex(C), 2);
  EXPECT_EQ(tabs.TabIndex(D), 0);
  EXPECT_EQ(tabs.SheetAt(P, 1), B);
  EXPECT_EQ(tabs.SheetAt(P, 2), kNone);
  EXPECT_EQ(tabs.SheetAt(Q, 0), D);
}

TEST(PageTabs, WithdrawingTheTabInFrontBringsTheFirstOtherOfferedOne) {
  PageTabs tabs(kLayout);
  tabs.SetOffered(C, true);
  tabs.Activate(C);
  tabs.SetOffered(B, false);
  EXPECT_EQ(tabs.Active(P), C) << "a sheet behind went; the front one stays";
  EXPECT_EQ(tabs.TabIndex(C), 1);
  tabs.SetOffered(C, false);
  EXPECT_EQ(tabs.Active(P), A);
  tabs.SetOffered(A, false);
  EXPECT_EQ(tabs.Active(P), kNone) << "no tab is left";
  EXPECT_EQ(tabs.Active(Q), D) << "each page control keeps its own";
  tabs.SetOffered(B, true);
  EXPECT_EQ(tabs.Active(P), B) << "the one tab offered again comes to the front";
}

TEST(PageTabs, OnlyAnOfferedSheetComesToTheFront) {
  PageTabs tabs(kLayout);
  tabs.Activate(C);
  EXPECT_EQ(tabs.Active(P), A);
  tabs.Activate(B);
  EXPECT_EQ(tabs.ActivePage(), B);
  tabs.Activate(D);
  EXPECT_EQ(tabs.ActivePage(), B) << "the window's page is its first page control's";
}

}  // namespace
}  // namespace tarn
