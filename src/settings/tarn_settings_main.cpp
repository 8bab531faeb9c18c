// tarn-settings: shows administrators what the environment will read.
//
//   tarn-settings                              every loaded value, SECTION.key=value
//   tarn-settings get FILE SECTION KEY [DEFAULT]  one profile value as read
//   tarn-settings set FILE SECTION KEY VALUE      writes one profile value
//
// The loads read from beside this executable and from the current user's
// registry, as the settings tool does.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/portable/command_line.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"
#include "settings/client_cfg.h"
#include "settings/counter_range.h"
#include "settings/server_cfg.h"

namespace {

void PrintSection(const char* section, std::string_view key, const std::string& text) {
  std::printf("%s.%.*s=%s\n", section, static_cast<int>(key.size()), key.data(), text.c_str());
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
  if (auto answered = tarn::AnswerHelpOrVersion(kUsage, argc, argv)) return *answered;
  try {
    if (argc == 1) return PrintLoadedValues();
    std::string_view command = argv[1];
    if (command == "get" && (argc == 5 || argc == 6)) {
      std::string value = tarn::ReadProfileValue(argv[3], argv[4], argc == 6 ? argv[5] : "", argv[2]);
      std::printf("%s\n", value.c_str());
      return 0;
    }
    if (command == "set" && argc == 6) {
      tarn::WriteProfileValue(argv[3], argv[4], argv[5], argv[2]);
      tarn::FlushPrivateProfile(argv[2]);
      return 0;
    }
    return tarn::WrongCommandLine(kUsage);
  } catch (const tarn::Exception& error) {
    return tarn::ReportFailure(error);
  }
}
