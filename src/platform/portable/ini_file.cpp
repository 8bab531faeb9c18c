#include "platform/portable/ini_file.h"

#include "platform/portable/int_text.h"
#include "platform/portable/profile_file.h"

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
  WriteProfileValue(section, key, value, file_name_);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, BoolToStr(value));
}

void TIniFile::UpdateFile() { FlushPrivateProfile(file_name_); }

void TIniFile::FlushPrivateProfileQuietly() noexcept {
  try {
    FlushPrivateProfile(file_name_);
  } catch (...) {
    // A destructor must not throw; an explicit UpdateFile reports failures.
  }
}

}  // namespace tarn
