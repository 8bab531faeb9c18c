// The window driver of the Win32 view: the real controls, found by their
// ids and worked with window messages (BM_CLICK, WM_SETTEXT, WM_GETTEXT,
// BM_GETCHECK, TCM_GETITEMCOUNT...), keys through the message loop's own
// handling.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/win32/wide_text.h"
#include "ui/win32/text_win32.h"
#include "ui/win32/toolkit_win32.h"
#include "ui/win32/window_view_win32.h"
#include "window_driver.h"

namespace tarn::testing {

namespace {

// The toolkit's module runs around all the tests, as it runs first in the
// program.
class Win32Environment final : public ::testing::Environment {
 public:
  void SetUp() override { Win32ToolkitModule().startup(); }
  void TearDown() override { Win32ToolkitModule().shutdown(); }
};

[[maybe_unused]] ::testing::Environment* const kWin32Environment =
    ::testing::AddGlobalTestEnvironment(new Win32Environment);

std::string TextOf(HWND window) {
  auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  auto copied = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return FromWide(text);
}

// A rectangle of the screen in the client coordinates of `window`.
Rect ClientRectOf(const RECT& screen, HWND window) {
  POINT corners[2] = {{screen.left, screen.top}, {screen.right, screen.bottom}};
  ::MapWindowPoints(nullptr, window, corners, 2);
  return {corners[0].x, corners[0].y, corners[1].x - corners[0].x, corners[1].y - corners[0].y};
}

class Win32Driver final : public WindowDriver {
 public:
  Win32Driver(HWND window, Win32WindowView* view, std::span<const ControlSpec> layout)
      : window_(window), view_(view), layout_(layout) {}

