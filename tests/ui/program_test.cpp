// The program's entry, run in-process on the platform's toolkit.
#include "ui/program.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "service/quelmont_double.h"
#include "test_support.h"
#include "ui/application.h"
#include "ui/form1_layout.h"
#include "window_driver.h"

namespace tarn::testing {
namespace {

constexpr ModuleEntry kTestToolkit{"toolkit", nullptr, nullptr};

std::unique_ptr<WindowDriver> ShownWindow() { return DriveShownWindow(Form1Layout()); }

void WriteWrongType(const char* subkey, const char* name) {
  TRegistry key;
  ASSERT_TRUE(key.OpenKey(std::string("SOFTWARE\\KESSLAN\\ORVIK\\") + subkey, true));
  key.WriteInteger(name, 1);
}

TEST(ProgramTest, AFailedStartUpShowsTheApplicationErrorBoxAndNoWindow) {
  Sandbox sandbox;
  WriteWrongType("SERVER", "max_tasks");
  ToolkitRecord record;
  std::unique_ptr<Toolkit> toolkit = MakeRecordingToolkit(record);

  EXPECT_EQ(RunSettingsWindow(*toolkit, kTestToolkit, QuelmontDouble::kName), 1);
  EXPECT_EQ(record.windows_made, 0);
  EXPECT_EQ(ShownWindow(), nullptr);
  ASSERT_EQ(record.shown.size(), 1u);
  const MessageBoxSpec& box = record.shown[0].message;
  EXPECT_EQ(box.title, "Application Error");
  EXPECT_TRUE(box.task_modal);
  EXPECT_EQ(box.icon, MessageIcon::kError);
  EXPECT_EQ(box.text.rfind("Exception ERegistryException in module " + ExtractFileName(ExePath()) + " at ", 0), 0u)
      << box.text;
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
  for (const Value& value : values) WriteWrongType(value.subkey, value.name);
  for (const Value& value : values) {
    ToolkitRecord record;
    EXPECT_EQ(RunSettingsWindow(*MakeRecordingToolkit(record), kTestToolkit, QuelmontDouble::kName), 1);
    ASSERT_EQ(record.shown.size(), 1u);
    std::string text = record.shown[0].message.text;
    EXPECT_NE(text.find("Invalid data type for '" + std::string(value.name) + "'"), std::string::npos) << text;
    open(value)->WriteString(value.name, "1");
  }
}

TEST(ProgramTest, RunsTheWindowUntilItClosesUnderTheApplicationTitle) {
  Sandbox sandbox;
  ToolkitRecord record;
  std::string caption;
  RunInMessageLoop([&] {
    std::unique_ptr<WindowDriver> window = ShownWindow();
    ASSERT_NE(window, nullptr);
    caption = window->Caption();
    window->Click(form1::Button3);
    window->Click(form1::Button2);
  });

  EXPECT_EQ(RunSettingsWindow(*MakeRecordingToolkit(record), kTestToolkit, QuelmontDouble::kName), 0);
  EXPECT_EQ(caption, "Configura\xC3\xA7\xC3\xB5" "es - " + ExeDir());
  ASSERT_EQ(record.shown.size(), 1u);
  EXPECT_EQ(record.shown[0].message.title, kApplicationTitle);
  EXPECT_EQ(record.shown[0].message.text, "Cache limpo");
  EXPECT_EQ(ShownWindow(), nullptr);
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
  ToolkitRecord record;
  steps.clear();
  RunInMessageLoop([&] {
    steps += "window;";
    ShownWindow()->CloseByTitleBar();
  });
  EXPECT_EQ(RunSettingsWindow(*MakeRecordingToolkit(record), {"toolkit", &StartToolkit, &ShutdownToolkit},
                       QuelmontDouble::kName),
            0);
  EXPECT_EQ(steps, "toolkit;window;terminate;toolkit down;");
  EXPECT_TRUE(record.shown.empty());
}

}  // namespace
}  // namespace tarn::testing
