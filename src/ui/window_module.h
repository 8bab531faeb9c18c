// The window module: the last of the program's modules to start. It reads
// the stored "Serviço do Windows" flag (ASSERVICE) with the other server
// settings at start-up, from the same source: section SERVER of
// tarnserver.ini beside the executable when that file exists, otherwise the
// registry subkey SERVER. The window shows it when it opens, so that OK
// does not silently reset it.
#pragma once

#include <string>

namespace tarn {

void StartWindowModule();
void ShutdownWindowModule();
// Reads from `dir` (with its trailing separator) and the registry.
void LoadStoredAsServiceFrom(const std::string& dir);

// The stored ASSERVICE; false when nothing is stored.
bool StoredAsService();

}  // namespace tarn
