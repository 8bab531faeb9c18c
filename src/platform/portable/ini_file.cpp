#include "platform/portable/ini_file.h"

namespace tarn {

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  pending_.push_back({std::string(section), std::string(key), std::string(value)});
}

void TIniFile::UpdateFile() {
  if (!pending_.empty()) WriteProfileValues(file_name_, pending_, PlatformFileOps(), expected_);
  pending_.clear();
  FlushPrivateProfile(file_name_);
}

}  // namespace tarn
