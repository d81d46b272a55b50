#include "print/DeferredCountDrawings.h"

#include <map>

namespace zd {

int TDeferredCountDrawings::measure(const TEntry& entry) {
  // On a throwaway continuation: measuring must not change the page's canvas.
  TMetafileCanvas probe(entry.before);
  return entry.draw(probe, true);
}

int TDeferredCountDrawings::Draw(std::shared_ptr<TPageInfo> page, TMetafileCanvas& canvas, TDraw draw) {
  TEntry entry{std::move(page), canvas.Position(), {}, std::move(draw)};
  entry.measured = measure(entry);
  entry.drawn = entry.draw(canvas, false);
  entry.after = canvas.Position();
  // The final drawing brings its own bounds.
  canvas.DropBoundsSince(entry.before);
  const int drawn = entry.drawn;
  entries_.push_back(std::move(entry));
  return drawn;
}

bool TDeferredCountDrawings::Redraw() {
  // Entries of a page come in recording order, so their ranges ascend.
  std::map<TPageInfo*, std::vector<TMetafile::TRecordsReplacement>> perPage;
  for (const TEntry& entry : entries_) {
    if (measure(entry) != entry.measured) return false;
    TMetafileCanvas again(entry.before);
    if (entry.draw(again, false) != entry.drawn || !again.Position().SameState(entry.after)) return false;
    perPage[entry.page.get()].push_back({entry.before.BodySize, entry.after.BodySize,
                                         entry.after.Records - entry.before.Records, again.Records(),
                                         again.RecordCount(), again.RecordedBounds()});
  }
  for (auto& [page, replacements] : perPage) page->Data.ReplaceRecords(replacements);
  entries_.clear();
  return true;
}

}  // namespace zd
