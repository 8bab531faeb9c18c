// tarn-settings: shows administrators what the environment will read.
//
//   tarn-settings                              every loaded value, SECTION.key=value
//   tarn-settings get FILE SECTION KEY [DEFAULT]  one profile value as read
//   tarn-settings set FILE SECTION KEY VALUE      writes one profile value
//
// The loads read from beside this executable and from the current user's
// registry, as the settings tool does.
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/command_line.h"
#include "platform/portable/profile_file.h"
#include "settings/client_cfg.h"
#include "settings/counter_range.h"
#include "settings/server_cfg.h"

namespace {

void PrintSection(const char* section, std::string_view key, const std::string& text) {
  tarn::WriteOutputText(std::string(section) + "." + std::string(key) + "=" + text);
  tarn::WriteOutput("\n");
}

int PrintLoadedValues() {
  tarn::TtarnServerCfg::Load();
  tarn::CounterRangeSettings::Load();
  tarn::TtarnClientCfg::Load();
  tarn::TtarnServerCfg::ForEachValue([](auto key, auto& text) { PrintSection("SERVER", key, text); });
  tarn::CounterRangeSettings::ForEachValue([](auto key, auto& text) { PrintSection("QUORVAN", key, text); });
  tarn::TtarnClientCfg::ForEachValue([](auto key, auto& text) { PrintSection("CLIENT", key, text); });
  return 0;
}

constexpr tarn::ProgramUsage kUsage{
    "tarn-settings",
    "usage: tarn-settings\n"
    "       tarn-settings get FILE SECTION KEY [DEFAULT]\n"
    "       tarn-settings set FILE SECTION KEY VALUE\n",
    "With no arguments, prints every value the settings tool would load, as\n"
    "SECTION.key=value; get prints one value of a profile file as the tool reads\n"
    "it, and set writes one.\n"};

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    if (arguments.empty()) return PrintLoadedValues();
    const std::string& command = arguments[0];
    if (command == "get" && (arguments.size() == 4 || arguments.size() == 5)) {
      std::string fallback = arguments.size() == 5 ? tarn::ArgumentText(arguments[4]) : "";
      tarn::WriteOutputText(tarn::ReadProfileValue(tarn::ArgumentText(arguments[2]), tarn::ArgumentText(arguments[3]),
                                                   fallback, arguments[1]));
      tarn::WriteOutput("\n");
      return 0;
    }
    if (command == "set" && arguments.size() == 5) {
      tarn::WriteProfileValue(tarn::ArgumentText(arguments[2]), tarn::ArgumentText(arguments[3]),
                              tarn::ArgumentText(arguments[4]), arguments[1]);
      tarn::FlushPrivateProfile(arguments[1]);
      return 0;
    }
    return tarn::WrongCommandLine(kUsage);
  });
}
