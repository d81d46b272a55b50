#pragma once
// "Page N of M" needs M before the first page is finished. Instead of
// preparing the report twice, the drawings that show a count are recorded
// with the count so far, remembered with the canvas position they were
// recorded at, and recorded again in place once the count is known.
#include <functional>
#include <memory>
#include <vector>

#include "host/emf/Metafile.h"
#include "print/PageStore.h"

namespace zd {

class TDeferredCountDrawings {
 public:
  // Draws with the count as it stands when called; returns the drawn height.
  using TDraw = std::function<int(TCanvas& canvas, bool measuring)>;

  // Draws on `canvas`, which records `page`, and remembers how to draw
  // again; returns the drawn height.
  int Draw(std::shared_ptr<TPageInfo> page, TMetafileCanvas& canvas, TDraw draw);
  // Draws everything again in place on the pages of `pages` (call once the
  // count is final).
  // Returns false, changing no page, when a drawing would come out other
  // than the one it replaces in height or in the canvas state it leaves
  // (a longer count that wraps, say): then only a second preparation
  // makes the right pages.
  bool Redraw(TPageStore& pages);
  bool Empty() const { return entries_.empty(); }
  void Clear() { entries_.clear(); }

 private:
  struct TEntry {
    std::shared_ptr<TPageInfo> page;
    TMetafileCanvas::TPosition before, after;
    TDraw draw;
    int measured = 0, drawn = 0;
  };
  static int measure(const TEntry& entry);
  std::vector<TEntry> entries_;
};

}  // namespace zd
