#pragma once
// The print base component: the store of prepared pages, page and bar
// numbering, system values and variable lookup, and the entry points that
// print, preview and export the pages. Derived classes produce the pages.
#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/Export.h"
#include "host/core/Component.h"
#include "host/core/FileAccess.h"
#include "host/core/Strings.h"
#include "host/core/Variant.h"
#include "host/data/FieldType.h"
#include "host/emf/Metafile.h"
#include "host/graphics/Canvas.h"
#include "host/ui/UserInterface.h"
#include "print/DeferredCountDrawings.h"
#include "print/Frame.h"
#include "print/Language.h"
#include "print/PageProducer.h"
#include "print/PageStore.h"
#include "print/PrintTarget.h"
#include "print/SysData.h"
#include "print/Variables.h"
#include "print/ZdPrntr.h"
#include "zdreport/Version.h"

namespace zd {

enum class TStatus { stIdle, stPrinting, stPrinted };
enum TZdqOption : unsigned { roDisableControls = 1 };
using TZdqOptions = unsigned;  // set of TZdqOption

using TPageEvent = std::function<void(TComponent* sender, int page, int bar)>;
using TGetVariableEvent = std::function<void(TComponent* sender, const std::string& variableName,
                                             bool& accept, TFieldType& variableType, TVariant& value)>;

/// The file of one page when every page goes to its own file: the 0-based
/// page and bar, joined by "_", go before the first dot of the file name
/// ("out.htm" -> "out0_0.htm"), or at its end when it has none.
std::string SeparatePageFileName(const std::string& fileName, int page, int bar);

/// What the user chose in the print dialog.
enum class TPageRangeMode { prAll, prCurrent, prEven, prOdd, prRange };
struct TPrintChoice {
  int PrinterIndex = -1;  ///< into TPrintDialogRequest::Printers
  TPageRangeMode Mode = TPageRangeMode::prAll;
  std::string RangeText;     ///< for prRange
  std::string CopiesText = "1";
  bool Collate = false;
};
struct TPrintDialogRequest {
  std::vector<std::string> Printers;
  int LanguageShift = 0;
};

// How far a preparation has come: the pages opened and the master rows
// done, both counted from the start of the pass.
struct TPrepareProgress {
  int Pages = 0;
  int Rows = 0;
};

struct TExportFormat;  // print/PreparedReport.h
/// What the preview window is opened with.
struct TPreviewRequest {
  TParentWindow ParentControl;  ///< window to embed in; empty: a modal window
  bool EnableOutlines = false;
};

/// The store of prepared pages and what callers do with them: print,
/// preview, export and save; derived classes produce the pages.
class TZdPrintBaseComponent : public TComponent {
 public:
  explicit TZdPrintBaseComponent(TComponent* owner = nullptr);
  ~TZdPrintBaseComponent() override;
  std::string ClassName() const override { return "TZdPrintBaseComponent"; }

  // ---- page production, for derived classes ----
  /// Resets the page and bar counters; overrides call it first, then
  /// BeginDoc, NewPage per page, and EndDoc.
  virtual void PrepareReport();
  virtual void BeginDoc();
  /// Closes the current page and opens the next one (page 0 of a new bar
  /// when isNewBar); the producer then records the new page.
  virtual void NewPage(bool isNewBar = false);
  virtual void EndDoc();
  TPageInfo* CurrentPage() const { return GetPage(producer_.intCurPage(), producer_.intCurBar()); }
  TPageInfo* GetPage(int page, int bar) const { return pages_.Find(page, bar); }
  int GetNumPages() const;
  int GetNumBars() const;
  // While a two-pass report is prepared in one pass: the page and bar
  // counts are not known yet, drawings that show them go through
  // DrawCountLater, and anything else asking for them (CountsNeeded) makes
  // the second pass happen.
  bool DeferringCounts() const { return deferringCounts_; }
  int DrawCountLater(TMetafileCanvas& canvas, TDeferredCountDrawings::TDraw draw) {
    return countDrawings_.Draw(pages_.Shared(pages_.Count() - 1), canvas, std::move(draw));
  }
  void CountsNeeded() const { countsNeeded_ = true; }
  virtual int GetPageNoCountBy() const { return 1; }
  virtual int GetPageNoStartAt() const { return 0; }
  virtual int GetCurColumn() const { return 0; }
  virtual int GetColumnNumber() const { return 1; }
  /// Leaves value untouched for kinds this class cannot answer.
  void GetSysDataValue(TZdqSysDataType kind, TVariant& value) const;
  /// Resolves system values, then variables, then asks OnGetVariable.
  virtual void ZdqGetVariable(TComponent* sender, const std::string& variableName, bool& accept,
                              TFieldType& variableType, TVariant& value);
  int GetLanguageShift();
  virtual void FreePages();

