#include "expr/PageRange.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>
#include <vector>

namespace zd {

namespace {

// Collects selected pages as intervals so that overlapping ranges cost nothing
// extra; they are merged once at the end.
class TPageIntervals {
 public:
  explicit TPageIntervals(int64_t maxPages) : max_(maxPages) {}

  void Add(int64_t first, int64_t last) {
    first = std::max<int64_t>(first, 1);
    last = std::min(last, max_);
    if (first <= last) intervals_.emplace_back(first, last);
  }

  void WriteTo(TStrings& list) {
    std::sort(intervals_.begin(), intervals_.end());
    int64_t next = 1;  // lowest page not written yet
    for (const auto& [first, last] : intervals_) {
      for (int64_t p = std::max(first, next); p <= last; ++p) list.Add(std::to_string(p));
      next = std::max(next, last + 1);
    }
  }

 private:
  int64_t max_;
  std::vector<std::pair<int64_t, int64_t>> intervals_;
};

}  // namespace

void GetValidPages(const std::string& s, TStrings& list, int maxPages) {
  list.Clear();
  if (maxPages <= 0) return;
  // Saturates above any page that can exist, so that long digit runs neither
  // overflow nor change the result.
  const int64_t beyond = int64_t(maxPages) + 1;
  TPageIntervals pages(maxPages);
  bool inNumber = false, rangeOpen = false, haveStart = false;
  int64_t number = 0, start = 0;

  auto endNumber = [&] {
    pages.Add(number, number);
    if (rangeOpen) {
      pages.Add(start, number - 1);
      rangeOpen = haveStart = false;
    } else {
      start = number + 1;
      haveStart = true;
    }
    inNumber = false;
    number = 0;
  };

  for (char c : s) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      number = std::min(number * 10 + (c - '0'), beyond);
      inNumber = true;
      continue;
    }
    if (inNumber) endNumber();
    if (c == '-' && haveStart) rangeOpen = true;
  }
  if (inNumber) endNumber();
  pages.WriteTo(list);
}

}  // namespace zd
