// The program's entry, run in-process on the Qt toolkit, and the toolkit's
// own message box.
#include "ui/program.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "platform/registry.h"
#include "service/quelmont_double.h"
#include "test_support.h"
#include "ui/application.h"
#include "ui/qt/qt_text.h"
#include "ui_test_support.h"

namespace tarn::testing {
namespace {

constexpr ModuleEntry kTestToolkit{"toolkit", nullptr, nullptr};

QWidget* VisibleWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) return widget;
  }
  return nullptr;
}

TEST(ProgramTest, AFailedStartUpShowsTheApplicationErrorBoxAndNoWindow) {
  Sandbox sandbox;
  std::filesystem::create_directories(sandbox.Path("config/tarn"));
  WriteFile(sandbox.RegistryFile(), "not a registry file\r\n");
  RecordingToolkit toolkit;
  bool window_seen = false;
  QTimer::singleShot(0, [&] { window_seen = VisibleWindow() != nullptr; });

  EXPECT_EQ(RunProgram(toolkit, kTestToolkit, QuelmontDouble::kName), 1);
  QApplication::processEvents();
  EXPECT_FALSE(window_seen);
  EXPECT_EQ(VisibleWindow(), nullptr);
  ASSERT_EQ(toolkit.shown.size(), 1u);
  const MessageBoxSpec& box = toolkit.shown[0].message;
  EXPECT_EQ(box.title, "Application Error");
  EXPECT_TRUE(box.task_modal);
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_EQ(box.text.rfind("Exception ERegistryException in module program_test at ", 0), 0u) << box.text;
  EXPECT_EQ(box.text.substr(box.text.size() - 3), ".\r\n") << box.text;
}

// A value of another type in each settings subkey: the first module to
// start reports its own, then the next once that one is mended.
TEST(ProgramTest, TheSettingsLoadServerThenCounterRangeThenClient) {
  Sandbox sandbox;
  struct Value {
    const char* subkey;
    const char* name;
  };
  const Value values[] = {{"SERVER", "max_tasks"}, {"QUORVAN", "RangeMax"}, {"CLIENT", "DEBUG"}};
  auto open = [](const Value& value) {
    auto key = std::make_unique<TRegistry>();
    EXPECT_TRUE(key->OpenKey(std::string("SOFTWARE\\KESSLAN\\ORVIK\\") + value.subkey, true));
    return key;
  };
  for (const Value& value : values) open(value)->WriteInteger(value.name, 1);
  for (const Value& value : values) {
    RecordingToolkit toolkit;
    EXPECT_EQ(RunProgram(toolkit, kTestToolkit, QuelmontDouble::kName), 1);
    ASSERT_EQ(toolkit.shown.size(), 1u);
    std::string text = toolkit.shown[0].message.text;
    EXPECT_NE(text.find("Invalid data type for '" + std::string(value.name) + "'"), std::string::npos) << text;
    open(value)->WriteString(value.name, "1");
  }
}

TEST(ProgramTest, RunsTheWindowUntilItClosesUnderTheApplicationTitle) {
  Sandbox sandbox;
  RecordingToolkit toolkit;
  std::string caption;
  QTimer::singleShot(0, [&] {
    QWidget* window = VisibleWindow();
    ASSERT_NE(window, nullptr);
    caption = FromQString(window->windowTitle());
    QTest::mouseClick(window->findChild<QPushButton*>("Button3"), Qt::LeftButton);
    window->findChild<QPushButton*>("Button2")->click();
  });

  EXPECT_EQ(RunProgram(toolkit, kTestToolkit, QuelmontDouble::kName), 0);
  EXPECT_EQ(caption.rfind("Configura\xE7\xF5" "es - ", 0), 0u) << caption;
  ASSERT_EQ(toolkit.shown.size(), 1u);
  EXPECT_EQ(toolkit.shown[0].message.title, kApplicationTitle);
  EXPECT_EQ(toolkit.shown[0].message.text, "Cache limpo");
  EXPECT_EQ(VisibleWindow(), nullptr);
}

std::string steps;
void StartToolkit() {
  steps += "toolkit;";
  AddTerminateProc([] {
    steps += "terminate;";
    return true;
  });
}
void ShutdownToolkit() { steps += "toolkit down;"; }

TEST(ProgramTest, TerminationHooksRunAfterTheWindowClosesThenModulesShutDown) {
  Sandbox sandbox;
  RecordingToolkit toolkit;
  steps.clear();
  QTimer::singleShot(0, [&] {
    steps += "window;";
    VisibleWindow()->close();  // the title bar's close button
  });
  EXPECT_EQ(RunProgram(toolkit, {"toolkit", &StartToolkit, &ShutdownToolkit}, QuelmontDouble::kName), 0);
  EXPECT_EQ(steps, "toolkit;window;terminate;toolkit down;");
  EXPECT_TRUE(toolkit.shown.empty());
}

TEST(QtToolkitTest, MessageBoxCarriesTitleTextIconAndModality) {
  QtToolkit toolkit;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::WindowModality modality = Qt::NonModal;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    modality = box->windowModality();
    box->button(QMessageBox::Ok)->click();
  });
  toolkit.ShowMessage({"Application Error", "Exception EOSError in module tarnconfig at 0000000000401000.\r\nFalha\r\n",
                       MessageIcon::kError, true});
  EXPECT_EQ(title, "Application Error");
  EXPECT_EQ(text, "Exception EOSError in module tarnconfig at 0000000000401000.\nFalha\n");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(modality, Qt::ApplicationModal);
}

}  // namespace
}  // namespace tarn::testing
