// The window's geometry at 96 and 144 DPI, as the Win32 view lays it out.
#include "ui/dpi_geometry.h"

#include <gtest/gtest.h>

#include "ui/form1_layout.h"

namespace tarn {
namespace {

using namespace form1;

const WindowSpec& kWindow = Form1Window();

const ControlSpec& Row(ControlId control) { return Form1Layout()[static_cast<size_t>(control)]; }

TEST(DpiGeometryTest, At96DpiTheTableItselfWithinTheBorder) {
  EXPECT_EQ(WindowClientRect(kWindow, 96), (Rect{0, 0, 286, 413}));
  EXPECT_EQ(FontHeight(kWindow, 96), -11);
  for (const ControlSpec& row : Form1Layout()) {
    int border = row.parent == kWindowClientArea ? 3 : 0;
    EXPECT_EQ(ControlRect(kWindow, row, 96), (Rect{row.left + border, row.top + border, row.width, row.height}))
        << row.name;
  }
}

TEST(DpiGeometryTest, At144DpiPositionsSizesAndTheFontScaleByOneAndAHalf) {
  EXPECT_EQ(WindowClientRect(kWindow, 144), (Rect{0, 0, 429, 620}));
  EXPECT_EQ(FontHeight(kWindow, 144), -16);
  struct Case {
    ControlId control;
    Rect expected;
  };
  for (const Case& c : {
           Case{PageControl1, {5, 5, 420, 567}},
           Case{Panel1, {5, 572, 420, 43}},  // meets the page control
           Case{Button1, {188, 5, 112, 37}},
           Case{Button2, {305, 5, 112, 37}},
           Case{Label9, {26, 374, 93, 19}},
           Case{Edit9, {149, 368, 70, 31}},
           Case{Edit4, {48, 56, 324, 31}},
           Case{CheckBox6, {20, 351, 345, 26}},
       }) {
    EXPECT_EQ(ControlRect(kWindow, Row(c.control), 144), c.expected) << Row(c.control).name;
  }
  // Every edge lies within half a pixel of its exact place.
  for (const ControlSpec& row : Form1Layout()) {
    int border = row.parent == kWindowClientArea ? 3 : 0;
    Rect scaled = ControlRect(kWindow, row, 144);
    int left = row.left + border, top = row.top + border;
    EXPECT_LE(std::abs(2 * scaled.left - 3 * left), 1) << row.name;
    EXPECT_LE(std::abs(2 * scaled.top - 3 * top), 1) << row.name;
    EXPECT_LE(std::abs(2 * (scaled.left + scaled.width) - 3 * (left + row.width)), 1) << row.name;
    EXPECT_LE(std::abs(2 * (scaled.top + scaled.height) - 3 * (top + row.height)), 1) << row.name;
  }
}

}  // namespace
}  // namespace tarn
