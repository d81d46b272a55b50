#pragma once
// One page-faithful PDF document being written. Each page goes to a
// temporary file once its content is compressed, which happens on another
// thread while the next page is painted, so memory holds two pages at most;
// fonts, patterns, bookmarks, the information and the page tree follow the
// last page, and the finished file is put in place whole.
#include <future>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/Export.h"
#include "export/pdf/detail/PdfPagePainter.h"
#include "export/pdf/detail/PdfPageResources.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/core/WorkerThread.h"

namespace zd {

class TPdfPageDocument {
 public:
  TPdfPageDocument();

  // Page `page` of bar `bar` begins; its records follow.
  void BeginPage(int page, int bar);
  void Paint(const TEmfRecord& record, const TEmfState& state) { painter_.Paint(record, state); }
  // The page ends; its size in page units.
  void EndPage(int width, int height);

  // Writes the rest and puts the document in place as fileName, or on the
  // stream when given. Outline entries of pages not in this document are
  // left out. Throws EPdfError.
  void SaveTo(const std::string& fileName, std::ostream* stream, const TZdProperty& properties,
              const std::vector<TZdqExportOutline>& outlines);

 private:
  struct TPlacedPage {
    int object;
    int height;  // page units
  };

  // A page whose content is being compressed, with what its objects say.
  struct TPendingPage {
    int page, contents, width, height;
    std::string resources;
    std::future<std::string> content;
  };
  void writePending();

  int writeOutlines(const std::vector<TZdqExportOutline>& outlines);
  void writeInfo(const TZdProperty& properties);
  void writePageTree();
  void writeCatalog(int outlines);

  TPdfWriter pdf_;
  TPdfSharedResources shared_;
  TPdfPagePainter painter_;
  std::pair<int, int> current_{0, 0};  // page and bar being painted
  std::vector<int> pages_;             // page objects in order
  std::map<std::pair<int, int>, TPlacedPage> placed_;  // by page and bar
  std::optional<TPendingPage> pending_;
  TWorkerThread compressor_;
};

}  // namespace zd
