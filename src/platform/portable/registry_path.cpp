#include "platform/portable/registry_path.h"

namespace tarn {

std::string NormalizeRegPath(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace tarn
