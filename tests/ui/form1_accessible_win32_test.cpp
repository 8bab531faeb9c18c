// The settings window as a screen reader on Windows reads it, through MSAA.
// Wine's oleacc differs from Windows' in two ways, checked as Wine behaves:
// it keeps no annotations (its IAccPropServices answers E_NOTIMPL), so there
// Edit4, which its check box names, has no name and nothing has a
// description; and it calls every control but an edit a client area, so
// only the edits' role is read.
#include <windows.h>
// After <windows.h>, which it needs.
#include <oleacc.h>
#include <gtest/gtest.h>

#include <string>

#include "form1_accessible.h"
#include "form1_fixture.h"
#include "platform/win32/wide_text.h"
#include "support/wine.h"
#include "ui/win32/toolkit_win32.h"
#include "ui/win32/window_view_win32.h"

namespace tarn::testing {
namespace {

struct Accessible {
  std::string name, description;
  long role = 0;
};

Accessible Read(HWND window) {
  Accessible read;
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
    ADD_FAILURE() << "no accessible object";
    return read;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (auto [get, text] : {std::pair{&IAccessible::get_accName, &read.name},
                           std::pair{&IAccessible::get_accDescription, &read.description}}) {
    BSTR value = nullptr;
    if ((object->*get)(self, &value) == S_OK && value != nullptr) *text = WideToUtf8(value);
    ::SysFreeString(value);
  }
  VARIANT role{};
  if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) read.role = role.lVal;
  object->Release();
  return read;
}

using Form1AccessibleWin32 = Form1Test;

TEST_F(Form1AccessibleWin32, EveryControlOfBothPagesHasTheNameAndDescriptionOfTheTable) {
  OfferServerPage();
  Open();
  auto& view = static_cast<Win32WindowView&>(form_->View());
  EXPECT_EQ(Read(view.Handle()).name, kCaptionStart + settings_dir_);
  for (const Heard& row : kHeardInForm1) {
    Accessible heard = Read(view.Control(row.control));
    EXPECT_EQ(heard.name, UnderWine() && row.control == Edit4 ? "" : row.name);
    EXPECT_EQ(heard.description, UnderWine() ? "" : row.description) << row.name;
    EXPECT_EQ(heard.role == ROLE_SYSTEM_TEXT, std::string(row.role) == "text") << row.name;
  }
}

// The labels stand among the controls that take the focus; an arrow passes
// over them as before.
TEST_F(Form1AccessibleWin32, AnArrowPassesOverTheLabelBeforeAnEdit) {
  Open();
  Window().Focus(Button3);
  for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
    MSG sent{::GetFocus(), message, VK_DOWN, message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001), 0, {}};
    DispatchWindowMessage(static_cast<Win32WindowView&>(form_->View()), sent);
  }
  EXPECT_EQ(Window().Focused(), Edit8);
}

}  // namespace
}  // namespace tarn::testing
