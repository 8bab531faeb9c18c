// Splitting paths at the platform's separator, and the name of the
// temporary file that replaces a file.
#include <cstdio>

#include "platform/file_system.h"

namespace tarn {

std::string ExeDir() { return ExtractFilePath(ExePath()); }

std::string ExtractFilePath(std::string_view path) {
  size_t slash = path.find_last_of(kPathDelimiters);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FolderOf(std::string_view path) {
  std::string folder = ExtractFilePath(path);
  return folder.empty() ? "." : folder;
}

std::string ExtractFileName(std::string_view path) {
  size_t slash = path.find_last_of(kPathDelimiters);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

// The longest name of one folder entry: 255 bytes on Linux, 255 UTF-16 units
// on Windows, where a UTF-8 name never has fewer bytes than units.
constexpr size_t kNameLimit = 255;
constexpr std::string_view kTemporarySuffix = ".tmp";

uint64_t NameHash(std::string_view name) {
  uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
  return hash;
}

}  // namespace

std::string TemporaryFileFor(std::string_view path) {
  std::string name = ExtractFileName(path);
  if (1 + name.size() + kTemporarySuffix.size() > kNameLimit) {
    // A long name keeps its start and gains a hash of the whole, so that the
    // temporary name still fits and still belongs to this file alone.
    char hash[18];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(NameHash(name)));
    size_t keep = kNameLimit - 1 - (sizeof hash - 1) - kTemporarySuffix.size();
    // Never cut a UTF-8 character in two: Windows could not convert the rest.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    name = name.substr(0, keep) + hash;
  }
  return ExtractFilePath(path) + "." + name + std::string(kTemporarySuffix);
}

}  // namespace tarn
