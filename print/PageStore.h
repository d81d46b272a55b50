#pragma once
// Prepared pages and the store that holds them.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "host/emf/Metafile.h"
#include "print/PageSpillFile.h"

namespace zd {

// One prepared page: its geometry and numbers, always in memory, and its
// drawing, in memory or spilled to a temporary file.
class TPageInfo {
 public:
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }
  // The metafile takes the same size, so it plays back paper-sized.
  void SetPageWidth(int w);
  void SetPageHeight(int h);

  int intNumPage = 0;  // page index within its bar, from 0
  int intNumBar = 0;   // bar index, from 0
  int OffsetLeft = 0, OffsetRight = 0, OffsetTop = 0, OffsetBottom = 0;

  // The page's own drawing while in memory; once spilled, a copy read back
  // from the file on every call, so that only the pages in use take memory
  // (EPageSpillError when the file no longer holds what was written).
  std::shared_ptr<const TMetafile> Drawing() const;
  // Replaces the drawing; it stays in memory until a store spills it.
  void SetDrawing(TMetafile drawing);
  // The metafile a canvas records this page into, in memory from now on.
  TMetafile& RecordingTarget();
  // Puts other records in place of some of the drawing's (see
  // TMetafile::ReplaceRecords). A spilled drawing stays in the file: the
  // replacements wait in memory and apply whenever it is read back.
  void ReplaceRecords(std::vector<TMetafile::TRecordsReplacement> replacements);
  // Bytes the drawing holds in memory: 0 once spilled.
  std::size_t ResidentBytes() const { return drawing_ ? drawing_->Bytes().size() : 0; }
  // Moves the pages' drawings to the file, in one batch. The file lives as
  // long as a page spilled to it, whichever store holds the page.
  static void SpillTo(const std::vector<TPageInfo*>& pages, const std::shared_ptr<TPageSpillFile>& file);
  // The same page under other numbers, for a document that joins other
  // components' pages: the drawing, in memory or spilled, is shared, not
  // copied, and this page keeps its own numbers.
  std::shared_ptr<TPageInfo> Renumbered(int page, int bar) const;

 private:
  int pageWidth_ = 0, pageHeight_ = 0;
  std::shared_ptr<TMetafile> drawing_ = std::make_shared<TMetafile>();  // null while spilled
  std::shared_ptr<TPageSpillFile> spillFile_;
  std::shared_ptr<const TPageSpillFile::TTicket> spilled_;
  // A size set after the drawing was spilled, given to it when read back.
  std::optional<int> spilledWidth_, spilledHeight_;
  // Batches of replacements for the spilled drawing, in the order made.
  std::vector<std::vector<TMetafile::TRecordsReplacement>> pendingReplacements_;

  TMetafile readBack() const;
};

// Prepared pages in the order they were made. Pages are shared: a store
// that joins other components' pages holds renumbered pages over the same
// drawings (TPageInfo::Renumbered), and a drawing lives as long as any
// store holds a page of it.
// Lookups and maxima are kept as pages arrive, since reports ask for them on
// every printed band.
// Memory stays bounded: once the drawings of finished pages exceed the
// limit, the oldest are spilled to one temporary file per store, a
// sixteenth of the limit at a time, so that its writer thread wakes once per
// batch rather than once per page. The page still being recorded is never
// spilled.
class TPageStore {
 public:
  static constexpr std::size_t kDefaultMemoryLimit = std::size_t(64) << 20;

  TPageStore() = default;
  // Stores share pages through Add; a copy would also take over the page
  // being recorded and the count of resident drawings.
  TPageStore(const TPageStore&) = delete;
  TPageStore& operator=(const TPageStore&) = delete;
  TPageStore(TPageStore&&) = default;
  TPageStore& operator=(TPageStore&&) = default;

  int Count() const { return int(pages_.size()); }
  const TPageInfo& At(int i) const { return *pages_.at(size_t(i)); }
  const std::shared_ptr<TPageInfo>& Shared(int i) const { return pages_.at(size_t(i)); }
  // Appends a finished page.
  TPageInfo& Add(std::shared_ptr<TPageInfo> page);
  // Appends a page about to be recorded: it counts as finished, and may be
  // spilled, only after EndRecording.
  TPageInfo& AddRecording(std::shared_ptr<TPageInfo> page);
  void EndRecording();
  // First page with this page and bar index; nullptr when none.
  TPageInfo* Find(int page, int bar) const;
  int MaxPageIndex() const { return maxPage_; }  // -1 when empty
  int MaxBarIndex() const { return maxBar_; }    // -1 when empty
  // Replaces records of a finished page of this store; a page in memory is
  // counted (and spilled) again like a page just finished.
  void ReplaceRecords(TPageInfo& page, std::vector<TMetafile::TRecordsReplacement> replacements);
  void Clear();

  // Bytes of finished pages' drawings kept in memory; 0 keeps them all.
  std::size_t MemoryLimit() const { return memoryLimit_; }
  void SetMemoryLimit(std::size_t bytes);

 private:
  struct TResident {
    TPageInfo* page;
    std::size_t bytes;
  };
  static uint64_t key(int page, int bar) { return (uint64_t(uint32_t(page)) << 32) | uint32_t(bar); }
  TPageInfo& append(std::shared_ptr<TPageInfo> page);
  void index(TPageInfo& page);
  void finished(TPageInfo& page);
  void spillOverLimit();

  std::vector<std::shared_ptr<TPageInfo>> pages_;
  std::unordered_map<uint64_t, TPageInfo*> byIndex_;
  int maxPage_ = -1, maxBar_ = -1;

  std::size_t memoryLimit_ = kDefaultMemoryLimit;
  TPageInfo* recording_ = nullptr;
  std::deque<TResident> resident_;  // finished pages' drawings in memory, oldest first
  std::size_t residentBytes_ = 0;
  std::shared_ptr<TPageSpillFile> spillFile_;  // made at the first spill
};

}  // namespace zd
