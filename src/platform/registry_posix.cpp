#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/registry_format.h"

namespace tarn {

namespace {

std::string RegistryDir() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = config && *config ? config : std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.config";
  return base + "/tarn";
}

// Holds the hive's lock file locked for the life of the object, so that
// changes by two processes follow one another. Readers take no lock: the
// file is only ever replaced whole, so a read sees one version or the other.
class HiveLock {
 public:
  HiveLock() {
    std::string dir = RegistryDir();
    MakeDirectories(dir);
    fd_ = ::open((dir + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) RaiseLastOSError();
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) RaiseLastOSError();
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;

 private:
  static void MakeDirectories(const std::string& dir) {
    for (size_t slash = dir.find('/', 1); ; slash = dir.find('/', slash + 1)) {
      std::string part = dir.substr(0, slash);
      if (!DirectoryExists(part) && !CreateDir(part) && !DirectoryExists(part)) RaiseLastOSError();
      if (slash == std::string::npos) break;
    }
  }
  int fd_ = -1;
};

RegHive LoadHive() {
  std::string path = RegistryFilePath();
  std::optional<std::string> text = ReadFileBytes(path);
  return text ? ParseRegistryText(*text, path) : RegHive();
}

RegHive ReadHive() { return LoadHive(); }

// Runs `change` on a fresh read of the hive under the exclusive lock and
// saves the result when it returns true.
bool ChangeHive(const std::function<bool(RegHive&)>& change) {
  HiveLock lock;
  RegHive hive = LoadHive();
  if (!change(hive)) return false;
  ReplaceFileAtomically(RegistryFilePath(), FormatRegistryText(hive));
  return true;
}

bool IsDirectChild(const std::string& parent, const std::string& path) {
  if (parent.empty()) return path.find('\\') == std::string::npos;
  return path.size() > parent.size() + 1 && path[parent.size()] == '\\' &&
         !CaseInsensitiveLess()(path.substr(0, parent.size()), parent) &&
         !CaseInsensitiveLess()(parent, path.substr(0, parent.size())) &&
         path.find('\\', parent.size() + 1) == std::string::npos;
}

}  // namespace

std::string RegistryFilePath() { return RegistryDir() + "/registry.reg"; }

bool TRegistry::KeyExists(std::string_view key) const {
  std::string path = NormalizeRegPath(key);
  return path.empty() || ReadHive().contains(path);
}

bool TRegistry::OpenKey(std::string_view key, bool can_create) {
  std::string path = NormalizeRegPath(key);
  bool exists = KeyExists(path);
  if (!exists && can_create && access_ == RegAccess::kAll) {
    // A hive that cannot be written leaves the key missing, as a key the
    // platform refuses to create does.
    try {
      exists = ChangeHive([&](RegHive& hive) {
        EnsureRegKey(hive, path);
        return true;
      });
    } catch (const EOSError&) {
      exists = false;
    }
  }
  current_ = exists ? path : std::string();
  open_ = exists;
  return exists;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) { return OpenKey(key, false); }

bool TRegistry::ValueExists(std::string_view name) const {
  if (!open_) return false;
  RegHive hive = ReadHive();
  auto key = hive.find(current_);
  return key != hive.end() && key->second.Find(name) != nullptr;
}

std::string TRegistry::ReadString(std::string_view name) const { return ReadStringValue(name).value_or(""); }

std::optional<std::string> TRegistry::ReadStringValue(std::string_view name) const {
  if (!open_) return std::nullopt;
  RegHive hive = ReadHive();
  auto key = hive.find(current_);
  const RegValue* value = key == hive.end() ? nullptr : key->second.Find(name);
  if (value == nullptr) return std::nullopt;
  if (value->type == kRegSz) return value->text;
  if (value->type == kRegExpandSz) {
    std::u16string wide;
    for (size_t i = 0; i + 1 < value->bytes.size(); i += 2) {
      char16_t c = static_cast<char16_t>(static_cast<unsigned char>(value->bytes[i]) |
                                         (static_cast<unsigned char>(value->bytes[i + 1]) << 8));
      if (c == 0) break;
      wide += c;
    }
    return WideToAnsi(wide);
  }
  throw RegistryTypeError(std::string(name));
}

namespace {

void StoreValue(const std::string& key_path, RegValue value) {
  ChangeHive([&](RegHive& hive) {
    RegKey& key = EnsureRegKey(hive, key_path);
    if (RegValue* existing = key.Find(value.name)) {
      *existing = std::move(value);
    } else {
      key.values.push_back(std::move(value));
    }
    return true;
  });
}

}  // namespace

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  if (!open_ || access_ != RegAccess::kAll) throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
  StoreValue(current_, RegValue{std::string(name), kRegSz, std::string(value), {}});
}

void TRegistry::WriteInteger(std::string_view name, uint32_t value) {
  if (!open_ || access_ != RegAccess::kAll) throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  StoreValue(current_, RegValue{std::string(name), kRegDword, {}, bytes});
}

std::vector<std::string> TRegistry::GetKeyNames() const {
  std::vector<std::string> names;
  if (!open_) return names;
  for (const auto& [path, key] : ReadHive()) {
    if (IsDirectChild(current_, path)) names.push_back(path.substr(current_.empty() ? 0 : current_.size() + 1));
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
  // A key is removed only once it has no subkeys left, as the platform's
  // own deletion requires.
  return ChangeHive([&](RegHive& hive) {
    auto found = hive.find(path);
    if (found == hive.end()) return false;
    for (const auto& [other, unused] : hive) {
      if (IsDirectChild(path, other)) return false;
    }
    hive.erase(found);
    return true;
  });
}

}  // namespace tarn
