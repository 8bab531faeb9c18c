// The window tests' hold on a window: one driver per view works the
// platform's real controls as a user would (the Qt view's widgets through
// QTest, the Win32 view's controls through window messages), so that the
// same tests run against every view. Controls are named by their row in
// the window's layout; texts are the program's Windows-1252 text, except
// the window's caption, which shows a path by its real name: UTF-8.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ui/dpi_geometry.h"
#include "ui/toolkit.h"

namespace tarn::testing {

class WindowDriver {
 public:
  enum class Key { kTab, kSpace, kEscape };

  virtual ~WindowDriver() = default;

  // UTF-8.
  virtual std::string Caption() = 0;
  // Shown and not closed.
  virtual bool Open() = 0;
  // As the title bar's close button.
  virtual void CloseByTitleBar() = 0;

  // The text of an edit, the caption of any other control.
  virtual std::string Text(ControlId control) = 0;
  // Replaces an edit's text.
  virtual void SetText(ControlId control, const std::string& text) = 0;
  virtual bool Checked(ControlId control) = 0;
  // Whether a control is shown within its parent; for a tab sheet, whether
  // the page control offers its tab.
  virtual bool Shown(ControlId control) = 0;
  virtual int TabCount() = 0;
  // The sheet whose tab is selected and whose page shows, or
  // kWindowClientArea.
  virtual ControlId ActivePage() = 0;
  // As a click on the sheet's tab.
  virtual void SelectPage(ControlId sheet) = 0;
  // Brings the control's page to the front and clicks the control.
  virtual void Click(ControlId control) = 0;

  virtual void Focus(ControlId control) = 0;
  // The control that has the keyboard focus, or kWindowClientArea.
  virtual ControlId Focused() = 0;
  // A key pressed and released on the focused control.
  virtual void Press(Key key, bool shift = false, bool control = false) = 0;

  // A control's rectangle within its parent's client area, as the layout
  // places it (controls on the window relative to the area inside its
  // border); a tab sheet's is its page's.
  virtual Rect Geometry(ControlId control) = 0;
  // The size of the window's client area.
  virtual Rect ClientArea() = 0;
  // A dialog frame: not resizable, without minimise and maximise boxes.
  virtual bool FixedDialogFrame() = 0;
  // Pixels between the window's centre and the centre of the screen's work
  // area, across plus down.
  virtual int DistanceFromScreenCentre() = 0;
  // Where a label's or a check box's caption ends within its parent, in the
  // font the control really uses, and that font's family.
  virtual int CaptionEnd(ControlId control) = 0;
  virtual std::string FontFamily(ControlId control) = 0;
};

// The driver of a window that the platform's toolkit made from `layout`.
std::unique_ptr<WindowDriver> DriveWindow(WindowView& window, std::span<const ControlSpec> layout);
// The driver of the program's shown window, or null when none is shown.
std::unique_ptr<WindowDriver> DriveShownWindow(std::span<const ControlSpec> layout);
// Runs `task` once, from within the next message loop that runs.
void RunInMessageLoop(std::function<void()> task);
// Whether the busy cursor is up.
bool BusyCursorShown();

struct ShownMessage {
  MessageBoxSpec message;
  bool busy_cursor;  // whether the busy cursor was still up
};

// What a recording toolkit saw.
struct ToolkitRecord {
  std::vector<ShownMessage> shown;
  // The answers to the questions to come, first first; a question with none
  // left is answered Não. Questions are recorded with the messages.
  std::vector<bool> answers;
  int windows_made = 0;
  // How often the program put its changes on screen while busy.
  int busy_updates = 0;
};

// The platform's toolkit, except that message boxes are recorded in
// `record` instead of shown.
std::unique_ptr<Toolkit> MakeRecordingToolkit(ToolkitRecord& record);

template <typename PlatformToolkit>
class RecordingToolkit final : public PlatformToolkit {
 public:
  explicit RecordingToolkit(ToolkitRecord& record) : record_(record) {}

  std::unique_ptr<WindowView> CreateWindowView(const WindowSpec& window, std::span<const ControlSpec> layout,
                                               EventSink events) override {
    ++record_.windows_made;
    return PlatformToolkit::CreateWindowView(window, layout, std::move(events));
  }
  void ShowMessage(const MessageBoxSpec& message) override { record_.shown.push_back({message, BusyCursorShown()}); }
  bool Ask(const MessageBoxSpec& question) override {
    record_.shown.push_back({question, BusyCursorShown()});
    if (record_.answers.empty()) return false;
    bool answer = record_.answers.front();
    record_.answers.erase(record_.answers.begin());
    return answer;
  }
  void ShowChanges() override {
    record_.busy_updates += BusyCursorShown();
    PlatformToolkit::ShowChanges();
  }

 private:
  ToolkitRecord& record_;
};

}  // namespace tarn::testing
