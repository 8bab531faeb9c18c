// TForm1: the settings window. It fills its server and client pages from
// the settings loaded at start-up, writes them back into tarnserver.ini and
// tarnclient.ini on OK, clears the clients' cache of server addresses and,
// when the service-control library is present, starts and stops the
// server's service. It reaches its controls only through the toolkit's
// WindowView, never through a toolkit type.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/portable/ini_file.h"
#include "service/service_library.h"
#include "ui/application.h"
#include "ui/form1_fields.h"
#include "ui/form1_layout.h"
#include "ui/toolkit.h"

namespace tarn {

struct Form1Options {
  // Where tarnserver.ini and tarnclient.ini lie, with the trailing
  // separator: the executable's directory in the program, which the caption
  // shows.
  std::string settings_dir;
  // The service-control library's bare name.
  std::string service_library = kServiceLibraryName;
};

class TForm1 final : public EventTarget {
 public:
  // Builds the window from its layout and runs FormCreate; the window is
  // not shown yet.
  TForm1(TApplication& application, Form1Options options);

  WindowView& View() { return *view_; }

  void FormCreate();
  void LoadClientPage();
  void LoadServerPage();
  void SaveClientPage(TIniFile& file);
  void SaveServerPage(TIniFile& file);

  void Button1Click();  // OK
  void Button2Click();  // Cancelar
  void Button3Click();  // clear the address cache
  void Button4Click();  // start or stop the service
  void CheckBox8Click();
  // Raises the library's text when its last start or stop failed.
  void CheckServiceError();

 private:
  // Runs the control's handler; an error that leaves it is reported by the
  // application and the window stays open.
  void Dispatch(ControlId control);
  void ShowServiceState();
  void ShowCaption();
  // The settings files that OK writes: the client's, and the server's when
  // its page is offered.
  std::vector<std::string> PageFiles() const;
  // Puts the loaded settings into the fields of a page that load `when`.
  void LoadFields(std::span<const PageField> fields, FieldLoad when);
  // Refuses, naming the field, an entry of the page that its stored value
  // cannot hold, before anything is written or changed.
  void ValidateFields(std::span<const PageField> fields) const;

  TApplication& application_;
  Form1Options options_;
  std::unique_ptr<WindowView> view_;
  ServiceLibrary service_;
};

}  // namespace tarn
