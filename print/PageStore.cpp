#include "print/PageStore.h"

#include <algorithm>
#include <stdexcept>

namespace zd {

TPageInfo& TPageStore::Add(std::shared_ptr<TPageInfo> page) {
  if (!page) throw std::invalid_argument("TPageStore::Add: no page");
  TPageInfo& added = *page;
  pages_.push_back(std::move(page));
  index(added);
  return added;
}

void TPageStore::index(TPageInfo& page) {
  byIndex_.try_emplace(key(page.intNumPage, page.intNumBar), &page);  // the first one counts
  maxPage_ = std::max(maxPage_, page.intNumPage);
  maxBar_ = std::max(maxBar_, page.intNumBar);
}

TPageInfo* TPageStore::Find(int page, int bar) const {
  auto it = byIndex_.find(key(page, bar));
  return it == byIndex_.end() ? nullptr : it->second;
}

void TPageStore::Reindex() {
  byIndex_.clear();
  maxPage_ = maxBar_ = -1;
  for (const auto& page : pages_) index(*page);
}

void TPageStore::Clear() {
  pages_.clear();
  byIndex_.clear();
  maxPage_ = maxBar_ = -1;
}

}  // namespace zd
