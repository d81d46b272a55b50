#pragma once
// Saving a component's prepared pages to prepared-report files, and the
// choices of the interactive "save or export" command.
#include <iosfwd>
#include <string>
#include <vector>

#include "export/Export.h"
#include "print/PreparedReportFile.h"
#include "print/PrintZd.h"

namespace zd {

// Writes the pages of a prepared component. A file saved from a page list
// or one page per file holds exactly those pages, renumbered from 0 in
// their order with their bars kept, and its header counts only them, so it
// opens again as a report of its own.
class TPreparedReportSaver {
 public:
  explicit TPreparedReportSaver(TZdPrintBaseComponent& report) : report_(report) {}

  // Every page, in one stream.
  void SaveToStream(std::ostream& out);
  // The listed 1-based pages (all when validPages is null) to one file, or
  // to one file per page and bar. Nothing is created when no page is wanted.
  void SavePages(const std::string& fileName, bool isSeparatePages, const TStrings* validPages);

 private:
  bool EnsurePrepared();
  std::vector<int> WantedPageIndices(const TStrings* validPages) const;
  void WriteGrid(std::ostream& out, const std::vector<int>& pageIndices);

  TZdPrintBaseComponent& report_;
};

// An exporter offered by the save command after the prepared-report format.
struct TExportFormat {
  std::string Caption;    // shown in the format list
  std::string ClassName;  // the registered class name
  TZdqExportClass Class;  // empty when the class is not registered: nothing is exported
};

struct TExportDialogRequest {
  // The prepared-report format ("ZdReport generated") first, then the
  // exporters' captions in the order given.
  std::vector<std::string> Formats;
  int LanguageShift = 0;
};

// What the user chose in the export dialog.
struct TExportChoice {
  int FormatIndex = 0;  // into TExportDialogRequest::Formats
  TPageRangeMode Mode = TPageRangeMode::prAll;
  std::string RangeText;  // for prRange
  std::string FileName;
  bool SeparateFiles = false;
};

// Asks for the format, pages and file name, with the first format selected
// and fileName preset; returns false when the user cancels.
bool AskExportChoice(int languageShift, const std::vector<TExportFormat>& exporters, const std::string& fileName,
                     TExportChoice& choice);

}  // namespace zd
