// TIniFile: one profile file read and written key by key through the
// profile functions, with integer and boolean text. Releasing it flushes
// the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

class TIniFile final {
 public:
  explicit TIniFile(std::string file_name) : file_name_(std::move(file_name)) {}
  ~TIniFile() { FlushPrivateProfileQuietly(); }
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Each raises EIniFileException ("Unable to write to <file>") on failure.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  void UpdateFile();

 private:
  void FlushPrivateProfileQuietly() noexcept;
  std::string file_name_;
};

}  // namespace tarn
