// A settings window opened on settings kept in a sandbox, driven through
// its real Qt widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "service/quelmont_double.h"
#include "settings/client_cfg.h"
#include "settings/server_cfg.h"
#include "settings/settings_fixture.h"
#include "test_support.h"
#include "ui/form1.h"
#include "ui/qt/qt_text.h"
#include "ui_test_support.h"

namespace tarn::testing {

class Form1Test : public SettingsTest {
 protected:
  Form1Test() : working_dir_(sandbox_.Path("work")) {}

  ~Form1Test() override {
    form_.reset();
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
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
  }

  void OfferServerPage() { WriteFile(sandbox_.Path("work/tarnbroker.exe"), ""); }

  QWidget& Window() { return QtWindowWidget(form_->View()); }
  QTabWidget& Pages() { return *Find<QTabWidget>("PageControl1"); }

  template <typename Widget>
  Widget* Find(const char* name) {
    auto* widget = Window().findChild<Widget*>(name);
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
  }

  std::string Text(const char* name) {
    QWidget* widget = Find<QWidget>(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQString(edit->text());
    return FromQString(qobject_cast<QAbstractButton*>(widget)->text());
  }
  bool Checked(const char* name) { return Find<QCheckBox>(name)->isChecked(); }
  bool Hidden(const char* name) { return Find<QWidget>(name)->isHidden(); }

  // Brings the control's page to the front and clicks it with the mouse.
  void Click(const char* name) {
    auto* button = Find<QAbstractButton>(name);
    for (int page = 0; page < Pages().count(); ++page) {
      if (Pages().widget(page)->isAncestorOf(button)) Pages().setCurrentIndex(page);
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
  }

  // Replaces an edit's text by typing, as a user would.
  void Type(const char* name, const std::string& text) {
    auto* edit = Find<QLineEdit>(name);
    edit->selectAll();
    if (text.empty()) {
      QTest::keyClick(edit, Qt::Key_Delete);
    } else {
      QTest::keyClicks(edit, ToQString(text));
    }
  }

  // The messages shown so far, as "title|text|icon" lines.
  std::vector<std::string> Messages() const {
    std::vector<std::string> lines;
    for (const auto& shown : toolkit_.shown) {
      lines.push_back(shown.message.title + "|" + shown.message.text +
                      (shown.message.icon == MessageIcon::kError ? "|error" : ""));
    }
    return lines;
  }

  bool WindowOpen() { return Window().isVisible(); }

  std::string settings_dir_ = sandbox_.Dir();
  ScopedWorkingDir working_dir_;
  RecordingToolkit toolkit_;
  TApplication application_{toolkit_};
  std::unique_ptr<TForm1> form_;
};

// Windows-1252 texts the tests compare with.
inline const std::string kTitle = kApplicationTitle;
inline const std::string kClosing =
    "As configura\xE7\xF5" "es s\xF3 ter\xE3o efeito se os aplicativos (server ou client) forem reiniciados";

}  // namespace tarn::testing
