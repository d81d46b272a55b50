#include "print/PreparedReport.h"

#include <functional>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <utility>

#include "host/core/WholeFile.h"
#include "host/ui/UserInterface.h"
#include "print/Language.h"
#include "print/TextIds.h"

namespace zd {

namespace {

// A grid position the store holds no page for is saved as a blank page of
// the same geometry as a real one, so the file keeps the layout readers rely on.
std::unique_ptr<TPageInfo> BlankPageLike(const TPageInfo& model) {
  auto page = std::make_unique<TPageInfo>();
  page->SetPageWidth(model.PageWidth());
  page->SetPageHeight(model.PageHeight());
  page->OffsetLeft = model.OffsetLeft;
  page->OffsetRight = model.OffsetRight;
  page->OffsetTop = model.OffsetTop;
  page->OffsetBottom = model.OffsetBottom;
  TMetafileCanvas(page->RecordingTarget()).Close();
  return page;
}

// Writes a file whole or not at all.
void WriteZqpFile(const std::string& fileName, const std::function<void(std::ostream&)>& write) {
  try {
    TWholeFile file(fileName);
    write(file.Stream());
    file.Commit();
  } catch (const EFileWriteError& e) {
    throw EPreparedReportError(std::string("prepared report: ") + e.what());
  }
}

}  // namespace

// ---- TPreparedReportSaver ----

bool TPreparedReportSaver::EnsurePrepared() {
  if (!report_.Prepared()) report_.PrepareReport();
  return report_.Prepared();
}

std::vector<int> TPreparedReportSaver::WantedPageIndices(const TStrings* validPages) const {
  std::vector<int> indices;
  for (int p = 0; p < report_.GetNumPages(); ++p)
    if (!validPages || validPages->IndexOf(std::to_string(p + 1)) >= 0) indices.push_back(p);
  return indices;
}

void TPreparedReportSaver::WriteGrid(std::ostream& out, const std::vector<int>& pageIndices) {
  const TZdProperty& props = report_.ZdProperty();
  const int bars = pageIndices.empty() ? 0 : report_.GetNumBars();
  WriteZqpHeader(out, TZqpHeader{props.Author, props.Keywords, props.Subject, props.Title,
                                 int(pageIndices.size()), bars});
  for (size_t rank = 0; rank < pageIndices.size(); ++rank)
    for (int b = 0; b < bars; ++b) {
      const TPageInfo* page = report_.GetPage(pageIndices[rank], b);
      std::unique_ptr<TPageInfo> blank;
      if (!page) {
        blank = BlankPageLike(report_.Pages().At(0));
        page = blank.get();
      }
      WriteZqpPage(out, *page, int(rank), b);
    }
}

void TPreparedReportSaver::SaveToStream(std::ostream& out) {
  if (!EnsurePrepared()) return;
  WriteGrid(out, WantedPageIndices(nullptr));
}

void TPreparedReportSaver::SavePages(const std::string& fileName, bool isSeparatePages,
                                     const TStrings* validPages) {
  if (!EnsurePrepared()) return;
  const std::vector<int> wanted = WantedPageIndices(validPages);
  if (wanted.empty()) return;
  if (!isSeparatePages) {
    WriteZqpFile(fileName, [&](std::ostream& out) { WriteGrid(out, wanted); });
    return;
  }
  const TZdProperty& props = report_.ZdProperty();
  for (int p : wanted)
    for (int b = 0; b < report_.GetNumBars(); ++b) {
      const TPageInfo* page = report_.GetPage(p, b);
      if (!page) continue;  // a file of its own would hold only a blank page
      const std::string name = SeparatePageFileName(fileName, p, b);
      WriteZqpFile(name, [&](std::ostream& out) {
        WriteZqpHeader(out, TZqpHeader{props.Author, props.Keywords, props.Subject, props.Title, 1, 1});
        WriteZqpPage(out, *page, 0, 0);
      });
    }
}

// ---- the export dialog ----

bool AskExportChoice(int languageShift, const std::vector<TExportFormat>& exporters, const std::string& fileName,
                     TExportChoice& choice) {
  TExportDialogRequest request;
  request.LanguageShift = languageShift;
  request.Formats.push_back(GetString(languageShift, txt::PreparedReportFormat));
  for (const TExportFormat& format : exporters) request.Formats.push_back(format.Caption);
  choice = TExportChoice{};
  choice.FileName = fileName;
  if (!UserInterface().ShowExportDialog(request, choice)) return false;
  if (choice.FormatIndex < 0 || choice.FormatIndex >= int(request.Formats.size()))
    throw std::invalid_argument("export dialog: format " + std::to_string(choice.FormatIndex) +
                                " is not one of the " + std::to_string(request.Formats.size()) + " offered");
  if (choice.FileName.empty()) throw std::invalid_argument("export dialog: no file name was chosen");
  return true;
}

}  // namespace zd
