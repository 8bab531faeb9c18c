// The peer of the settings window's start-up: a bare Win32 dialog with the
// same controls, made from a dialog resource, whose tab control shows one
// page's controls at a time.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

namespace {

constexpr int kTabs = 10;

// Shows the controls of one page (1 or 2) and hides the other's.
void ShowPage(HWND dialog, int page) {
  for (int id = 101; id < 300; ++id) {
    if (HWND control = ::GetDlgItem(dialog, id); control != nullptr && (id / 100 != page) == ::IsWindowVisible(control)) {
      ::ShowWindow(control, id / 100 == page ? SW_SHOWNA : SW_HIDE);
    }
  }
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND tabs = ::GetDlgItem(dialog, kTabs);
      const wchar_t* names[] = {L"Servidor", L"Cliente"};
      for (int i = 0; i < 2; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(names[i]);
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      }
      ::SetWindowTextW(dialog, L"Configura\u00e7\u00f5es");
      ShowPage(dialog, 1);
      return TRUE;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lparam)->code == TCN_SELCHANGE) {
        ShowPage(dialog, static_cast<int>(::SendMessageW(::GetDlgItem(dialog, kTabs), TCM_GETCURSEL, 0, 0)) + 1);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == 301 || LOWORD(wparam) == 302 || LOWORD(wparam) == IDCANCEL) ::EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  return static_cast<int>(::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), nullptr, &Procedure, 0));
}
