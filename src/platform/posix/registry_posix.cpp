#include <cstdlib>
#include <functional>

#include "platform/code_page.h"
#include "platform/display_text.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/posix/registry_format.h"

namespace tarn {

namespace {

std::string RegistryDir() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = config && *config ? config : std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.config";
  return base + "/tarn";
}

void MakeDirectories(const std::string& dir) {
  for (size_t slash = dir.find('/', 1); ; slash = dir.find('/', slash + 1)) {
    std::string part = dir.substr(0, slash);
    if (!DirectoryExists(part) && !CreateDir(part) && !DirectoryExists(part)) RaiseLastOSError();
    if (slash == std::string::npos) break;
  }
}

// The hive as this process last read or wrote it, with the identity of the
// file it matches (none when there was no file). An operation parses the
// file again only when its identity, size or modification time has changed,
// so a run of reads costs one parse. The program has one thread.
struct CachedHive {
  std::string path;
  std::optional<FileIdentity> identity;
  RegHive hive;
};
std::optional<CachedHive> cached_hive;

// The hive as the file holds it now. A file that is there but cannot be
// read (a directory, one its user may not read) raises ERegistryException
// naming it.
const RegHive& CurrentHive() {
  std::string path = RegistryFilePath();
  std::optional<FileIdentity> identity;
  std::optional<std::string> text;
  FileIdentity read;
  try {
    identity = IdentifyFile(path);
    if (cached_hive && cached_hive->path == path && cached_hive->identity == identity) return cached_hive->hive;
    cached_hive.reset();
    if (identity) text = ReadFileBytes(path, &read);
  } catch (const EOSError& error) {
    throw ERegistryException("The registry file " + DisplayPath(path) + " cannot be read: " +
                             OSErrorText(error.ErrorCode()));
  }
  RegHive hive = text ? ParseRegistryText(*text, path) : RegHive();
  cached_hive = CachedHive{path, text ? std::optional(read) : std::nullopt, std::move(hive)};
  return cached_hive->hive;
}

// Runs `change` on the current hive under the writers' lock and saves the
// result when it returns true. Readers take no lock: the file is only ever
// replaced whole, so a read sees one version or the other.
bool ChangeHive(const std::function<bool(RegHive&)>& change) {
  MakeDirectories(RegistryDir());
  std::string target = ResolveFileLinks(RegistryFilePath());
  FileWriteLock lock(target);
  CurrentHive();
  // Changed in place: until the file is written the cache matches nothing.
  CachedHive working = std::move(*cached_hive);
  cached_hive.reset();
  if (change(working.hive)) {
    working.identity = ReplaceFileAtomically(target, FormatRegistryText(working.hive));
    cached_hive = std::move(working);
    return true;
  }
  cached_hive = std::move(working);
  return false;
}

}  // namespace

std::string RegistryFilePath() { return RegistryDir() + "/registry.reg"; }

bool TRegistry::KeyExists(std::string_view key) const {
  return CurrentHive().FindKey(key).has_value();
}

bool TRegistry::OpenKey(std::string_view key, bool can_create) {
  std::string path = NormalizeRegPath(key);
  bool exists = KeyExists(path);
  if (!exists && can_create && access_ == RegAccess::kAll) {
    // A hive that cannot be written leaves the key missing, as a key the
    // platform refuses to create does.
    try {
      exists = ChangeHive([&](RegHive& hive) {
        hive.EnsureKey(path);
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
  const RegHive& hive = CurrentHive();
  std::optional<RegHive::KeyId> key = hive.FindKey(current_);
  return key && hive.FindValue(*key, name) != nullptr;
}

std::string TRegistry::ReadString(std::string_view name) const { return ReadStringValue(name).value_or(""); }

std::optional<std::string> TRegistry::ReadStringValue(std::string_view name) const {
  if (!open_) return std::nullopt;
  const RegHive& hive = CurrentHive();
  std::optional<RegHive::KeyId> key = hive.FindKey(current_);
  const RegValue* value = key ? hive.FindValue(*key, name) : nullptr;
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
    hive.SetValue(hive.EnsureKey(key_path), std::move(value));
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
  const RegHive& hive = CurrentHive();
  std::optional<RegHive::KeyId> key = hive.FindKey(current_);
  if (key) {
    for (RegHive::KeyId child : hive.SubKeys(*key)) names.push_back(hive.Name(child));
  }
  return names;
}

// The key and everything below it go in one change of the file.
bool TRegistry::DeleteKey(std::string_view key) {
  std::string path = NormalizeRegPath(key);
  if (path.empty() || access_ != RegAccess::kAll) return false;
  return ChangeHive([&](RegHive& hive) {
    std::optional<RegHive::KeyId> found = hive.FindKey(path);
    if (found) hive.RemoveKey(*found);
    return found.has_value();
  });
}

}  // namespace tarn