  // ---- for callers ----
  /// Prepares the pages (PrepareReport, twice for a two-pass report), with
  /// the progress dialog when AnimatedStatus is on.
  void Prepare();
  /// Stops the preparation in progress as the progress dialog's cancel
  /// button does: the current bar ends with its summary and the pages made
  /// so far are kept. Safe to call from another thread or a signal handler;
  /// the next Prepare starts afresh.
  void Cancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
  /// Whether Cancel or the progress dialog asked the preparation to stop.
  bool PrepareCancelled() const;
  /// How a composite that prepares this component as one of its members
  /// wants the pages numbered; a default one (none) while on its own.
  struct TMembership {
    /// Cancelling it cancels this preparation too.
    const TZdPrintBaseComponent* composite = nullptr;
    /// Pages of the composite before this component's first.
    int pagesBefore = 0;
    /// The page count to show; 0 shows this component's own.
    int pageCount = 0;
  };
  void SetMembership(const TMembership& membership) { membership_ = membership; }
  /// Told on each new page and every kProgressRowStep master rows.
  std::function<void(const TPrepareProgress&)> OnProgress;
  static constexpr unsigned kProgressRowStep = 256;
  /// The band engine counts each master row it finishes.
  void RowPrepared() {
    if (++preparedRows_ % kProgressRowStep == 0 && OnProgress) ReportProgress();
  }
  /// Prepares, then shows the pages in the preview window.
  void Preview() { InternalPreview(true, {}); }
  /// Shows the pages already prepared.
  void PreviewPreparedReport() { InternalPreview(false, {}); }
  /// As Preview and PreviewPreparedReport, in the given window.
  void PreviewParentedControl(TParentWindow parent) { InternalPreview(true, parent); }
  void PreviewParentedControlPreparedReport(TParentWindow parent) { InternalPreview(false, parent); }
  /// Asks for printer, pages and copies (the print dialog), then prints;
  /// prepares first when no pages are prepared.
  void Print();
  /// Prints every page without asking; prepares first when needed.
  void PrintReport();
  /// Prints the pages whose 1-based numbers are listed as decimal texts.
  void PrintPages(const TStrings& validPages);
  /// Writes the listed 1-based pages of the prepared report with an exporter
  /// of the class (ExportClassOf<TZdqExportToPDF>(), ...): one file, or one
  /// per page and bar when isSeparatePages. Nothing happens before preparation.
  void ExportTo(const std::string& fileName, bool isSeparatePages, const TStrings& validPages,
                const TZdqExportClass& filter);
  /// Every page to one file.
  void ExportTo(const std::string& fileName, const TZdqExportClass& filter);
  /// The same as one document written to out (a socket, a buffer), with no
  /// file on disk; pictures an HTML page would keep beside it go inside it.
  void ExportTo(std::ostream& out, const TStrings& validPages, const TZdqExportClass& filter);
  /// Remembers the printer's settings; RestorePrinter puts them back.
  void SavePrinter();
  void RestorePrinter();

  /// Prepared-report files (".zqp"), written and read by print/PreparedReport*.
  void SavePreparedReportToStream(std::ostream& out);
  void SavePreparedReport(const std::string& fileName);
  /// The listed 1-based pages (all when validPages is null), to one file or
  /// one file per page and bar; nothing is created when no page is wanted.
  void SavePreparedPages(const std::string& fileName, bool isSeparatePages, const TStrings* validPages);
  /// Replace the pages only when the whole file reads; a bad file throws
  /// EPreparedReportError and leaves the component as it was.
  void LoadPreparedReportFromStream(std::istream& in);
  void LoadPreparedReport(const std::string& fileName);
  /// Asks for format, pages and file name (the export dialog), then saves
  /// or exports; the chosen name comes back in fileName. False when cancelled
  /// or when nothing can be prepared.
  bool SavePageToFile(std::string& fileName, const std::vector<TExportFormat>& exporters);

  // ---- properties ----
  bool Prepared() const { return prepared_; }
  TStatus Status() const { return status_; }
  const TPageStore& Pages() const { return pages_; }
  int NumPages() const { return GetNumPages(); }
  int NumBars() const { return GetNumBars(); }
  /// Bytes of page drawings kept in memory; past it the oldest finished
  /// pages go to a temporary file, removed with the pages. 0 keeps all.
  std::size_t PageMemoryLimit() const { return pages_.MemoryLimit(); }
  void SetPageMemoryLimit(std::size_t bytes) { pages_.SetMemoryLimit(bytes); }

