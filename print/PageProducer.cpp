#include "print/PageProducer.h"

namespace zd {

void TPageProducer::StepPage(bool isNewBar) {
  if (isNewBar) {
    curBar_ += 1;
    curPage_ = 0;
  } else {
    curPage_ += 1;
  }
}

TPageInfo& TPageProducer::OpenPage(std::shared_ptr<TPageInfo> page, const std::string& description) {
  page->intNumPage = curPage_;
  page->intNumBar = curBar_;
  ClosePage();
  TPageInfo& added = store_.AddRecording(std::move(page));
  curHeight_ = added.OffsetTop;
  maxPageHeight_ = added.PageHeight() - added.OffsetBottom;
  canvas_ = std::make_unique<TMetafileCanvas>(added.RecordingTarget(), "ZdReport", description);
  return added;
}

void TPageProducer::ClosePage() {
  canvas_.reset();  // the metafile receives its bytes here
  store_.EndRecording();
}

void TPageProducer::Discard() {
  canvas_.reset();
  store_.Clear();
  contentPages_ = contentColumn_ = -1;
}

}  // namespace zd
