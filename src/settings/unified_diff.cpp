#include "settings/unified_diff.h"

#include <algorithm>

namespace tarn {

namespace {

constexpr size_t kContext = 3;

enum class Edit : char { kKeep = ' ', kRemove = '-', kAdd = '+' };

// A shortest edit script, by Myers' algorithm: its time and memory grow
// with the number of edits, which a load keeps small, rather than with the
// product of the two lengths.
std::vector<Edit> ShortestEdits(std::span<const std::string> a, std::span<const std::string> b) {
  const auto n = static_cast<long>(a.size()), m = static_cast<long>(b.size());
  const long offset = n + m + 1;
  std::vector<long> reach(2 * offset + 1, 0);  // the furthest x on each diagonal k = x - y
  std::vector<std::vector<long>> rounds;       // `reach` for diagonals -d..d before round d
  // Whether the path to diagonal k in round d comes down from diagonal
  // k + 1 (an addition) rather than across from k - 1 (a removal).
  auto from_above = [](const auto& reach_at, long k, long d) {
    return k == -d || (k != d && reach_at(k - 1) < reach_at(k + 1));
  };
  auto now = [&](long k) { return reach[offset + k]; };
  for (long d = 0;; ++d) {
    rounds.emplace_back(reach.begin() + offset - d, reach.begin() + offset + d + 1);
    bool done = false;
    for (long k = -d; k <= d && !done; k += 2) {
      long x = from_above(now, k, d) ? now(k + 1) : now(k - 1) + 1;
      long y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      reach[offset + k] = x;
      done = x >= n && y >= m;
    }
    if (done) break;
  }
  std::vector<Edit> edits;
  long x = n, y = m;
  for (long d = static_cast<long>(rounds.size()) - 1; d >= 0; --d) {
    auto before = [&](long k) { return rounds[d][k + d]; };
    long k = x - y;
    long previous_k = d == 0 ? 0 : (from_above(before, k, d) ? k + 1 : k - 1);
    long previous_x = d == 0 ? 0 : before(previous_k);
    long previous_y = previous_x - previous_k;
    while (x > previous_x && y > previous_y) edits.push_back(Edit::kKeep), --x, --y;
    if (d > 0) edits.push_back(x == previous_x ? Edit::kAdd : Edit::kRemove);
    x = previous_x, y = previous_y;
  }
  std::reverse(edits.begin(), edits.end());
  return edits;
}

std::string Range(size_t start, size_t count) {
  // An empty range names the line before it, as diff does.
  return std::to_string(count == 0 ? start : start + 1) + (count == 1 ? "" : "," + std::to_string(count));
}

}  // namespace

std::vector<std::string> UnifiedDiffHunks(std::span<const std::string> before, std::span<const std::string> after) {
  std::vector<Edit> edits = ShortestEdits(before, after);
  std::vector<size_t> changes;
  for (size_t j = 0; j < edits.size(); ++j) {
    if (edits[j] != Edit::kKeep) changes.push_back(j);
  }
  std::vector<std::string> lines;
  size_t at = 0, a = 0, b = 0;  // an edit, and the lines of `before` and `after` before it
  for (size_t first = 0, last; first < changes.size(); first = last + 1) {
    // One hunk holds the changes that lie no more than two contexts apart.
    for (last = first; last + 1 < changes.size() && changes[last + 1] - changes[last] <= 2 * kContext + 1;) ++last;
    size_t start = changes[first] - std::min(kContext, changes[first]);
    size_t end = std::min(edits.size(), changes[last] + 1 + kContext);
    for (; at < start; ++at) a += edits[at] != Edit::kAdd, b += edits[at] != Edit::kRemove;
    size_t header = lines.size(), a_count = 0, b_count = 0;
    lines.emplace_back();
    for (; at < end; ++at) {
      const std::string& text = edits[at] == Edit::kAdd ? after[b + b_count] : before[a + a_count];
      lines.push_back(static_cast<char>(edits[at]) + text);
      a_count += edits[at] != Edit::kAdd, b_count += edits[at] != Edit::kRemove;
    }
    lines[header] = "@@ -" + Range(a, a_count) + " +" + Range(b, b_count) + " @@";
    a += a_count, b += b_count;
  }
  return lines;
}

}  // namespace tarn
