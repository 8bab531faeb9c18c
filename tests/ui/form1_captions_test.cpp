// The window's captions in the font it really uses: each ends before the
// control to its right begins, or within its page.
#include <algorithm>
#include <climits>

#include "form1_fixture.h"

namespace tarn::testing {
namespace {

bool SameRow(const ControlSpec& a, const ControlSpec& b) {
  return a.top < b.top + b.height && b.top < a.top + a.height;
}

// Where the control to the right of `row` begins; for the last control of a
// row, the edge of the page when the row lies within it.
int RightLimit(const ControlSpec& row, int page_width) {
  int limit = row.left < page_width ? page_width : INT_MAX;
  for (const ControlSpec& other : Form1Layout()) {
    if (other.parent == row.parent && other.left > row.left && SameRow(row, other)) {
      limit = std::min(limit, other.left);
    }
  }
  return limit;
}

TEST_F(Form1Test, EveryCaptionEndsBeforeTheControlToItsRight) {
  OfferServerPage();
  Open();
  int page_width = Window().Geometry(TabSheet1).width;
  for (const ControlSpec& row : Form1Layout()) {
    if (row.kind != ControlKind::kLabel && row.kind != ControlKind::kCheckBox) continue;
    EXPECT_LE(Window().CaptionEnd(row.id), RightLimit(row, page_width))
        << row.name << " in " << Window().FontFamily(row.id);
  }
}

}  // namespace
}  // namespace tarn::testing