  TZdProperty& ZdProperty() { return zdProperty_; }
  void SetZdProperty(const TZdProperty& p) { zdProperty_.Assign(p); }
  TZdqFrame& Frame() { return frame_; }
  void SetFrame(const TZdqFrame& f) { frame_.Assign(f); }
  TZdqLanguage& Language() { return language_; }
  void SetLanguage(const TZdqLanguage& l) { language_.Assign(l); }
  TZdqPrinter& PrinterSetting() { return printerSetting_; }
  void SetPrinterSetting(const TZdqPrinter& p) { printerSetting_.Assign(p); }
  TZdqVariables& Variables() { return variables_; }
  void SetVariables(const TZdqVariables& v) { variables_.Assign(v); }
  TZdqOutlines& Outlines() { return outlines_; }
  /// What went wrong without stopping the preparation (a picture that could
  /// not be drawn), each text once; cleared when a preparation starts.
  const std::vector<std::string>& Warnings() const { return warnings_; }
  void AddWarning(const std::string& warning);
  /// The files a template may have read (any, unless restricted).
  TFileAccess& FileAccess() { return fileAccess_; }
  const TFileAccess& FileAccess() const { return fileAccess_; }
  void SetOutlines(const TZdqOutlines& o) { outlines_.Assign(o); }

  bool AnimatedStatus() const { return animatedStatus_; }
  void SetAnimatedStatus(bool on) { animatedStatus_ = on; }
  TZdqOptions Options() const { return options_; }
  void SetOptions(TZdqOptions options) { options_ = options; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  /// The PDF file printed to instead of the paper: always with the virtual
  /// PDF printer, which has none; with a system printer when set.
  std::string OutputFileName;
  /// Sheets go here instead of the system printer when set (not owned).
  void SetPrintTarget(TPrintTarget* target) { printTarget_ = target; }

  TNotifyEvent OnBeginDoc, OnEndDoc;
  TPageEvent OnBeginPage, OnEndPage;
  TNotifyEvent OnBeforePreview, OnPreview, OnAfterPreview;
  TNotifyEvent OnBeforePrint, OnAfterPrint;
  TGetVariableEvent OnGetVariable;

  /// The page being made, its counters and the room left on it.
  TPageProducer& Producer() { return producer_; }
  const TPageProducer& Producer() const { return producer_; }
  std::string ProductVersion = std::string("ZdReport ") + kVersionMajorMinor;

 protected:
  bool TwoPass() const { return twoPass_; }
  void SetTwoPass(bool on) { twoPass_ = on; }
  // Whether nothing but the drawings of DrawCountLater can depend on the
  // page and bar counts, so that one pass and a redraw of those suffice.
  virtual bool CountsCanBeDeferred() const { return false; }
  void PrepareStart();
  void PrepareEnd();
  void PrintStart();
  void PrintEnd();
  /// Adds a page made elsewhere (another component's), shared with its maker.
  void AppendPage(std::shared_ptr<TPageInfo> page) { pages_.Add(std::move(page)); }

 private:
  void InternalPreview(bool prepareFirst, TParentWindow parentControl);
  void PrintSheets(TPrintTarget& target, const TStrings& validPages);
  void exportTo(const std::string& fileName, std::ostream* stream, bool isSeparatePages, const TStrings& validPages,
                const TZdqExportClass& filter);
  void ExportPages(TZdqExport& exporter, const std::string& fileName, bool isSeparatePages,
                   const TStrings& validPages);
  TStringList ChosenPages(const TPrintChoice& choice) const;
  int PreselectedPrinter();
  std::string ProgressCaption() const;
  std::string Text(int id);
  TDateTime Now() const;
  bool SecondPass() const { return twoPass_ && producer_.intCurPassNumber() > 1; }
  int pageCount() const;
  int barCount() const;
  void ReportProgress();

  bool prepared_ = false;
  TStatus status_ = TStatus::stIdle;
  TPageStore pages_;
  TPageProducer producer_{pages_};  // after the store it fills
  TZdProperty zdProperty_;
  TZdqFrame frame_;
  TZdqLanguage language_;
  TZdqPrinter printerSetting_;
  TZdqPrinter oldPrinterSetting_;
  bool twoPass_ = false;
  bool deferringCounts_ = false;
  std::optional<TDateTime> preparedAt_;
  mutable bool countsNeeded_ = false;
  TDeferredCountDrawings countDrawings_;
  TZdqVariables variables_;
  TZdqOutlines outlines_;
  bool animatedStatus_ = true;
  TZdqOptions options_ = roDisableControls;
  int helpContext_ = 0;
  std::vector<std::string> warnings_;
  TFileAccess fileAccess_;
  TPrintTarget* printTarget_ = nullptr;
  std::atomic<bool> cancelRequested_ = false;
  unsigned preparedRows_ = 0;
  TMembership membership_;
};

/// Base of the components that print plain data.
class TZdPrintComponent : public TZdPrintBaseComponent {
 public:
  using TZdPrintBaseComponent::TZdPrintBaseComponent;
  std::string ClassName() const override { return "TZdPrintComponent"; }
  using TZdPrintBaseComponent::SetTwoPass;
  using TZdPrintBaseComponent::TwoPass;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f) { font_ = f; }

 private:
  TFont font_;  ///< "Arial" by default
};

}  // namespace zd
