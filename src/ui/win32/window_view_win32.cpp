#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"
#include "ui/dpi_geometry.h"
#include "ui/focus_chain.h"
#include "ui/view_layout.h"
#include "ui/win32/accessible_text_win32.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/text_win32.h"
#include "ui/win32/window_view_win32.h"

namespace tarn {

namespace {

constexpr wchar_t kContainerClass[] = L"TarnContainer";
// The program's icon among its resources.
constexpr WORD kIconResource = 1;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

// Pages and panels pass their controls' commands on to the dialog.
LRESULT CALLBACK ContainerProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND) return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wparam, lparam);
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// An empty dialog: the controls are made from the layout afterwards.
struct EmptyDialog {
  DLGTEMPLATE header;
  WORD menu = 0, window_class = 0, title = 0;
};

std::wstring WideWindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string WindowText(HWND window) { return FromWide(WideWindowText(window)); }

int TextWidth(HWND control, HFONT font) {
  std::wstring text = WideWindowText(control);
  HDC dc = ::GetDC(control);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size.cx;
}

// The width that shows the whole caption of a label or a check box, or 0
// when the platform cannot tell.
int CaptionWidth(HWND control, ControlKind kind, HFONT font) {
  if (kind == ControlKind::kLabel) return TextWidth(control, font);
  SIZE ideal{};
  return ::SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) ? ideal.cx : 0;
}

bool IsLabel(HWND control) {
  return control != nullptr && (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) != 0;
}

HFONT MakeFont(const WindowSpec& window, int dpi) {
  return ::CreateFontW(FontHeight(window, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       ToWide(window.font_name).c_str());
}

}  // namespace

struct Win32DialogProcedure {
  static INT_PTR CALLBACK Run(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      return FALSE;  // the focus is set when the window is shown
    }
    auto* view = reinterpret_cast<Win32WindowView*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (view == nullptr) return FALSE;
    switch (message) {
      case WM_COMMAND:
        // Esc closes the window without writing, as the close button does.
        if (LOWORD(wparam) == IDCANCEL) {
          view->Close();
        } else if (HIWORD(wparam) == BN_CLICKED) {
          view->Clicked(LOWORD(wparam));
        }
        return TRUE;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == TCN_SELCHANGE) view->PageSelected(static_cast<int>(header->idFrom));
        return TRUE;
      }
      case WM_CLOSE:  // the title bar's close button
        view->Close();
        return TRUE;
      case WM_DPICHANGED:
        view->DpiChanged(LOWORD(wparam), reinterpret_cast<const void*>(lparam));
        return TRUE;
      default:
        return FALSE;
    }
  }
};

void RegisterWin32WindowClasses() {
  WNDCLASSEXW container{};
  container.cbSize = sizeof container;
  container.lpfnWndProc = &ContainerProcedure;
  container.hInstance = Instance();
  container.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  container.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  container.lpszClassName = kContainerClass;
  ::RegisterClassExW(&container);
}

void UnregisterWin32WindowClasses() { ::UnregisterClassW(kContainerClass, Instance()); }

Win32WindowView::Win32WindowView(const WindowSpec& window, std::span<const ControlSpec> layout, EventSink events)
    : design_(window), rows_(layout.begin(), layout.end()), events_(std::move(events)), tabs_(layout) {
  EmptyDialog dialog{};
  // A dialog frame: fixed size, no minimise or maximise box.
  dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  window_ = ::CreateDialogIndirectParamW(Instance(), &dialog.header, nullptr, &Win32DialogProcedure::Run,
                                         reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) RaiseLastOSError();
  SetCaption(window.caption, {});
  dpi_ = Win32Dpi::Platform().WindowDpi(window_);
  font_ = MakeFont(window, dpi_);
  SetIcons();
  SizeWindow();
  controls_.assign(rows_.size(), nullptr);
  try {
    BuildChildren(kWindowClientArea);
  } catch (...) {
    Destroy();
    throw;
  }
  // A page's place depends on its tab control's tabs, all offered by now.
  for (const ControlSpec& row : rows_) {
    if (row.kind == ControlKind::kTabSheet) Place(row);
  }
  for (const ControlSpec& row : rows_) {
    if (row.kind == ControlKind::kPageControl) SyncPages(row.id);
    Describe(row.id);
  }
  focus_chain_ = FocusChain(rows_);
}

