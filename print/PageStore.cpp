#include "print/PageStore.h"

#include <algorithm>
#include <stdexcept>

namespace zd {

// ---- TPageInfo ----

void TPageInfo::SetPageWidth(int w) {
  pageWidth_ = w;
  if (drawing_) drawing_->SetWidth(w);
  else spilledWidth_ = w;
}

void TPageInfo::SetPageHeight(int h) {
  pageHeight_ = h;
  if (drawing_) drawing_->SetHeight(h);
  else spilledHeight_ = h;
}

std::shared_ptr<const TMetafile> TPageInfo::Drawing() const {
  if (drawing_) return drawing_;
  // Still waiting for the writer, and unchanged since: no copy needed.
  const bool changed = spilledWidth_ || spilledHeight_ || !pendingReplacements_.empty();
  if (!changed)
    if (std::shared_ptr<const TMetafile> queued = spillFile_->Queued(*spilled_)) return queued;
  return std::make_shared<const TMetafile>(readBack());
}

TMetafile TPageInfo::readBack() const {
  const std::shared_ptr<const TMetafile> queued = spillFile_->Queued(*spilled_);
  TMetafile drawing = queued ? *queued : spillFile_->Read(*spilled_);
  if (spilledWidth_) drawing.SetWidth(*spilledWidth_);
  if (spilledHeight_) drawing.SetHeight(*spilledHeight_);
  for (const auto& replacements : pendingReplacements_) drawing.ReplaceRecords(replacements);
  return drawing;
}

void TPageInfo::SetDrawing(TMetafile drawing) {
  drawing_ = std::make_shared<TMetafile>(std::move(drawing));
  spillFile_.reset();
  spilled_.reset();
  spilledWidth_.reset();
  spilledHeight_.reset();
  pendingReplacements_.clear();
}

TMetafile& TPageInfo::RecordingTarget() {
  if (!drawing_) SetDrawing(readBack());
  return *drawing_;
}

void TPageInfo::ReplaceRecords(std::vector<TMetafile::TRecordsReplacement> replacements) {
  if (!drawing_) {
    pendingReplacements_.push_back(std::move(replacements));
    return;
  }
  // Copied: whoever holds the drawing from Drawing() keeps what it read.
  TMetafile drawing = *drawing_;
  drawing.ReplaceRecords(replacements);
  SetDrawing(std::move(drawing));
}

// The writer thread compresses and writes the drawings while the report goes on.
void TPageInfo::SpillTo(const std::vector<TPageInfo*>& pages, const std::shared_ptr<TPageSpillFile>& file) {
  std::vector<TPageInfo*> spilling;
  std::vector<std::shared_ptr<const TMetafile>> drawings;
  for (TPageInfo* page : pages)
    if (page->drawing_ && !page->drawing_->Empty()) {
      spilling.push_back(page);
      drawings.push_back(page->drawing_);
    }
  if (spilling.empty()) return;
  const TPageSpillFile::TTickets tickets = file->WriteLater(std::move(drawings));
  for (size_t i = 0; i < spilling.size(); ++i) {
    spilling[i]->spilled_ = tickets[i];
    spilling[i]->spillFile_ = file;
    spilling[i]->drawing_.reset();
  }
}

std::shared_ptr<TPageInfo> TPageInfo::Renumbered(int page, int bar) const {
  // Drawings are never changed in place once finished (SetDrawing and
  // ReplaceRecords make new ones), so both pages may hold the same one.
  auto copy = std::make_shared<TPageInfo>(*this);
  copy->intNumPage = page;
  copy->intNumBar = bar;
  return copy;
}

// ---- TPageStore ----

TPageInfo& TPageStore::Add(std::shared_ptr<TPageInfo> page) {
  TPageInfo& added = append(std::move(page));
  finished(added);
  return added;
}

TPageInfo& TPageStore::AddRecording(std::shared_ptr<TPageInfo> page) {
  EndRecording();
  TPageInfo& added = append(std::move(page));
  recording_ = &added;
  return added;
}

TPageInfo& TPageStore::append(std::shared_ptr<TPageInfo> page) {
  if (!page) throw std::invalid_argument("TPageStore::Add: no page");
  TPageInfo& added = *page;
  pages_.push_back(std::move(page));
  index(added);
  return added;
}

void TPageStore::EndRecording() {
  if (!recording_) return;
  TPageInfo& page = *recording_;
  recording_ = nullptr;
  finished(page);
}

void TPageStore::finished(TPageInfo& page) {
  const std::size_t bytes = page.ResidentBytes();
  if (bytes == 0) return;  // empty, or already spilled by a store sharing it
  resident_.push_back({&page, bytes});
  residentBytes_ += bytes;
  spillOverLimit();
}

void TPageStore::spillOverLimit() {
  if (memoryLimit_ == 0 || residentBytes_ <= memoryLimit_) return;
  const std::size_t lowWater = memoryLimit_ - memoryLimit_ / 16;
  std::vector<TPageInfo*> oldest;
  std::size_t bytes = residentBytes_;
  for (auto page = resident_.begin(); page != resident_.end() && bytes > lowWater; ++page) {
    oldest.push_back(page->page);
    bytes -= page->bytes;
  }
  if (!spillFile_) spillFile_ = std::make_shared<TPageSpillFile>();
  TPageInfo::SpillTo(oldest, spillFile_);
  resident_.erase(resident_.begin(), resident_.begin() + std::ptrdiff_t(oldest.size()));
  residentBytes_ = bytes;
}

void TPageStore::ReplaceRecords(TPageInfo& page, std::vector<TMetafile::TRecordsReplacement> replacements) {
  if (page.ResidentBytes() == 0) {
    page.ReplaceRecords(std::move(replacements));
    return;
  }
  const auto counted = std::find_if(resident_.begin(), resident_.end(),
                                    [&](const TResident& r) { return r.page == &page; });
  if (counted != resident_.end()) {
    residentBytes_ -= counted->bytes;
    resident_.erase(counted);
  }
  page.ReplaceRecords(std::move(replacements));
  finished(page);
}

void TPageStore::SetMemoryLimit(std::size_t bytes) {
  memoryLimit_ = bytes;
  spillOverLimit();
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

void TPageStore::Clear() {
  pages_.clear();
  byIndex_.clear();
  maxPage_ = maxBar_ = -1;
  recording_ = nullptr;
  resident_.clear();
  residentBytes_ = 0;
  spillFile_.reset();
}

}  // namespace zd