  std::string Caption() override {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
  }
  bool Open() override { return ::IsWindowVisible(window_) != FALSE; }
  void CloseByTitleBar() override { ::SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

  std::string Text(ControlId control) override { return TextOf(Find(control)); }

  void SetText(ControlId control, const std::string& text) override {
    std::wstring wide = ToWide(text);
    ::SendMessageW(Find(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }

  bool Checked(ControlId control) override {
    return ::SendMessageW(Find(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  bool Shown(ControlId control) override {
    if (Row(control).kind == ControlKind::kTabSheet) return TabOf(control) >= 0;
    return (::GetWindowLongW(Find(control), GWL_STYLE) & WS_VISIBLE) != 0;
  }

  int TabCount() override { return static_cast<int>(::SendMessageW(Tabs(), TCM_GETITEMCOUNT, 0, 0)); }

  ControlId ActivePage() override {
    std::string selected = TabText(static_cast<int>(::SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0)));
    for (const ControlSpec& row : layout_) {
      if (row.kind == ControlKind::kTabSheet && row.caption == selected && ::IsWindowVisible(Find(row.id))) {
        return row.id;
      }
    }
    return kWindowClientArea;
  }

  void SelectPage(ControlId sheet) override {
    RECT tab{};
    ASSERT_TRUE(::SendMessageW(Tabs(), TCM_GETITEMRECT, static_cast<WPARAM>(TabOf(sheet)), reinterpret_cast<LPARAM>(&tab)))
        << Row(sheet).name;
    LPARAM centre = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    ::SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageW(Tabs(), WM_LBUTTONUP, 0, centre);
  }

  void Click(ControlId control) override {
    for (ControlId parent = Row(control).parent; parent != kWindowClientArea; parent = Row(parent).parent) {
      if (Row(parent).kind == ControlKind::kTabSheet && ActivePage() != parent) SelectPage(parent);
    }
    ::SendMessageW(Find(control), BM_CLICK, 0, 0);
  }

  void Focus(ControlId control) override { ::SetFocus(Find(control)); }

  ControlId Focused() override {
    HWND focus = ::GetFocus();
    for (const ControlSpec& row : layout_) {
      if (Find(row.id) == focus) return row.id;
    }
    return kWindowClientArea;
  }

  // Sent through the message loop's handling, with the modifiers held in
  // the thread's keyboard state.
  void Press(Key key, bool shift, bool control) override {
    ASSERT_NE(view_, nullptr) << "keys need the window's view";
    BYTE keys[256];
    ::GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), held);
    held[VK_SHIFT] = shift ? 0x80 : 0;
    held[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(held);
    WPARAM code = key == Key::kSpace ? VK_SPACE : key == Key::kEscape ? VK_ESCAPE : VK_TAB;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
      MSG sent{::GetFocus(), message, code, message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001), 0, {}};
      DispatchWindowMessage(*view_, sent);
    }
    ::SetKeyboardState(keys);
  }

  Rect Geometry(ControlId control) override {
    HWND found = Find(control);
    RECT screen{};
    ::GetWindowRect(found, &screen);
    Rect rect = ClientRectOf(screen, ::GetParent(found));
    if (Row(control).parent == kWindowClientArea) {
      rect.left -= kBorder;
      rect.top -= kBorder;
    }
    return rect;
  }

  Rect ClientArea() override {
    RECT client{};
    ::GetClientRect(window_, &client);
    return {0, 0, client.right, client.bottom};
  }

  bool FixedDialogFrame() override {
    LONG style = ::GetWindowLongW(window_, GWL_STYLE);
    return (style & WS_CAPTION) == WS_CAPTION && (style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0 &&
           (::GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) != 0;
  }

  int DistanceFromScreenCentre() override {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    return std::abs(frame.left + frame.right - monitor.rcWork.left - monitor.rcWork.right) / 2 +
           std::abs(frame.top + frame.bottom - monitor.rcWork.top - monitor.rcWork.bottom) / 2;
  }

  int CaptionEnd(ControlId control) override {
    HWND found = Find(control);
    int left = Geometry(control).left;
    if (Row(control).kind == ControlKind::kCheckBox) {
      // The box, the gap and the text.
      SIZE ideal{};
      EXPECT_TRUE(::SendMessageW(found, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
      return left + ideal.cx;
    }
    std::wstring text = ToWide(Text(control));
    SIZE size{};
    WithFont(found, [&](HDC dc) { ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size); });
    return left + size.cx;
  }

  std::string FontFamily(ControlId control) override {
    wchar_t face[LF_FACESIZE] = {};
    WithFont(Find(control), [&](HDC dc) { ::GetTextFaceW(dc, LF_FACESIZE, face); });
    return FromWide(face);
  }

 private:
  static constexpr int kBorder = 3;

  const ControlSpec& Row(ControlId control) const { return layout_[static_cast<size_t>(control)]; }

  HWND Find(ControlId control) {
    struct Search {
      int id;
      HWND found;
    } search{kFirstControlId + control, nullptr};
    ::EnumChildWindows(
        window_,
        [](HWND child, LPARAM data) {
          auto* wanted = reinterpret_cast<Search*>(data);
          if (::GetDlgCtrlID(child) != wanted->id) return TRUE;
          wanted->found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) ADD_FAILURE() << "no control " << Row(control).name;
    return search.found;
  }

  HWND Tabs() {
    for (const ControlSpec& row : layout_) {
      if (row.kind == ControlKind::kPageControl) return Find(row.id);
    }
    return nullptr;
  }

  std::string TabText(int index) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    if (!::SendMessageW(Tabs(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
    return FromWide(text);
  }

  // The tab that shows the sheet's caption, or -1.
  int TabOf(ControlId sheet) {
    int count = TabCount();
    for (int index = 0; index < count; ++index) {
      if (TabText(index) == Row(sheet).caption) return index;
    }
    return -1;
  }

  template <typename Use>
  static void WithFont(HWND control, Use use) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    use(dc);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
  }

  HWND window_;
  Win32WindowView* view_;
  std::span<const ControlSpec> layout_;
};

std::map<UINT_PTR, std::function<void()>> pending_tasks;

void CALLBACK RunPendingTask(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  auto task = pending_tasks.extract(timer);
  if (!task.empty()) task.mapped()();
}

}  // namespace

std::unique_ptr<WindowDriver> DriveWindow(WindowView& window, std::span<const ControlSpec> layout) {
  auto& view = dynamic_cast<Win32WindowView&>(window);
  return std::make_unique<Win32Driver>(view.Handle(), &view, layout);
}

std::unique_ptr<WindowDriver> DriveShownWindow(std::span<const ControlSpec> layout) {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM result) {
        // The program's window: a shown dialog that holds the layout's first control.
        if (!::IsWindowVisible(window) || ::GetDlgItem(window, kFirstControlId) == nullptr) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found != nullptr ? std::make_unique<Win32Driver>(found, nullptr, layout) : nullptr;
}

void RunInMessageLoop(std::function<void()> task) {
  pending_tasks[::SetTimer(nullptr, 0, 0, &RunPendingTask)] = std::move(task);
}

bool BusyCursorShown() { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT); }

std::unique_ptr<Toolkit> MakeRecordingToolkit(ToolkitRecord& record) {
  return std::make_unique<RecordingToolkit<Win32Toolkit>>(record);
}

}  // namespace tarn::testing
