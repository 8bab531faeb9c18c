// The window toolkit as the settings window needs it: one fixed-size dialog
// built from a table of controls, message boxes with an OK button and a busy
// cursor for the whole screen. The window's logic talks only to these
// interfaces, so each platform supplies its own implementation (Qt Widgets
// on Linux, Win32 controls on Windows). All text crossing them is 8-bit
// Windows-1252 text; implementations convert it at their edge.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tarn {

enum class ControlKind {
  kPageControl,  // a tab control whose pages are its kTabSheet children
  kTabSheet,     // a page: its caption is the tab's text
  kPanel,        // a panel without bevel
  kButton,
  kLabel,
  kEdit,  // a single-line edit
  kCheckBox,
  kBevel,  // a horizontal line
};

// Base of the classes whose member functions handle control events.
class EventTarget {
 public:
  virtual ~EventTarget() = default;
};
using EventHandler = void (EventTarget::*)();

// A control is known by its index in the layout table.
using ControlId = int;
// The parent of the controls that lie directly on the window.
inline constexpr ControlId kWindowClientArea = -1;

// One row of a window's layout. Coordinates are pixels relative to the
// parent's client area; the tab order is the rank within the parent (0 for
// controls that take no focus). For screen readers, a control without a
// caption of its own (an edit) is named by the caption of another control,
// and the caption of a third (its unit) may describe it.
struct ControlSpec {
  ControlId id;
  const char* name;
  ControlKind kind;
  ControlId parent;
  const char* caption;  // the initial text of an edit
  int left, top, width, height;
  bool shown;
  int tab_order;
  EventHandler handler;  // run on a click; null for none
  ControlId labelled_by = kWindowClientArea;  // kWindowClientArea for none
  ControlId described_by = kWindowClientArea;
};

struct WindowSpec {
  const char* caption;
  int client_width, client_height;
  int border_width;  // an inner margin around the client area
  const char* font_name;  // used where it exists, else the desktop's dialog font
  int font_points;
};

enum class MessageIcon { kNone, kError };

struct MessageBoxSpec {
  std::string title;
  std::string text;
  MessageIcon icon = MessageIcon::kNone;
  // Blocks every window of the application, not only its owner.
  bool task_modal = false;
};

// Called with the control's id when a control that has a handler is clicked.
using EventSink = std::function<void(ControlId)>;

// One window built from its layout; it owns its controls.
class WindowView {
 public:
  virtual ~WindowView() = default;

  // The window's caption: program text followed by a path as the program
  // holds paths (UTF-8), shown by its real name even where Windows-1252
  // lacks some of its characters.
  virtual void SetCaption(std::string_view text, std::string_view path) = 0;

  // The text of an edit, the caption of any other control.
  virtual std::string Text(ControlId control) const = 0;
  virtual void SetText(ControlId control, std::string_view text) = 0;

  // Check boxes. Setting the state runs no handler.
  virtual bool Checked(ControlId control) const = 0;
  virtual void SetChecked(ControlId control, bool checked) = 0;

  // Whether a control is shown within its parent; for a tab sheet, whether
  // its tab is offered. Hiding the active page's tab activates another page.
  virtual bool Shown(ControlId control) const = 0;
  virtual void SetShown(ControlId control, bool shown) = 0;

  // The tab sheet in front.
  virtual ControlId ActivePage() const = 0;

  virtual void Show() = 0;
  // Closes the window, which ends RunUntilClosed.
  virtual void Close() = 0;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  virtual std::unique_ptr<WindowView> CreateWindowView(const WindowSpec& window, std::span<const ControlSpec> layout,
                                                       EventSink events) = 0;
  // Runs the message loop until `window` closes.
  virtual void RunUntilClosed(WindowView& window) = 0;

  // Shows a message box with an OK button and returns when it is dismissed.
  virtual void ShowMessage(const MessageBoxSpec& message) = 0;
  // Shows a question with the buttons Sim and Não (Yes and No, as the
  // platform names them), Não the default; true for Sim.
  virtual bool Ask(const MessageBoxSpec& question) = 0;

  // The busy cursor over the whole screen, and back to the default cursor.
  virtual void BeginBusyCursor() = 0;
  virtual void EndBusyCursor() = 0;
  // Puts on screen what changed (a caption, the cursor) while the program's
  // one thread is busy; the user's input waits.
  virtual void ShowChanges() = 0;
};

}  // namespace tarn
