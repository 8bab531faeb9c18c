#include "ui/window_module.h"

#include "platform/file_system.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

bool stored_as_service = false;

}  // namespace

void StartWindowModule() { LoadStoredAsServiceFrom(ExeDir()); }

void ShutdownWindowModule() { stored_as_service = false; }

void LoadStoredAsServiceFrom(const std::string& dir) {
  stored_as_service = false;
  std::string file = SettingsFilePath(dir, "tarnserver.ini");
  if (FileExists(file)) {
    IniSource source(file, "SERVER");
    stored_as_service = source.ReadBool("ASSERVICE", false);
    return;
  }
  TRegistry server(RegAccess::kRead);
  if (!server.OpenKeyReadOnly(std::string(kSettingsKey) + "\\SERVER")) return;
  RegistrySource source(&server);
  stored_as_service = source.ReadBool("ASSERVICE", false);
}

bool StoredAsService() { return stored_as_service; }

}  // namespace tarn
