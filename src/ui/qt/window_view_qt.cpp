#include "ui/qt/window_view_qt.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <algorithm>

#include "platform/portable/exceptions.h"
#include "ui/focus_chain.h"
#include "ui/view_layout.h"
#include "ui/qt/dialog_font_qt.h"
#include "ui/qt/text_qt.h"

namespace tarn {

namespace {

// The property that gives a widget the role screen readers know it by, where
// Qt would call a plain widget a mere grouping of controls: the window is a
// dialog, a page a panel.
constexpr char kAccessibleRole[] = "tarnAccessibleRole";

QAccessibleInterface* AccessibleWithRole(const QString&, QObject* object) {
  QVariant role = object->property(kAccessibleRole);
  if (!role.isValid() || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

// The top-level widget; it reports its closing however it is closed, Esc
// included, as a dialog closes on Esc.
class QtWindowView::FormWidget final : public QWidget {
 public:
  explicit FormWidget(std::function<void()> closed) : closed_(std::move(closed)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    QWidget::closeEvent(event);
    if (event->isAccepted()) closed_();
  }

 private:
  std::function<void()> closed_;
};

QtWindowView::QtWindowView(const WindowSpec& window, std::span<const ControlSpec> layout, EventSink events)
    : window_(std::make_unique<FormWidget>([this] { WindowClosed(); })),
      specs_(layout.begin(), layout.end()),
      tabs_(layout) {
  window_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  window_->setFixedSize(window.client_width + 2 * window.border_width,
                        window.client_height + 2 * window.border_width);
  window_->setFont(DialogFont(window));
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window_->setPalette(palette);
  window_->setAutoFillBackground(true);
  window_->setWindowTitle(ToQString(window.caption));
  window_->setProperty(kAccessibleRole, QAccessible::Dialog);
  QAccessible::installFactory(&AccessibleWithRole);

  client_area_ = new QWidget(window_.get());
  client_area_->setGeometry(window.border_width, window.border_width, window.client_width, window.client_height);

  controls_.assign(layout.size(), nullptr);
  for (const ControlSpec& row : layout) BuildControl(row, events);
  for (const ControlSpec& row : layout) {
    // A label tells screen readers whom it names as well ("label for").
    auto* label = row.labelled_by == kWindowClientArea ? nullptr : qobject_cast<QLabel*>(Control(row.labelled_by));
    if (label != nullptr) label->setBuddy(Control(row.id));
    Describe(row.id);
  }
  SetTabOrder(layout);
}

// The widgets go first: while they are taken down their signals may still
// reach the page tabs.
QtWindowView::~QtWindowView() { window_.reset(); }

QWidget& QtWindowView::Widget() { return *window_; }

void QtWindowView::BuildControl(const ControlSpec& row, const EventSink& events) {
  QWidget* parent = row.parent == kWindowClientArea ? client_area_ : Control(row.parent);
  QWidget* widget = MakeWidget(row, parent, events);
  widget->setObjectName(QString::fromLatin1(row.name));
  if (row.kind != ControlKind::kTabSheet) {
    widget->setGeometry(row.left, row.top, FittedWidth(row.kind, row.width, widget->sizeHint().width()), row.height);
    widget->setHidden(!row.shown);
  }
  controls_[static_cast<size_t>(row.id)] = widget;
}

// The widget of the row's kind, owned by `parent` (a tab sheet by its page
// control), with its click reported to `events` where the row has a handler.
QWidget* QtWindowView::MakeWidget(const ControlSpec& row, QWidget* parent, const EventSink& events) {
  QString caption = ToQString(row.caption);
  switch (row.kind) {
    case ControlKind::kPageControl: {
      auto* pages = new QTabWidget(parent);
      // The user's choice of a tab (a click, Ctrl+Tab) brings its sheet to the front.
      QObject::connect(pages, &QTabWidget::currentChanged, pages, [this, pages](int index) {
        if (QWidget* page = pages->widget(index)) tabs_.Activate(IdOf(page));
      });
      return pages;
    }
    case ControlKind::kTabSheet: {
      auto* sheet = new QWidget();
      sheet->setProperty(kAccessibleRole, QAccessible::Pane);
      sheet->setAccessibleName(caption);
      auto* pages = static_cast<QTabWidget*>(parent);
      pages->setTabVisible(pages->addTab(sheet, caption), tabs_.Offered(row.id));
      return sheet;
    }
    case ControlKind::kPanel: {
      auto* panel = new QFrame(parent);
      panel->setFrameShape(QFrame::NoFrame);
      return panel;
    }
    case ControlKind::kButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      if (row.handler) QObject::connect(button, &QPushButton::clicked, button, [events, id = row.id] { events(id); });
      return button;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::kEdit:
      return new QLineEdit(caption, parent);
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(caption, parent);
      if (row.handler) QObject::connect(box, &QCheckBox::clicked, box, [events, id = row.id] { events(id); });
      return box;
    }
    case ControlKind::kBevel: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Sunken);
      return line;
    }
  }
  throw Exception("Unknown control kind");
}

// Qt keeps one focus chain for the window.
void QtWindowView::SetTabOrder(std::span<const ControlSpec> layout) {
  std::vector<ControlId> chain = FocusChain(layout);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(Control(chain[i - 1]), Control(chain[i]));
}

QWidget* QtWindowView::Control(ControlId control) const { return controls_.at(static_cast<size_t>(control)); }

// A screen reader names a control by the caption that names it and reads
// the caption that describes it (a unit) after the name.
void QtWindowView::Describe(ControlId caption) {
  for (const ControlSpec& row : specs_) {
    if (row.labelled_by == caption) Control(row.id)->setAccessibleName(ToQString(Text(caption)));
    if (row.described_by == caption) Control(row.id)->setAccessibleDescription(ToQString(Text(caption)));
  }
}

ControlId QtWindowView::IdOf(const QWidget* widget) const {
  auto found = std::find(controls_.begin(), controls_.end(), widget);
  return found == controls_.end() ? kWindowClientArea : static_cast<ControlId>(found - controls_.begin());
}

QTabWidget* QtWindowView::PageControlOf(ControlId sheet) const {
  return static_cast<QTabWidget*>(Control(specs_.at(static_cast<size_t>(sheet)).parent));
}

void QtWindowView::SetCaption(std::string_view text, std::string_view path) {
  window_->setWindowTitle(ToQString(text) + QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
}

std::string QtWindowView::Text(ControlId control) const {
  QWidget* widget = Control(control);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQString(edit->text());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQString(button->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
  if (specs_.at(static_cast<size_t>(control)).kind == ControlKind::kTabSheet) {
    QTabWidget* pages = PageControlOf(control);
    return FromQString(pages->tabText(pages->indexOf(widget)));
  }
  return {};
}

void QtWindowView::SetText(ControlId control, std::string_view text) {
  QWidget* widget = Control(control);
  QString value = ToQString(text);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  } else if (specs_.at(static_cast<size_t>(control)).kind == ControlKind::kTabSheet) {
    QTabWidget* pages = PageControlOf(control);
    pages->setTabText(pages->indexOf(widget), value);
    widget->setAccessibleName(value);
  }
  Describe(control);
}

bool QtWindowView::Checked(ControlId control) const {
  auto* box = qobject_cast<QCheckBox*>(Control(control));
  return box != nullptr && box->isChecked();
}

void QtWindowView::SetChecked(ControlId control, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(Control(control))) box->setChecked(checked);
}

bool QtWindowView::Shown(ControlId control) const {
  if (specs_.at(static_cast<size_t>(control)).kind == ControlKind::kTabSheet) return tabs_.Offered(control);
  return !Control(control)->isHidden();
}

void QtWindowView::SetShown(ControlId control, bool shown) {
  QWidget* widget = Control(control);
  if (specs_.at(static_cast<size_t>(control)).kind != ControlKind::kTabSheet) {
    widget->setHidden(!shown);
    return;
  }
  tabs_.SetOffered(control, shown);
  // Taken before the tab changes, which may make Qt choose a page itself.
  ControlId front = tabs_.Active(specs_.at(static_cast<size_t>(control)).parent);
  QTabWidget* pages = PageControlOf(control);
  pages->setTabVisible(pages->indexOf(widget), shown);
  if (front != kWindowClientArea) pages->setCurrentWidget(Control(front));
}

ControlId QtWindowView::ActivePage() const { return tabs_.ActivePage(); }

void QtWindowView::Show() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    Rect at = CentredIn({area.x(), area.y(), area.width(), area.height()}, window_->width(), window_->height());
    window_->move(at.left, at.top);
  }
  window_->show();
}

void QtWindowView::Close() { window_->close(); }

void QtWindowView::WindowClosed() {
  if (closed_) return;
  closed_ = true;
  if (on_closed_) on_closed_();
}

}  // namespace tarn
