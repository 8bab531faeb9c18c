#include <windows.h>
// After <windows.h>, which it needs.
#include <oleacc.h>

#include "ui/win32/accessible_text_win32.h"

namespace tarn {

namespace {

// Runs `use` with the platform's annotation service, when COM offers it.
template <typename Use>
void WithAnnotations(Use use) {
  IAccPropServices* services = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
    return;
  }
  use(*services);
  services->Release();
}

}  // namespace

void SetAccessibleText(HWND control, const std::wstring* name, const std::wstring* description) {
  WithAnnotations([&](IAccPropServices& services) {
    if (name) services.SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name->c_str());
    if (description) {
      services.SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION, description->c_str());
    }
  });
}

void ClearAccessibleText(HWND control) {
  WithAnnotations([&](IAccPropServices& services) {
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    services.ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, properties, 2);
  });
}

}  // namespace tarn
