// The registry over the platform's own HKEY_CURRENT_USER. Each operation
// opens the current key afresh and closes it again, so a TRegistry holds no
// handle between calls.
#include <string>

#include <windows.h>

#include "platform/portable/exceptions.h"
#include "platform/registry.h"
#include "platform/portable/registry_path.h"

namespace tarn {

namespace {

class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool Open(const std::string& path, REGSAM access) {
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
  }
  bool Create(const std::string& path, REGSAM access) {
    return ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                             &key_, nullptr) == ERROR_SUCCESS;
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

REGSAM AccessRights(RegAccess access) { return access == RegAccess::kRead ? KEY_READ : KEY_ALL_ACCESS; }

ERegistryException SetDataError(std::string_view name) {
  return ERegistryException("Failed to set data for '" + std::string(name) + "'");
}

void SetValue(const std::string& path, RegAccess access, std::string_view name, DWORD type, const void* data,
              size_t size) {
  Key key;
  if (access != RegAccess::kAll || !key.Open(path, KEY_SET_VALUE) ||
      ::RegSetValueExA(key.Get(), std::string(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                       static_cast<DWORD>(size)) != ERROR_SUCCESS) {
    throw SetDataError(name);
  }
}

}  // namespace

bool TRegistry::KeyExists(std::string_view key) const {
  std::string path = NormalizeRegPath(key);
  Key found;
  return path.empty() || found.Open(path, KEY_READ);
}

bool TRegistry::OpenKey(std::string_view key, bool can_create) {
  std::string path = NormalizeRegPath(key);
  Key opened;
  bool exists = path.empty() || opened.Open(path, AccessRights(access_)) ||
                (can_create && access_ == RegAccess::kAll && opened.Create(path, KEY_ALL_ACCESS));
  current_ = exists ? path : std::string();
  open_ = exists;
  return exists;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) { return OpenKey(key, false); }

bool TRegistry::ValueExists(std::string_view name) const {
  Key key;
  return open_ && key.Open(current_, KEY_QUERY_VALUE) &&
         ::RegQueryValueExA(key.Get(), std::string(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(std::string_view name) const { return ReadStringValue(name).value_or(""); }

std::optional<std::string> TRegistry::ReadStringValue(std::string_view name) const {
  Key key;
  if (!open_ || !key.Open(current_, KEY_QUERY_VALUE)) return std::nullopt;
  std::string value_name(name);
  std::string data;
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    LSTATUS status = ::RegQueryValueExA(key.Get(), value_name.c_str(), nullptr, &type,
                                        data.empty() ? nullptr : reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) throw RegistryTypeError(value_name);
    if (status == ERROR_SUCCESS && !data.empty()) {
      data.resize(size);
      break;
    }
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
      throw ERegistryException("Failed to get data for '" + value_name + "'");
    }
    // Asked for the size first; the value may grow between the two calls.
    data.resize(size + 1);
  }
  // The stored text may or may not carry its terminating NUL; the text ends
  // at the first one.
  data.resize(std::char_traits<char>::length(data.c_str()));
  return data;
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  std::string text(value);
  if (!open_) throw SetDataError(name);
  SetValue(current_, access_, name, REG_SZ, text.c_str(), text.size() + 1);
}

void TRegistry::WriteInteger(std::string_view name, uint32_t value) {
  if (!open_) throw SetDataError(name);
  DWORD data = value;
  SetValue(current_, access_, name, REG_DWORD, &data, sizeof data);
}

std::vector<std::string> TRegistry::GetKeyNames() const {
  std::vector<std::string> names;
  Key key;
  if (!open_ || (!current_.empty() && !key.Open(current_, KEY_ENUMERATE_SUB_KEYS))) return names;
  HKEY parent = current_.empty() ? HKEY_CURRENT_USER : key.Get();
  char name[256];  // a key name holds at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    LSTATUS status = ::RegEnumKeyExA(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool TRegistry::DeleteKey(std::string_view key) {
  std::string path = NormalizeRegPath(key);
  if (path.empty() || access_ != RegAccess::kAll) return false;
  TRegistry child(access_);
  if (!child.OpenKey(path, false)) return false;
  std::vector<std::string> names = child.GetKeyNames();
  for (size_t i = names.size(); i-- > 0;) DeleteKey(path + "\\" + names[i]);
  return ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace tarn
