// The window's captions in the font it really uses: each ends before the
// control to its right begins, or within its page.
#include <QCheckBox>
#include <QLabel>
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

// Where the caption's text ends, in the font the control really uses.
int TextEnd(QWidget* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) {
    return label->x() + label->contentsRect().left() + QFontMetrics(label->font()).horizontalAdvance(label->text());
  }
  // A check box's size hint is its box, the gap and its text.
  return control->x() + control->sizeHint().width();
}

TEST_F(Form1Test, EveryCaptionEndsBeforeTheControlToItsRight) {
  OfferServerPage();
  Open();
  int page_width = Pages().widget(0)->width();
  for (const ControlSpec& row : Form1Layout()) {
    if (row.kind != ControlKind::kLabel && row.kind != ControlKind::kCheckBox) continue;
    QWidget* control = Find<QWidget>(row.name);
    EXPECT_LE(TextEnd(control), RightLimit(row, page_width))
        << row.name << " in " << QFontInfo(control->font()).family().toStdString();
  }
}

}  // namespace
}  // namespace tarn::testing
