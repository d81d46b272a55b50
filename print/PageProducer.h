#pragma once
// Page production: the page being recorded, where on it the next output
// goes, and the page, bar and column counters. Every component that makes
// pages (the band engine, quick-print) makes them through this object, so
// they break and number pages alike.
#include <memory>
#include <string>

#include "print/PageStore.h"

namespace zd {

class TPageProducer {
 public:
  explicit TPageProducer(TPageStore& store) : store_(store) {}

  // ---- counters ----
  int intCurPage() const { return curPage_; }  // within the bar, from 0; -1 before the first
  int intCurBar() const { return curBar_; }    // from 0
  // Page -1 of bar 0 before a preparation, so that the first NewPage opens page 0.
  void SetCurrentPage(int page, int bar) { curPage_ = page; curBar_ = bar; }
  // Page 0 of the next bar, or the next page of this bar.
  void StepPage(bool isNewBar);
  int intCurColumn() const { return curColumn_; }
  void SetCurColumn(int column) { curColumn_ = column; }
  int intCurPassNumber() const { return passNumber_; }  // 1 or 2 while preparing
  void SetPassNumber(int pass) { passNumber_ = pass; }
  // The counts of the first of two passes, reported throughout the second.
  int intNumPages() const { return numPages_; }
  int intNumBars() const { return numBars_; }
  void FreezeCounts(int pages, int bars) { numPages_ = pages; numBars_ = bars; }

  // ---- pages ----
  // Appends the page under the current counters and starts recording on it;
  // the previous page's recording ends. The room spans the page between its
  // top and bottom offsets.
  TPageInfo& OpenPage(std::shared_ptr<TPageInfo> page, const std::string& description);
  // Ends the recording of the open page, if any; from then on the store may spill it.
  void ClosePage();
  // Ends any recording and empties the store.
  void Discard();
  TMetafileCanvas* MFCanvas() const { return canvas_.get(); }

  // ---- room on the page ----
  int intCurHeight() const { return curHeight_; }          // where the next output goes
  int intMaxPageHeight() const { return maxPageHeight_; }  // lowest usable y
  int intLastPageHeight() const { return lastPageHeight_; }
  void SetCurHeight(int y) { curHeight_ = y; }
  void SetMaxPageHeight(int y) { maxPageHeight_ = y; }
  void SetLastPageHeight(int height) { lastPageHeight_ = height; }
  void Advance(int height) { curHeight_ += height; }
  bool Fits(int height) const { return curHeight_ + height <= maxPageHeight_; }
  // Marks where the content of the page or column just started begins,
  // below its headers.
  void MarkContentTop() {
    contentTop_ = curHeight_;
    contentPages_ = store_.Count();
    contentColumn_ = curColumn_;
  }
  // Nothing was output since the mark: a page break would not make room.
  bool AtPageTop() const {
    return store_.Count() == contentPages_ && curColumn_ == contentColumn_ && curHeight_ <= contentTop_;
  }

 private:
  TPageStore& store_;
  std::unique_ptr<TMetafileCanvas> canvas_;
  int curPage_ = -1, curBar_ = 0, curColumn_ = 0;
  int passNumber_ = 0;
  int numPages_ = 0, numBars_ = 0;
  int curHeight_ = -1, maxPageHeight_ = 0, lastPageHeight_ = 0;
  int contentTop_ = 0, contentPages_ = -1, contentColumn_ = -1;
};

}  // namespace zd
