#pragma once
// Prepared pages and the store that holds them.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/emf/Metafile.h"

namespace zd {

// One prepared page: its geometry and its drawing.
class TPageInfo {
 public:
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }
  // The metafile takes the same size, so it plays back paper-sized.
  void SetPageWidth(int w) { pageWidth_ = w; Data.SetWidth(w); }
  void SetPageHeight(int h) { pageHeight_ = h; Data.SetHeight(h); }

  int intNumPage = 0;  // page index within its bar, from 0
  int intNumBar = 0;   // bar index, from 0
  int OffsetLeft = 0, OffsetRight = 0, OffsetTop = 0, OffsetBottom = 0;
  TMetafile Data;

 private:
  int pageWidth_ = 0, pageHeight_ = 0;
};

// Prepared pages in the order they were made. Pages are shared: a store
// that joins other components' pages holds the same objects as theirs, and
// a page lives as long as any store holds it.
// Lookups and maxima are kept as pages arrive, since reports ask for them on
// every printed band; after pages were renumbered, Reindex takes the new
// numbers.
class TPageStore {
 public:
  int Count() const { return int(pages_.size()); }
  const TPageInfo& At(int i) const { return *pages_.at(size_t(i)); }
  const std::shared_ptr<TPageInfo>& Shared(int i) const { return pages_.at(size_t(i)); }
  TPageInfo& Add(std::shared_ptr<TPageInfo> page);
  // First page with this page and bar index; nullptr when none.
  TPageInfo* Find(int page, int bar) const;
  int MaxPageIndex() const { return maxPage_; }  // -1 when empty
  int MaxBarIndex() const { return maxBar_; }    // -1 when empty
  // Rebuilds lookups and maxima from the pages' current indexes.
  void Reindex();
  void Clear();

 private:
  static uint64_t key(int page, int bar) { return (uint64_t(uint32_t(page)) << 32) | uint32_t(bar); }
  void index(TPageInfo& page);
  std::vector<std::shared_ptr<TPageInfo>> pages_;
  std::unordered_map<uint64_t, TPageInfo*> byIndex_;
  int maxPage_ = -1, maxBar_ = -1;
};

}  // namespace zd
