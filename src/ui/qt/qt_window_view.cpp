#include "ui/qt/qt_window_view.h"

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

#include "ui/focus_chain.h"
#include "ui/qt/qt_dialog_font.h"
#include "ui/qt/qt_text.h"

namespace tarn {

// The top-level widget; it reports its closing however it is closed.
class QtWindowView::FormWidget final : public QWidget {
 public:
  explicit FormWidget(std::function<void()> closed) : closed_(std::move(closed)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    QWidget::closeEvent(event);
    if (event->isAccepted()) closed_();
  }

 private:
  std::function<void()> closed_;
};

QtWindowView::QtWindowView(const WindowSpec& window, std::span<const ControlSpec> layout, EventSink events)
    : window_(std::make_unique<FormWidget>([this] { WindowClosed(); })), specs_(layout.begin(), layout.end()) {
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

  client_area_ = new QWidget(window_.get());
  client_area_->setGeometry(window.border_width, window.border_width, window.client_width, window.client_height);

  controls_.assign(layout.size(), nullptr);
  for (const ControlSpec& row : layout) BuildControl(row, events);
  SetTabOrder(layout);
}

QtWindowView::~QtWindowView() = default;

QWidget& QtWindowView::Widget() { return *window_; }

void QtWindowView::BuildControl(const ControlSpec& row, const EventSink& events) {
  QWidget* parent = row.parent == kWindowClientArea ? client_area_ : Control(row.parent);
  QString caption = ToQString(row.caption);
  QWidget* widget = nullptr;
  switch (row.kind) {
    case ControlKind::kPageControl:
      widget = new QTabWidget(parent);
      break;
    case ControlKind::kTabSheet: {
      widget = new QWidget();
      static_cast<QTabWidget*>(parent)->addTab(widget, caption);
      break;
    }
    case ControlKind::kPanel: {
      auto* panel = new QFrame(parent);
      panel->setFrameShape(QFrame::NoFrame);
      widget = panel;
      break;
    }
    case ControlKind::kButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      if (row.handler) QObject::connect(button, &QPushButton::clicked, button, [events, id = row.id] { events(id); });
      widget = button;
      break;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      widget = label;
      break;
    }
    case ControlKind::kEdit:
      widget = new QLineEdit(caption, parent);
      break;
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(caption, parent);
      if (row.handler) QObject::connect(box, &QCheckBox::clicked, box, [events, id = row.id] { events(id); });
      widget = box;
      break;
    }
    case ControlKind::kBevel: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Sunken);
      widget = line;
      break;
    }
  }
  widget->setObjectName(QString::fromLatin1(row.name));
  if (row.kind != ControlKind::kTabSheet) {
    widget->setGeometry(row.left, row.top, row.width, row.height);
    // Labels and check boxes grow to their text, so that a font wider than
    // the designed one does not cut it.
    if (row.kind == ControlKind::kLabel || row.kind == ControlKind::kCheckBox) widget->resize(std::max(row.width, widget->sizeHint().width()), row.height);
    widget->setHidden(!row.shown);
  }
  controls_[static_cast<size_t>(row.id)] = widget;
}

// Qt keeps one focus chain for the window.
void QtWindowView::SetTabOrder(std::span<const ControlSpec> layout) {
  std::vector<ControlId> chain = FocusChain(layout);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(Control(chain[i - 1]), Control(chain[i]));
}

QWidget* QtWindowView::Control(ControlId control) const { return controls_.at(static_cast<size_t>(control)); }

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
  }
}

bool QtWindowView::Checked(ControlId control) const {
  auto* box = qobject_cast<QCheckBox*>(Control(control));
  return box != nullptr && box->isChecked();
}

void QtWindowView::SetChecked(ControlId control, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(Control(control))) box->setChecked(checked);
}

bool QtWindowView::Shown(ControlId control) const {
  QWidget* widget = Control(control);
  if (specs_.at(static_cast<size_t>(control)).kind == ControlKind::kTabSheet) {
    QTabWidget* pages = PageControlOf(control);
    return pages->isTabVisible(pages->indexOf(widget));
  }
  return !widget->isHidden();
}

void QtWindowView::SetShown(ControlId control, bool shown) {
  QWidget* widget = Control(control);
  if (specs_.at(static_cast<size_t>(control)).kind != ControlKind::kTabSheet) {
    widget->setHidden(!shown);
    return;
  }
  QTabWidget* pages = PageControlOf(control);
  int index = pages->indexOf(widget);
  pages->setTabVisible(index, shown);
  if (!shown && pages->currentIndex() == index) {
    for (int other = 0; other < pages->count(); ++other) {
      if (pages->isTabVisible(other)) {
        pages->setCurrentIndex(other);
        break;
      }
    }
  }
}

ControlId QtWindowView::ActivePage() const {
  for (const ControlSpec& row : specs_) {
    if (row.kind == ControlKind::kTabSheet && PageControlOf(row.id)->currentWidget() == Control(row.id)) {
      return row.id;
    }
  }
  return kWindowClientArea;
}

void QtWindowView::Show() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    window_->move(screen->availableGeometry().center() - window_->rect().center());
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
