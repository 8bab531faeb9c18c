// Splitting paths at the platform's separator.
#include "platform/file_system.h"

namespace tarn {

std::string ExeDir() { return ExtractFilePath(ExePath()); }

std::string ExtractFilePath(std::string_view path) {
  size_t slash = path.rfind(kPathDelim);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t slash = path.rfind(kPathDelim);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace tarn
