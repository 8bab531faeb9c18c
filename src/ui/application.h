// TApplication: the program's application object on top of the toolkit. Its
// title heads every message box the program shows, and it reports the
// errors that leave an event handler.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "ui/toolkit.h"

namespace tarn {

// The application title, Windows-1252 text.
inline constexpr char kApplicationTitle[] = "Configura\xE7\xE3o de ambiente TARN";

class TApplication final {
 public:
  explicit TApplication(Toolkit& toolkit) : toolkit_(toolkit) {}

  Toolkit& GetToolkit() const { return toolkit_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // A plain message with an OK button, titled with the application title.
  void ShowMessage(std::string_view text) const;
  // A question with Sim and Não, titled with the application title; true
  // for Sim.
  bool Ask(std::string_view text) const;
  // An error that left an event handler: its message, with a full stop
  // added by the usual rule, under the error icon.
  void ShowException(const std::exception_ptr& error) const;

 private:
  Toolkit& toolkit_;
  std::string title_;
};

}  // namespace tarn
