#pragma once
// The print base component: the store of prepared pages, page and bar
// numbering, system values and variable lookup, and the entry points that
// print, preview and export the pages. Derived classes produce the pages.
#include <functional>
#include <unordered_map>
#include <iosfwd>
#include <memory>
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
#include "print/Frame.h"
#include "print/Language.h"
#include "print/PrintTarget.h"
#include "print/SysData.h"
#include "print/Variables.h"
#include "print/ZdPrntr.h"

namespace zd {

// One prepared page: its geometry and its drawing.
class TPageInfo {
 public:
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }
  // The metafile takes the same size, so it plays back paper-sized.
  void SetPageWidth(int w) { pageWidth_ = w; Data.SetWidth(w); }
  void SetPageHeight(int h) { pageHeight_ = h; Data.SetHeight(h); }

  int intNumPage = 0;  // page index within its bar, from 0
  int intNumBar = 0;   // bar index, from 0
  int OffsetLeft = 0, OffsetRight = 0, OffsetTop = 0, OffsetBottom = 0;
  TMetafile Data;

 private:
  int pageWidth_ = 0, pageHeight_ = 0;
};

// Prepared pages in the order they were made.
// Page and bar indexes are fixed once a page is added: lookups and maxima are
// kept as pages arrive, since reports ask for them on every printed band.
class TPageStore {
 public:
  int Count() const { return int(pages_.size()); }
  const TPageInfo& At(int i) const { return *pages_.at(size_t(i)); }
  TPageInfo& Add(std::unique_ptr<TPageInfo> page);
  // First page with this page and bar index; nullptr when none.
  TPageInfo* Find(int page, int bar) const;
  int MaxPageIndex() const { return maxPage_; }  // -1 when empty
  int MaxBarIndex() const { return maxBar_; }    // -1 when empty
  void Clear();

 private:
  static uint64_t key(int page, int bar) { return (uint64_t(uint32_t(page)) << 32) | uint32_t(bar); }
  std::vector<std::unique_ptr<TPageInfo>> pages_;
  std::unordered_map<uint64_t, TPageInfo*> byIndex_;
  int maxPage_ = -1, maxBar_ = -1;
};

enum class TStatus { stIdle, stPrinting, stPrinted };
enum TZdqOption : unsigned { roDisableControls = 1 };
using TZdqOptions = unsigned;  // set of TZdqOption

using TPageEvent = std::function<void(TComponent* sender, int page, int bar)>;
using TGetVariableEvent = std::function<void(TComponent* sender, const std::string& variableName,
                                             bool& accept, TFieldType& variableType, TVariant& value)>;

// The file of one page when every page goes to its own file: the 0-based
// page and bar, joined by "_", go before the first dot of the file name
// ("out.htm" -> "out0_0.htm"), or at its end when it has none.
std::string SeparatePageFileName(const std::string& fileName, int page, int bar);

// What the user chose in the print dialog.
enum class TPageRangeMode { prAll, prCurrent, prEven, prOdd, prRange };
struct TPrintChoice {
  int PrinterIndex = -1;  // into TPrintDialogRequest::Printers
  TPageRangeMode Mode = TPageRangeMode::prAll;
  std::string RangeText;     // for prRange
  std::string CopiesText = "1";
  bool Collate = false;
};
struct TPrintDialogRequest {
  std::vector<std::string> Printers;
  int LanguageShift = 0;
};
// Shows the print dialog with `choice` preset; returns false when cancelled.
using TPrintDialog = std::function<bool(const TPrintDialogRequest& request, TPrintChoice& choice)>;
// Installed by the user interface; without one the preset choice is taken.
void SetPrintDialog(TPrintDialog dialog);

class TZdPrintBaseComponent;
struct TExportFormat;  // print/PreparedReport.h
struct TPreviewRequest {
  void* ParentControl = nullptr;  // host window to embed in; nullptr: a modal window
  bool EnableOutlines = false;
};
// Installed by the preview window; without one a preview shows nothing.
using TPreviewWindow = std::function<void(TZdPrintBaseComponent& report, const TPreviewRequest& request)>;
void SetPreviewWindow(TPreviewWindow window);

class TZdPrintBaseComponent : public TComponent {
 public:
  explicit TZdPrintBaseComponent(TComponent* owner = nullptr);
  ~TZdPrintBaseComponent() override;
  std::string ClassName() const override { return "TZdPrintBaseComponent"; }

  // ---- page production, for derived classes ----
  // Resets the page and bar counters; overrides call it first, then
  // BeginDoc, NewPage per page, and EndDoc.
  virtual void PrepareReport();
  virtual void BeginDoc();
  // Closes the current page and opens the next one (page 0 of a new bar
  // when isNewBar); MFCanvas then records the new page.
  virtual void NewPage(bool isNewBar = false);
  virtual void EndDoc();
  TPageInfo* CurrentPage() const { return GetPage(intCurPage, intCurBar); }
  TPageInfo* GetPage(int page, int bar) const { return pages_.Find(page, bar); }
  int GetNumPages() const;
  int GetNumBars() const;
  virtual int GetPageNoCountBy() const { return 1; }
  virtual int GetPageNoStartAt() const { return 0; }
  virtual int GetCurColumn() const { return 0; }
  virtual int GetColumnNumber() const { return 1; }
  // Leaves value untouched for kinds this class cannot answer.
  void GetSysDataValue(TZdqSysDataType kind, TVariant& value) const;
  // Resolves system values, then variables, then asks OnGetVariable.
  virtual void ZdqGetVariable(TComponent* sender, const std::string& variableName, bool& accept,
                              TFieldType& variableType, TVariant& value);
  int GetLanguageShift();
  virtual void FreePages();

