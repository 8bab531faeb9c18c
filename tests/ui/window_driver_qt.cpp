// The window driver of the Qt view: the real widgets, found by their rows'
// names and worked with QTest under the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "ui/qt/text_qt.h"
#include "ui/qt/toolkit_qt.h"
#include "window_driver.h"

namespace tarn::testing {

namespace {

class QtDriver final : public WindowDriver {
 public:
  QtDriver(QWidget& window, std::span<const ControlSpec> layout) : window_(window), layout_(layout) {}

  std::string Caption() override { return window_.windowTitle().toStdString(); }
  bool Open() override { return window_.isVisible(); }
  void CloseByTitleBar() override { window_.close(); }

  std::string Text(ControlId control) override {
    QWidget* widget = Find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQString(edit->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQString(button->text());
    QTabWidget& pages = PagesOf(control);
    return FromQString(pages.tabText(pages.indexOf(widget)));
  }

  // Typed, as a user would.
  void SetText(ControlId control, const std::string& text) override {
    auto* edit = qobject_cast<QLineEdit*>(Find(control));
    ASSERT_NE(edit, nullptr) << Row(control).name;
    edit->selectAll();
    if (text.empty()) {
      QTest::keyClick(edit, Qt::Key_Delete);
    } else {
      QTest::keyClicks(edit, ToQString(text));
    }
  }

  bool Checked(ControlId control) override {
    auto* box = qobject_cast<QCheckBox*>(Find(control));
    return box != nullptr && box->isChecked();
  }

  bool Shown(ControlId control) override {
    if (Row(control).kind != ControlKind::kTabSheet) return !Find(control)->isHidden();
    QTabWidget& pages = PagesOf(control);
    return pages.isTabVisible(pages.indexOf(Find(control)));
  }

  int TabCount() override {
    int count = 0;
    QTabWidget& pages = *window_.findChild<QTabWidget*>();
    for (int i = 0; i < pages.count(); ++i) count += pages.isTabVisible(i) ? 1 : 0;
    return count;
  }

  ControlId ActivePage() override {
    QWidget* current = window_.findChild<QTabWidget*>()->currentWidget();
    return current != nullptr && current->isVisible() ? IdOf(current) : kWindowClientArea;
  }

  void SelectPage(ControlId sheet) override {
    QTabWidget& pages = PagesOf(sheet);
    QTabBar* tabs = pages.tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(pages.indexOf(Find(sheet))).center());
  }

  void Click(ControlId control) override {
    for (ControlId parent = Row(control).parent; parent != kWindowClientArea; parent = Row(parent).parent) {
      if (Row(parent).kind == ControlKind::kTabSheet && ActivePage() != parent) SelectPage(parent);
    }
    auto* button = qobject_cast<QAbstractButton*>(Find(control));
    ASSERT_NE(button, nullptr) << Row(control).name;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
  }

  void Focus(ControlId control) override {
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    Find(control)->setFocus(Qt::TabFocusReason);
  }

  // The focus may lie on a control's own part (a page control's tab bar).
  ControlId Focused() override {
    for (QWidget* focus = QApplication::focusWidget(); focus != nullptr && window_.isAncestorOf(focus);
         focus = focus->parentWidget()) {
      if (ControlId id = IdOf(focus); id != kWindowClientArea) return id;
    }
    return kWindowClientArea;
  }

  void Press(Key key, bool shift, bool control) override {
    Qt::KeyboardModifiers modifiers;
    if (shift) modifiers |= Qt::ShiftModifier;
    if (control) modifiers |= Qt::ControlModifier;
    Qt::Key code = key == Key::kSpace    ? Qt::Key_Space
                   : key == Key::kEscape ? Qt::Key_Escape
                   : shift               ? Qt::Key_Backtab
                                         : Qt::Key_Tab;
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window_, code, modifiers);
  }

  Rect Geometry(ControlId control) override {
    QRect rect = Find(control)->geometry();
    return {rect.x(), rect.y(), rect.width(), rect.height()};
  }

  Rect ClientArea() override { return {0, 0, window_.width(), window_.height()}; }

  bool FixedDialogFrame() override {
    return window_.minimumSize() == window_.maximumSize() &&
           !(window_.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  }

  int DistanceFromScreenCentre() override {
    QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    return (window_.frameGeometry().center() - centre).manhattanLength();
  }

  int CaptionEnd(ControlId control) override {
    QWidget* widget = Find(control);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      return label->x() + label->contentsRect().left() + QFontMetrics(label->font()).horizontalAdvance(label->text());
    }
    // A check box's size hint is its box, the gap and its text.
    return widget->x() + widget->sizeHint().width();
  }

  std::string FontFamily(ControlId control) override { return QFontInfo(Find(control)->font()).family().toStdString(); }

 private:
  const ControlSpec& Row(ControlId control) const { return layout_[static_cast<size_t>(control)]; }

  QWidget* Find(ControlId control) {
    auto* widget = window_.findChild<QWidget*>(QString::fromLatin1(Row(control).name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << Row(control).name;
    return widget;
  }

  QTabWidget& PagesOf(ControlId sheet) { return *qobject_cast<QTabWidget*>(Find(Row(sheet).parent)); }

  ControlId IdOf(QWidget* widget) const {
    for (const ControlSpec& row : layout_) {
      if (widget->objectName() == QLatin1String(row.name)) return row.id;
    }
    return kWindowClientArea;
  }

  QWidget& window_;
  std::span<const ControlSpec> layout_;
};

}  // namespace

std::unique_ptr<WindowDriver> DriveWindow(WindowView& window, std::span<const ControlSpec> layout) {
  QWidget& widget = QtWindowWidget(window);
  if (!QTest::qWaitForWindowExposed(&widget)) ADD_FAILURE() << "the window was not shown";
  return std::make_unique<QtDriver>(widget, layout);
}

std::unique_ptr<WindowDriver> DriveShownWindow(std::span<const ControlSpec> layout) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) return std::make_unique<QtDriver>(*widget, layout);
  }
  return nullptr;
}

void RunInMessageLoop(std::function<void()> task) { QTimer::singleShot(0, std::move(task)); }

bool BusyCursorShown() {
  return QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

std::unique_ptr<Toolkit> MakeRecordingToolkit(ToolkitRecord& record) {
  return std::make_unique<RecordingToolkit<QtToolkit>>(record);
}

}  // namespace tarn::testing
