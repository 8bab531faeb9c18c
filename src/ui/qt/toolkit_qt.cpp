#include "ui/qt/toolkit_qt.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

#include "ui/qt/text_qt.h"
#include "ui/qt/window_view_qt.h"

namespace tarn {

namespace {

// The application object that the toolkit's module made, and its arguments.
char program_name[] = "tarnconfig";
char* default_argv[] = {program_name, nullptr};
int default_argc = 1;
int* qt_argc = &default_argc;
char** qt_argv = default_argv;
std::unique_ptr<QApplication> application;

void StartQtApplication() {
  if (QCoreApplication::instance() == nullptr) application = std::make_unique<QApplication>(*qt_argc, qt_argv);
}

void ShutdownQtApplication() { application.reset(); }

}  // namespace

void SetQtArguments(int& argc, char** argv) {
  qt_argc = &argc;
  qt_argv = argv;
}

ModuleEntry QtToolkitModule() { return {"runtime library and toolkit", &StartQtApplication, &ShutdownQtApplication}; }

QWidget& QtWindowWidget(WindowView& window) { return dynamic_cast<QtWindowView&>(window).Widget(); }

std::unique_ptr<WindowView> QtToolkit::CreateWindowView(const WindowSpec& window, std::span<const ControlSpec> layout,
                                                        EventSink events) {
  return std::make_unique<QtWindowView>(window, layout, std::move(events));
}

void QtToolkit::RunUntilClosed(WindowView& window) {
  auto& view = dynamic_cast<QtWindowView&>(window);
  if (view.Closed()) return;
  // The loop ends with this window, not with whichever window closes last.
  QApplication::setQuitOnLastWindowClosed(false);
  QEventLoop loop;
  view.OnClosed([&loop] { loop.quit(); });
  loop.exec();
  view.OnClosed(nullptr);
}

void QtToolkit::ShowMessage(const MessageBoxSpec& message) {
  std::unique_ptr<QApplication> transient;
  if (QCoreApplication::instance() == nullptr) transient = std::make_unique<QApplication>(default_argc, default_argv);
  QString text = ToQString(message.text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(message.icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::NoIcon,
                  ToQString(message.title), text, QMessageBox::Ok,
                  message.task_modal ? nullptr : QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(message.task_modal ? Qt::ApplicationModal : Qt::WindowModal);
  box.exec();
}

bool QtToolkit::Ask(const MessageBoxSpec& question) {
  QMessageBox box(QMessageBox::Question, ToQString(question.title), ToQString(question.text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::WindowModal);
  QPushButton* yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
  box.setDefaultButton(box.addButton(QStringLiteral("N\u00E3o"), QMessageBox::NoRole));
  box.exec();
  return box.clickedButton() == yes;
}

void QtToolkit::BeginBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtToolkit::EndBusyCursor() { QApplication::restoreOverrideCursor(); }

void QtToolkit::ShowChanges() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace tarn