Win32WindowView::~Win32WindowView() { Destroy(); }

void Win32WindowView::Destroy() {
  // The window no longer reaches the view while it goes.
  ::SetWindowLongPtrW(window_, DWLP_USER, 0);
  for (const ControlSpec& row : rows_) {
    bool described = row.labelled_by != kWindowClientArea || row.described_by != kWindowClientArea;
    if (described && Control(row.id) != nullptr) ClearAccessibleText(Control(row.id));
  }
  ::DestroyWindow(window_);
  ::DeleteObject(font_);
  for (HICON icon : icons_) ::DestroyIcon(icon);
}

// The title bar and Alt+Tab show the program's icon, drawn at the sizes of
// the present resolution. A program without the icon keeps the default.
void Win32WindowView::SetIcons() {
  static_assert(ICON_SMALL == 0 && ICON_BIG == 1);
  const int sizes[] = {SM_CXSMICON, SM_CXICON};
  for (WPARAM which : {ICON_SMALL, ICON_BIG}) {
    int size = Win32Dpi::Platform().SystemMetric(sizes[which], dpi_);
    auto icon = static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ::SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    if (icons_[which] != nullptr) ::DestroyIcon(icons_[which]);
    icons_[which] = icon;
  }
}

void Win32WindowView::BuildControl(const ControlSpec& row) {
  HWND parent = row.parent == kWindowClientArea ? window_ : Control(row.parent);
  std::wstring text = ToWide(row.caption);
  DWORD style = WS_CHILD | (row.shown ? WS_VISIBLE : 0);
  DWORD extended = 0;
  const wchar_t* window_class = L"STATIC";
  switch (row.kind) {
    case ControlKind::kPageControl:
      window_class = WC_TABCONTROLW;
      style |= WS_TABSTOP | WS_CLIPCHILDREN;
      break;
    case ControlKind::kTabSheet:
    case ControlKind::kPanel:
      window_class = kContainerClass;
      // A page is shown while its tab is selected.
      if (row.kind == ControlKind::kTabSheet) style &= ~WS_VISIBLE;
      extended = WS_EX_CONTROLPARENT;
      break;
    case ControlKind::kButton:
      window_class = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::kCheckBox:
      window_class = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::kLabel:
      style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
      break;
    case ControlKind::kEdit:
      window_class = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      extended = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kBevel:
      style |= SS_ETCHEDHORZ;
      break;
  }
  // Made in place, in the window's font: nothing moves afterwards.
  const Rect rect = row.kind == ControlKind::kTabSheet ? Rect{} : Placement(row);
  HWND control = ::CreateWindowExW(extended, window_class, text.c_str(), style, rect.left, rect.top, rect.width,
                                   rect.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row.id)), Instance(),
                                   nullptr);
  if (control == nullptr) RaiseLastOSError();
  controls_[static_cast<size_t>(row.id)] = control;
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  FitCaption(row, rect);
  // An etched line takes its own size when it is made.
  if (row.kind == ControlKind::kBevel) Place(row);
  if (row.kind == ControlKind::kTabSheet && tabs_.Offered(row.id)) ShowTab(row.id, true);
}

// The dialog's own keys move among siblings in their order from the top,
// and a new control goes below the siblings made before it: each parent's
// children are made in the order of their ranks, each before its own, with
// the label that names a control right before it, where screen readers look
// for an edit's name.
void Win32WindowView::BuildChildren(ControlId parent) {
  for (const ControlSpec* child : ChildrenInReadingOrder(rows_, parent)) {
    BuildControl(*child);
    BuildChildren(child->id);
  }
}

