// A settings window opened on settings kept in a sandbox, driven through
// the platform's real controls.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "service/quelmont_double.h"
#include "settings/client_cfg.h"
#include "settings/server_cfg.h"
#include "settings/settings_fixture.h"
#include "test_support.h"
#include "ui/form1.h"
#include "ui_test_support.h"
#include "window_driver.h"

namespace tarn::testing {

using namespace form1;

class Form1Test : public SettingsTest {
 protected:
  Form1Test() : working_dir_(sandbox_.Path("work")) {}

  ~Form1Test() override {
    Reset();
    TtarnServerCfg::Release();
    TtarnClientCfg::Release();
  }

  // Loads the settings from `settings_dir_` as the program's start-up does
  // and opens the window, which takes that folder for the executable's.
  void Open(const std::string& service_library = QuelmontDouble::kName) {
    TtarnServerCfg::LoadFrom(settings_dir_);
    TtarnClientCfg::LoadFrom(settings_dir_);
    application_.SetTitle(kApplicationTitle);
    form_ = std::make_unique<TForm1>(application_, Form1Options{settings_dir_, service_library});
    form_->View().Show();
    window_ = DriveWindow(form_->View(), Form1Layout());
  }

  // Closes and destroys the window.
  void Reset() {
    window_.reset();
    form_.reset();
  }

  void OfferServerPage() { WriteFile(sandbox_.Path("work/tarnbroker.exe"), ""); }

  WindowDriver& Window() { return *window_; }
  std::string Text(ControlId control) { return window_->Text(control); }
  bool Checked(ControlId control) { return window_->Checked(control); }
  bool Shown(ControlId control) { return window_->Shown(control); }
  void Click(ControlId control) { window_->Click(control); }
  void Type(ControlId control, const std::string& text) { window_->SetText(control, text); }
  bool WindowOpen() { return window_->Open(); }

  // The messages shown so far, as "title|text|icon" lines.
  std::vector<std::string> Messages() const {
    std::vector<std::string> lines;
    for (const auto& shown : record_.shown) {
      lines.push_back(shown.message.title + "|" + shown.message.text +
                      (shown.message.icon == MessageIcon::kError ? "|error" : ""));
    }
    return lines;
  }

  std::string settings_dir_ = sandbox_.Dir();
  ScopedWorkingDir working_dir_;
  ToolkitRecord record_;
  std::unique_ptr<Toolkit> toolkit_ = MakeRecordingToolkit(record_);
  TApplication application_{*toolkit_};
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<WindowDriver> window_;
};

// The caption's designed part, "Configurações - ", as the window shows it
// (UTF-8).
inline const std::string kCaptionStart = "Configura\xC3\xA7\xC3\xB5" "es - ";

// Windows-1252 texts the tests compare with.
inline const std::string kTitle = kApplicationTitle;
inline const std::string kClosing =
    "As configura\xE7\xF5" "es s\xF3 ter\xE3o efeito se os aplicativos (server ou client) forem reiniciados";

}  // namespace tarn::testing