  // ---- for callers ----
  void Prepare();
  void Preview() { InternalPreview(true, nullptr); }
  void PreviewPreparedReport() { InternalPreview(false, nullptr); }
  void PreviewParentedControl(void* parent) { InternalPreview(true, parent); }
  void PreviewParentedControlPreparedReport(void* parent) { InternalPreview(false, parent); }
  void Print();
  void PrintReport();
  // Prints the pages whose 1-based numbers are listed as decimal texts.
  void PrintPages(const TStrings& validPages);
  void ExportTo(const std::string& fileName, bool isSeparatePages, const TStrings& validPages,
                const TZdqExportClass& filter);
  void SavePrinter();
  void RestorePrinter();

  // Prepared-report files (".zqp"), written and read by print/PreparedReport*.
  void SavePreparedReportToStream(std::ostream& out);
  void SavePreparedReport(const std::string& fileName);
  // The listed 1-based pages (all when validPages is null), to one file or
  // one file per page and bar; nothing is created when no page is wanted.
  void SavePreparedPages(const std::string& fileName, bool isSeparatePages, const TStrings* validPages);
  // Replace the pages only when the whole file reads; a bad file throws
  // EPreparedReportError and leaves the component as it was.
  void LoadPreparedReportFromStream(std::istream& in);
  void LoadPreparedReport(const std::string& fileName);
  // Asks for format, pages and file name (see SetExportDialog), then saves
  // or exports; the chosen name comes back in fileName. False when cancelled
  // or when nothing can be prepared.
  bool SavePageToFile(std::string& fileName, const std::vector<TExportFormat>& exporters);

  // ---- properties ----
  bool Prepared() const { return prepared_; }
  TStatus Status() const { return status_; }
  const TPageStore& Pages() const { return pages_; }
  int NumPages() const { return GetNumPages(); }
  int NumBars() const { return GetNumBars(); }

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
  // What went wrong without stopping the preparation (a picture that could
  // not be drawn), each text once; cleared when a preparation starts.
  const std::vector<std::string>& Warnings() const { return warnings_; }
  void AddWarning(const std::string& warning);
  // The files a template may have read (any, unless restricted).
  TFileAccess& FileAccess() { return fileAccess_; }
  void SetOutlines(const TZdqOutlines& o) { outlines_.Assign(o); }

  bool AnimatedStatus() const { return animatedStatus_; }
  void SetAnimatedStatus(bool on) { animatedStatus_ = on; }
  TZdqOptions Options() const { return options_; }
  void SetOptions(TZdqOptions options) { options_ = options; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  // The PDF file written when the chosen printer is the virtual PDF printer.
  std::string OutputFileName;
  // Sheets go here instead of the system printer when set (not owned).
  void SetPrintTarget(TPrintTarget* target) { printTarget_ = target; }

  TNotifyEvent OnBeginDoc, OnEndDoc;
  TPageEvent OnBeginPage, OnEndPage;
  TNotifyEvent OnBeforePreview, OnPreview, OnAfterPreview;
  TNotifyEvent OnBeforePrint, OnAfterPrint;
  TGetVariableEvent OnGetVariable;

  // ---- engine state shared with derived classes and page consumers ----
  int intMaxPageHeight = 0;   // lowest usable y of the current page
  int intLastPageHeight = 0;
  int intCurHeight = -1;      // current y on the page
  int intCurPassNumber = 0;   // 1 or 2 while preparing
  int intNumPages = 0, intNumBars = 0;  // counts of the first of two passes
  std::string ProductVersion = "ZdReport 0.1";
  int intCurPage = -1;        // within the bar, from 0
  int intCurBar = 0;
  std::unique_ptr<TMetafileCanvas> MFCanvas;  // the page being recorded

 protected:
  bool TwoPass() const { return twoPass_; }
  void SetTwoPass(bool on) { twoPass_ = on; }
  void PrepareStart();
  void PrepareEnd();
  void PrintStart();
  void PrintEnd();

 private:
  void InternalPreview(bool prepareFirst, void* parentControl);
  void PrintSheets(TPrintTarget& target, const TStrings& validPages);
  void ExportPages(TZdqExport& exporter, const std::string& fileName, bool isSeparatePages,
                   const TStrings& validPages);
  TStringList ChosenPages(const TPrintChoice& choice) const;
  int PreselectedPrinter();
  std::string ProgressCaption() const;
  std::string Text(int id);
  TDateTime Now() const;
  bool SecondPass() const { return twoPass_ && intCurPassNumber > 1; }

  bool prepared_ = false;
  TStatus status_ = TStatus::stIdle;
  TPageStore pages_;
  TZdProperty zdProperty_;
  TZdqFrame frame_;
  TZdqLanguage language_;
  TZdqPrinter printerSetting_;
  TZdqPrinter oldPrinterSetting_;
  bool twoPass_ = false;
  TZdqVariables variables_;
  TZdqOutlines outlines_;
  bool animatedStatus_ = true;
  TZdqOptions options_ = roDisableControls;
  int helpContext_ = 0;
  std::vector<std::string> warnings_;
  TFileAccess fileAccess_;
  TPrintTarget* printTarget_ = nullptr;
};

// Base of the components that print plain data.
class TZdPrintComponent : public TZdPrintBaseComponent {
 public:
  using TZdPrintBaseComponent::TZdPrintBaseComponent;
  std::string ClassName() const override { return "TZdPrintComponent"; }
  using TZdPrintBaseComponent::SetTwoPass;
  using TZdPrintBaseComponent::TwoPass;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f) { font_ = f; }

 private:
  TFont font_;  // "Arial" by default
};

}  // namespace zd