void Win32WindowView::SizeWindow() {
  Rect client = WindowClientRect(design_, dpi_);
  Rect frame = Win32Dpi::Platform().FrameAround(window_, client.width, client.height, dpi_);
  ::SetWindowPos(window_, nullptr, 0, 0, frame.width, frame.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32WindowView::Placement(const ControlSpec& row) const {
  if (row.kind != ControlKind::kTabSheet) return ControlRect(design_, row, dpi_);
  // The page fills the tab control's display area, below its tabs.
  RECT area{};
  ::GetClientRect(Control(row.parent), &area);
  ::SendMessageW(Control(row.parent), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void Win32WindowView::FitCaption(const ControlSpec& row, const Rect& rect) {
  if (!GrowsToCaption(row.kind)) return;
  const int width = FittedWidth(row.kind, rect.width, CaptionWidth(Control(row.id), row.kind, font_));
  if (width == rect.width) return;
  ::SetWindowPos(Control(row.id), nullptr, 0, 0, width, rect.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowView::Place(const ControlSpec& row) {
  const Rect rect = Placement(row);
  ::SetWindowPos(Control(row.id), nullptr, rect.left, rect.top, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
  FitCaption(row, rect);
}

// Sizes the window and places every control again, in the font made for
// the present resolution.
void Win32WindowView::Layout() {
  SizeWindow();
  for (const ControlSpec& row : rows_) {
    ::SendMessageW(Control(row.id), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    Place(row);
  }
}

void Win32WindowView::DpiChanged(int dpi, const void* suggested_rect) {
  dpi_ = dpi;
  HFONT old = font_;
  font_ = MakeFont(design_, dpi_);
  Layout();
  ::DeleteObject(old);
  SetIcons();
  const RECT& suggested = *static_cast<const RECT*>(suggested_rect);
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Screen readers name a control by the caption that names it and read the
// caption that describes it (a unit) after the name.
void Win32WindowView::Describe(ControlId caption) {
  for (const ControlSpec& row : rows_) {
    if (row.labelled_by != caption && row.described_by != caption) continue;
    std::wstring text = WideWindowText(Control(caption));
    SetAccessibleText(Control(row.id), row.labelled_by == caption ? &text : nullptr,
                      row.described_by == caption ? &text : nullptr);
  }
}

void Win32WindowView::SetCaption(std::string_view text, std::string_view path) {
  ::SetWindowTextW(window_, (ToWide(text) + Utf8ToWide(path)).c_str());
}

std::string Win32WindowView::Text(ControlId control) const { return WindowText(Control(control)); }

void Win32WindowView::SetText(ControlId control, std::string_view text) {
  std::wstring wide = ToWide(text);
  ::SetWindowTextW(Control(control), wide.c_str());
  if (Row(control).kind == ControlKind::kTabSheet && tabs_.Offered(control)) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    ::SendMessageW(Control(Row(control).parent), TCM_SETITEMW, static_cast<WPARAM>(tabs_.TabIndex(control)),
                   reinterpret_cast<LPARAM>(&item));
  }
  Describe(control);
}

bool Win32WindowView::Checked(ControlId control) const {
  return ::SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32WindowView::SetChecked(ControlId control, bool checked) {
  ::SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32WindowView::Shown(ControlId control) const {
  if (Row(control).kind == ControlKind::kTabSheet) return tabs_.Offered(control);
  return (::GetWindowLongW(Control(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WindowView::SetShown(ControlId control, bool shown) {
  if (Row(control).kind != ControlKind::kTabSheet) {
    ::ShowWindow(Control(control), shown ? SW_SHOWNA : SW_HIDE);
    return;
  }
  if (tabs_.Offered(control) == shown) return;
  tabs_.SetOffered(control, shown);
  ShowTab(control, shown);
  SyncPages(Row(control).parent);
}

void Win32WindowView::ShowTab(ControlId sheet, bool shown) {
  HWND tabs = Control(Row(sheet).parent);
  WPARAM index = static_cast<WPARAM>(tabs_.TabIndex(sheet));
  if (!shown) {
    ::SendMessageW(tabs, TCM_DELETEITEM, index, 0);
    return;
  }
  std::wstring caption = WideWindowText(Control(sheet));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption.data();
  ::SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

void Win32WindowView::SyncPages(ControlId page_control) {
  HWND tabs = Control(page_control);
  ControlId active = tabs_.Active(page_control);
  if (active != kWindowClientArea) ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tabs_.TabIndex(active)), 0);
  HWND focus = ::GetFocus();
  for (const ControlSpec& row : rows_) {
    if (row.parent != page_control) continue;
    HWND page = Control(row.id);
    if (row.id != active && (page == focus || ::IsChild(page, focus))) ::SetFocus(tabs);
    ::ShowWindow(page, row.id == active ? SW_SHOWNA : SW_HIDE);
  }
}

ControlId Win32WindowView::ActivePage() const { return tabs_.ActivePage(); }

void Win32WindowView::Show() {
  // In the work area of the screen that holds the window.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  RECT frame{};
  ::GetWindowRect(window_, &frame);
  Rect at = CentredIn({work.left, work.top, work.right - work.left, work.bottom - work.top}, frame.right - frame.left,
                      frame.bottom - frame.top);
  ::SetWindowPos(window_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window_, SW_SHOW);
  ::SetFocus(nullptr);
  FocusNext(false);
}

void Win32WindowView::Close() {
  if (closed_) return;
  closed_ = true;
  ::ShowWindow(window_, SW_HIDE);
  // Wakes a message loop that waits for the window to close.
  ::PostMessageW(window_, WM_NULL, 0, 0);
}

// The commands of the dialog's own keys (Enter, Esc) name no control.
std::optional<ControlId> Win32WindowView::ControlOf(int control_id) const {
  ControlId control = control_id - kFirstControlId;
  if (control < 0 || static_cast<size_t>(control) >= rows_.size()) return std::nullopt;
  return control;
}

void Win32WindowView::Clicked(int control_id) {
  std::optional<ControlId> control = ControlOf(control_id);
  if (control && Row(*control).handler != nullptr) events_(*control);
}

void Win32WindowView::PageSelected(int control_id) {
  std::optional<ControlId> control = ControlOf(control_id);
  if (!control || Row(*control).kind != ControlKind::kPageControl) return;
  auto selected = static_cast<int>(::SendMessageW(Control(*control), TCM_GETCURSEL, 0, 0));
  tabs_.Activate(tabs_.SheetAt(*control, selected));
  SyncPages(*control);
}

void Win32WindowView::FocusNext(bool backwards) {
  HWND focus = ::GetFocus();
  auto at = std::find_if(focus_chain_.begin(), focus_chain_.end(), [&](ControlId id) { return Control(id) == focus; });
  auto size = static_cast<std::ptrdiff_t>(focus_chain_.size());
  std::ptrdiff_t start = at == focus_chain_.end() ? (backwards ? 0 : -1) : at - focus_chain_.begin();
  for (std::ptrdiff_t step = 1; step <= size; ++step) {
    std::ptrdiff_t next = ((start + (backwards ? -step : step)) % size + size) % size;
    HWND candidate = Control(focus_chain_[static_cast<size_t>(next)]);
    if (::IsWindowVisible(candidate) && ::IsWindowEnabled(candidate)) {
      // As the dialog moves the focus: an edit's text is selected.
      ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(candidate), TRUE);
      return;
    }
  }
}

void Win32WindowView::SelectNextPage(bool backwards) {
  for (const ControlSpec& row : rows_) {
    if (row.kind != ControlKind::kPageControl) continue;
    HWND tabs = Control(row.id);
    auto count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    if (count == 0) continue;
    int selected = tabs_.TabIndex(tabs_.Active(row.id));
    tabs_.Activate(tabs_.SheetAt(row.id, (selected + (backwards ? count - 1 : 1)) % count));
    SyncPages(row.id);
  }
}

bool Win32WindowView::PreTranslateMessage(MSG& message) {
  if (closed_ || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) return false;
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
    bool backwards = ::GetKeyState(VK_SHIFT) < 0;
    if (::GetKeyState(VK_CONTROL) < 0) {
      SelectNextPage(backwards);
    } else {
      FocusNext(backwards);
    }
    return true;
  }
  if (!::IsDialogMessageW(window_, &message)) return false;
  // An arrow passes over the labels that stand among the controls that take
  // the focus, as it did when they all stood first; Wine's dialog manager
  // would stop on one.
  const bool arrow = message.message == WM_KEYDOWN && message.wParam >= VK_LEFT && message.wParam <= VK_DOWN;
  for (size_t step = 0; arrow && step < rows_.size() && IsLabel(::GetFocus()); ++step) {
    MSG again = message;
    again.hwnd = ::GetFocus();
    ::IsDialogMessageW(window_, &again);
  }
  return true;
}

}  // namespace tarn
