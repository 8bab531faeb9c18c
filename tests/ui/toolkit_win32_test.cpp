// The Win32 toolkit's own message box, read from the box the platform
// shows; the order of the window's controls among their siblings; what a
// Windows user expects of a window (its icon, Esc); and the resolution where
// the platform lacks the per-window DPI functions.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "form1_fixture.h"
#include "ui/form1_layout.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/text_win32.h"
#include "ui/win32/toolkit_win32.h"
#include "ui/win32/window_view_win32.h"
#include "window_driver.h"

namespace tarn::testing {
namespace {

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return FromWide(text);
}

HWND ShownMessageBox() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM result) {
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (!::IsWindowVisible(window) || std::wstring_view(name) != L"#32770") return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The icon that the box shows, or null.
HICON ShownIcon(HWND box) {
  HICON icon = nullptr;
  ::EnumChildWindows(
      box,
      [](HWND child, LPARAM result) {
        if (!::IsWindowVisible(child) || (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
        *reinterpret_cast<HICON*>(result) = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&icon));
  return icon;
}

TEST(Win32ToolkitTest, MessageBoxCarriesTitleTextIconAndModality) {
  // Another window of the program, not active: only a task-modal box
  // blocks it.
  HWND other = ::CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::ShowWindow(other, SW_SHOWNOACTIVATE);
  struct Case {
    MessageBoxSpec message;
    HICON icon;
  };
  const Case cases[] = {
      {{"Application Error", "Exception EOSError in module tarnconfig.exe at 0000000000401000.\r\nFalha.\r\n",
        MessageIcon::kError, true},
       ::LoadIconW(nullptr, IDI_ERROR)},
      {{"Configura\xE7\xE3o de ambiente TARN", "Cache limpo", MessageIcon::kNone, false}, nullptr},
  };
  for (const Case& c : cases) {
    std::string title, text;
    HICON icon = nullptr;
    bool other_enabled = true;
    RunInMessageLoop([&] {
      HWND box = ShownMessageBox();
      ASSERT_NE(box, nullptr);
      title = WindowText(box);
      text = WindowText(::GetDlgItem(box, 0xFFFF));
      icon = ShownIcon(box);
      other_enabled = ::IsWindowEnabled(other) != FALSE;
      ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Win32Toolkit().ShowMessage(c.message);
    EXPECT_EQ(title, c.message.title);
    EXPECT_EQ(text, c.message.text);
    EXPECT_EQ(icon, c.icon) << c.message.text;
    EXPECT_EQ(other_enabled, !c.message.task_modal) << c.message.text;
    EXPECT_TRUE(::IsWindowEnabled(other)) << "enabled again once the box is gone";
  }
  ::DestroyWindow(other);
}

// The dialog's own keys (arrows, and Tab among the controls it knows) move
// among siblings from the top down: each parent's children that take the
// focus stand in the order of their ranks. Screen readers name an edit by
// the label right before it; its unit stands right after it.
TEST(Win32ToolkitTest, SiblingsStandInTheOrderOfTheirRanksEachEditAfterItsLabel) {
  Win32Toolkit toolkit;
  std::unique_ptr<WindowView> view = toolkit.CreateWindowView(Form1Window(), Form1Layout(), [](ControlId) {});
  const std::span<const ControlSpec> rows = Form1Layout();
  auto id = [](HWND control) {
    return control == nullptr ? kWindowClientArea : ::GetDlgCtrlID(control) - kFirstControlId;
  };
  std::vector<HWND> parents{static_cast<Win32WindowView&>(*view).Handle()};
  for (size_t parent = 0; parent < parents.size(); ++parent) {
    std::vector<const ControlSpec*> ranked;
    for (HWND child = ::GetWindow(parents[parent], GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      const ControlSpec& row = rows[static_cast<size_t>(id(child))];
      if (row.tab_order > 0) ranked.push_back(&row);
      parents.push_back(child);
      if (row.kind != ControlKind::kEdit) continue;
      if (rows[static_cast<size_t>(row.labelled_by)].kind == ControlKind::kLabel) {
        EXPECT_EQ(id(::GetWindow(child, GW_HWNDPREV)), row.labelled_by) << row.name;
      }
      if (row.described_by != kWindowClientArea) {
        EXPECT_EQ(id(::GetWindow(child, GW_HWNDNEXT)), row.described_by) << row.name;
      }
    }
    EXPECT_TRUE(std::is_sorted(ranked.begin(), ranked.end(),
                               [](const ControlSpec* a, const ControlSpec* b) { return a->tab_order < b->tab_order; }))
        << "children of window " << parent;
  }
  EXPECT_EQ(parents.size(), rows.size() + 1);
}

// The title bar and Alt+Tab show the program's icon, drawn at the sizes of
// the window's resolution.
TEST(Win32ToolkitTest, WindowShowsTheProgramsIconBigAndSmall) {
  Win32Toolkit toolkit;
  std::unique_ptr<WindowView> view = toolkit.CreateWindowView(Form1Window(), Form1Layout(), [](ControlId) {});
  HWND window = static_cast<Win32WindowView&>(*view).Handle();
  for (auto [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
    auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
    ASSERT_NE(icon, nullptr) << "icon kind " << which;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(metric)) << "icon kind " << which;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
  }
}

// Windows 10 before version 1607 lacks the per-window DPI functions: the
// window then takes the system's resolution and sizes its frame by it.
TEST(Win32ToolkitTest, WithoutPerWindowDpiTheSystemsResolutionServes) {
  Win32Toolkit toolkit;
  std::unique_ptr<WindowView> view = toolkit.CreateWindowView(Form1Window(), Form1Layout(), [](ControlId) {});
  HWND window = static_cast<Win32WindowView&>(*view).Handle();
  const Win32Dpi without = Win32Dpi::Bind(::GetModuleHandleW(L"kernel32.dll"));
  HDC screen = ::GetDC(nullptr);
  const int system_dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);

  EXPECT_EQ(without.WindowDpi(window), system_dpi);
  EXPECT_EQ(without.SystemMetric(SM_CXICON, system_dpi), ::GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(without.FrameAround(window, 286, 413, system_dpi),
            Win32Dpi::Platform().FrameAround(window, 286, 413, system_dpi));
}

}  // namespace
}  // namespace tarn::testing
