// Switches the process to a locale whose decimal separator is a comma for
// the life of the object, building one with localedef in a temporary
// directory when none is installed. Active() is false when neither works.
#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace tarn::testing {

class CommaLocale {
 public:
  CommaLocale() : old_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "pt_BR.UTF-8", "fr_FR.UTF-8"}) {
      if (Use(name)) return;
    }
    std::string command = "localedef -i de_DE -f UTF-8 \"" + dir_.Path("de_DE.UTF-8") + "\" >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return;
    ScopedEnv locpath("LOCPATH", dir_.Dir());
    Use("de_DE.UTF-8");
  }
  ~CommaLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const { return active_; }

 private:
  bool Use(const char* name) {
    active_ = std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',';
    if (!active_) std::setlocale(LC_ALL, old_.c_str());
    return active_;
  }

  std::string old_;
  TempDir dir_;
  bool active_ = false;
};

}  // namespace tarn::testing
