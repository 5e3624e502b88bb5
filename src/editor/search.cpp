#include "editor/search.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

inline uint8_t Fold(uint8_t b) {
  return (b >= 0x41 && b <= 0x5A) ? static_cast<uint8_t>(b + 0x20) : b;
}

} // namespace

int64_t SearchBytes(const uint8_t* data, int64_t size, std::string_view pattern, bool exactCase,
                    int64_t limit, int64_t from, bool forward) {
  const int64_t m = static_cast<int64_t>(pattern.size());
  if (m == 0 || size < m || data == nullptr) return -1;
  std::vector<uint8_t> pat(pattern.begin(), pattern.end());
  if (!exactCase)
    for (auto& b : pat)
      b = Fold(b);
  auto at = [&](int64_t i) { return exactCase ? data[i] : Fold(data[i]); };
  std::array<int64_t, 256> shift;
  shift.fill(m);

  if (forward) {
    for (int64_t i = 1; i <= m - 1; ++i)
      shift[pat[static_cast<size_t>(i - 1)]] = m - i;
    int64_t start = std::max<int64_t>(from + 1, 0);
    int64_t last = start + m - 1;
    const int64_t lim = std::min(limit, size - 1);
    while (last <= lim) {
      int64_t k = m - 1;
      while (k >= 0 && at(last - (m - 1 - k)) == pat[static_cast<size_t>(k)])
        --k;
      if (k < 0) return last - m + 1;
      last += shift[at(last)];
    }
    return -1;
  }

  for (int64_t i = m; i >= 2; --i)
    shift[pat[static_cast<size_t>(i - 1)]] = i - 1;
  // Positions whose window would not fit cannot match; start at the last that fits.
  int64_t pos = std::min(std::max<int64_t>(from - 1, 0), size - m);
  const int64_t lim = std::max<int64_t>(limit, 0);
  while (pos >= lim) {
    int64_t k = 0;
    while (k < m && at(pos + k) == pat[static_cast<size_t>(k)])
      ++k;
    if (k == m) return pos;
    pos -= shift[at(pos)];
  }
  return -1;
}
