// The settings window as a native Win32 dialog: a dialog frame whose
// controls (a common-controls tab control with its pages, push buttons,
// check boxes, edits, static texts, an etched line, a panel) are built from
// the layout table and laid out for the screen's resolution. A control's id
// is its row's index plus kFirstControlId. The tab control offers the tabs
// of the pages that are shown; a hidden page's tab is removed. The window
// shows the program's icon; Esc closes it as the close button does.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "ui/dpi_geometry.h"
#include "ui/page_tabs.h"
#include "ui/toolkit.h"

// The Windows handle types, without <windows.h>.
struct HWND__;
struct HFONT__;
struct HICON__;
struct tagMSG;

namespace tarn {

inline constexpr int kFirstControlId = 100;

class Win32WindowView final : public WindowView {
 public:
  // Raises EOSError when the platform cannot create the window.
  Win32WindowView(const WindowSpec& window, std::span<const ControlSpec> layout, EventSink events);
  ~Win32WindowView() override;
  Win32WindowView(const Win32WindowView&) = delete;
  Win32WindowView& operator=(const Win32WindowView&) = delete;

  void SetCaption(std::string_view text, std::string_view path) override;
  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  bool Checked(ControlId control) const override;
  void SetChecked(ControlId control, bool checked) override;
  bool Shown(ControlId control) const override;
  void SetShown(ControlId control, bool shown) override;
  ControlId ActivePage() const override;
  void Show() override;
  // Hides the window; it is destroyed with the view.
  void Close() override;

  HWND__* Handle() const { return window_; }
  // The window of a control; a tab sheet's is its page.
  HWND__* Control(ControlId control) const { return controls_.at(static_cast<size_t>(control)); }
  bool Closed() const { return closed_; }

  // The window's keyboard, before a message of the thread is dispatched:
  // Tab and Shift+Tab along the focus chain, Ctrl+Tab and Ctrl+Shift+Tab
  // between pages, and the dialog's own keys (Space on a button or a check
  // box, arrows). Returns true when the message was handled.
  bool PreTranslateMessage(tagMSG& message);

 private:
  friend struct Win32DialogProcedure;

  const ControlSpec& Row(ControlId control) const { return rows_.at(static_cast<size_t>(control)); }
  void BuildControl(const ControlSpec& row);
  void BuildChildren(ControlId parent);
  void SetIcons();
  void SizeWindow();
  Rect Placement(const ControlSpec& row) const;
  void FitCaption(const ControlSpec& row, const Rect& rect);
  void Place(const ControlSpec& row);
  void Layout();
  // Adds or removes a sheet's tab as the page tabs now offer it.
  void ShowTab(ControlId sheet, bool shown);
  // Selects the tab of the sheet in front, shows its page and hides the
  // others.
  void SyncPages(ControlId page_control);
  // Tells screen readers the present text of `caption` where it names or
  // describes another control.
  void Describe(ControlId caption);
  void SelectNextPage(bool backwards);
  void FocusNext(bool backwards);
  void Destroy();
  std::optional<ControlId> ControlOf(int control_id) const;
  void Clicked(int control_id);
  void PageSelected(int control_id);
  void DpiChanged(int dpi, const void* suggested_rect);

  WindowSpec design_;
  std::vector<ControlSpec> rows_;
  EventSink events_;
  std::vector<ControlId> focus_chain_;
  PageTabs tabs_;
  HWND__* window_ = nullptr;
  std::vector<HWND__*> controls_;  // by id; a tab sheet's is its page
  HFONT__* font_ = nullptr;
  HICON__* icons_[2] = {};  // by the WM_SETICON kind: small, big
  int dpi_ = 96;
  bool closed_ = false;
};

// The window class of pages and panels, registered by the toolkit's module.
void RegisterWin32WindowClasses();
void UnregisterWin32WindowClasses();

}  // namespace tarn
