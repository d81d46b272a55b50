#include "print/DeferredCountDrawings.h"

#include <unordered_map>
#include <utility>

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

bool TDeferredCountDrawings::Redraw(TPageStore& pages) {
  // Per page in the order pages were made; a page's ranges ascend, as its
  // entries were recorded one after the other.
  std::vector<std::pair<TPageInfo*, std::vector<TMetafile::TRecordsReplacement>>> perPage;
  std::unordered_map<const TPageInfo*, size_t> slotOf;
  for (const TEntry& entry : entries_) {
    if (measure(entry) != entry.measured) return false;
    TMetafileCanvas again(entry.before);
    if (entry.draw(again, false) != entry.drawn || !again.Position().SameState(entry.after)) return false;
    const auto [slot, added] = slotOf.try_emplace(entry.page.get(), perPage.size());
    if (added) perPage.push_back({entry.page.get(), {}});
    perPage[slot->second].second.push_back({entry.before.BodySize, entry.after.BodySize,
                                     entry.after.Records - entry.before.Records, again.Records(),
                                     again.RecordCount(), again.RecordedBounds()});
  }
  for (auto& [page, replacements] : perPage) pages.ReplaceRecords(*page, std::move(replacements));
  entries_.clear();
  return true;
}

}  // namespace zd
