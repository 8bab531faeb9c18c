#include "platform/portable/ini_file.h"

#include "platform/portable/int_text.h"

namespace tarn {

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  return ReadProfileValue(section, key, fallback, file_name_);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
  return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return StrToBoolDef(ReadString(section, key, ""), fallback);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  pending_.push_back({std::string(section), std::string(key), std::string(value)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, BoolToStr(value));
}

void TIniFile::UpdateFile() {
  if (!pending_.empty()) WriteProfileValues(file_name_, pending_);
  pending_.clear();
  FlushPrivateProfile(file_name_);
}

}  // namespace tarn
