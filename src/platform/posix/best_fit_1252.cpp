#include "platform/posix/best_fit_1252.h"

#include <algorithm>
#include <iterator>

namespace tarn {

namespace {

struct BestFit {
  char16_t unit;
  unsigned char byte;
};

constexpr BestFit kBestFit[] = {
#include "platform/posix/best_fit_1252.inc"
};

constexpr bool ByUnit(const BestFit& a, const BestFit& b) { return a.unit < b.unit; }
static_assert(std::is_sorted(std::begin(kBestFit), std::end(kBestFit), ByUnit));

}  // namespace

char BestFit1252(char16_t unit) {
  const BestFit* found = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), BestFit{unit, 0}, ByUnit);
  return found != std::end(kBestFit) && found->unit == unit ? static_cast<char>(found->byte) : '?';
}

}  // namespace tarn
