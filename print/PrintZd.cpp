#include "print/PrintZd.h"

#include "host/locale/Clock.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <exception>
#include <future>
#include <set>

#include "expr/PageRange.h"
#include "host/core/TextUtil.h"
#include "host/core/WorkerThread.h"
#include "host/locale/DateTime.h"
#include "host/printing/Printer.h"
#include "host/ui/Progress.h"
#include "host/ui/UserInterface.h"
#include "print/PreparedReport.h"
#include "print/TextIds.h"

namespace zd {

namespace {

// Replaces each "%d" of a string-table text with the next number.
std::string FormatNumbers(const std::string& format, std::initializer_list<int> numbers) {
  std::string out;
  auto next = numbers.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd' && next != numbers.end()) {
      out += std::to_string(*next++);
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

bool ParseInt(const std::string& text, int& value) {
  const std::string t = Trim(text);
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, value);
  return !t.empty() && ec == std::errc() && ptr == end;
}

// A page list as a set of its texts: pages are wanted by their exact text.
class TWantedPages {
 public:
  explicit TWantedPages(const TStrings& list) : texts_(list.Items().begin(), list.Items().end()) {}
  bool Has(int number) const { return texts_.count(std::to_string(number)) > 0; }

 private:
  std::set<std::string> texts_;
};

// Runs `done` when the scope ends, on success and on failure alike.
template <class F>
struct ScopeExit {
  F done;
  ~ScopeExit() { done(); }
};
template <class F>
ScopeExit(F) -> ScopeExit<F>;

}  // namespace

// ---- free functions ----

std::string SeparatePageFileName(const std::string& fileName, int page, int bar) {
  const std::string tag = std::to_string(page) + "_" + std::to_string(bar);
  // The first dot of the name itself: dots in directory names are not extensions.
  const size_t slash = fileName.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = fileName.find('.', nameStart);
  if (dot == std::string::npos) return fileName + tag;
  return fileName.substr(0, dot) + tag + fileName.substr(dot);
}

// ---- TZdPrintBaseComponent ----

TZdPrintBaseComponent::TZdPrintBaseComponent(TComponent* owner)
    : TComponent(owner), variables_(this), outlines_(this) {
  language_.SetLanguageID(TZdqLangID::lnEnglish);
  language_.SetAutoDetect(false);
}

TZdPrintBaseComponent::~TZdPrintBaseComponent() {
  // The canvas writes into its page when it closes, so it goes first.
  producer_.Discard();
}

TDateTime TZdPrintBaseComponent::Now() const { return preparedAt_ ? *preparedAt_ : zd::Now(); }

std::string TZdPrintBaseComponent::Text(int id) { return GetString(GetLanguageShift(), id); }

int TZdPrintBaseComponent::GetLanguageShift() { return int(language_.GetLangID()) & 0x7F; }

std::string TZdPrintBaseComponent::ProgressCaption() const {
  return zdProperty_.Title.empty() ? ProductVersion : zdProperty_.Title;
}

void TZdPrintBaseComponent::PrepareReport() {
  producer_.SetCurrentPage(-1, 0);
  preparedRows_ = 0;
}

bool TZdPrintBaseComponent::PrepareCancelled() const {
  return cancelRequested_.load(std::memory_order_relaxed) ||
         (membership_.composite && membership_.composite->PrepareCancelled()) || ProgressCanceled();
}

void TZdPrintBaseComponent::ReportProgress() { OnProgress({pages_.Count(), int(preparedRows_)}); }

void TZdPrintBaseComponent::FreePages() { producer_.Discard(); }

void TZdPrintBaseComponent::BeginDoc() {
  prepared_ = false;
  if (OnBeginDoc) OnBeginDoc(this);
  status_ = TStatus::stPrinting;
  FreePages();
}

void TZdPrintBaseComponent::NewPage(bool isNewBar) {
  if (producer_.intCurPage() > -1 && OnEndPage)
    OnEndPage(this, producer_.intCurPage() + 1, producer_.intCurBar());
  producer_.StepPage(isNewBar);
  const int curPage = producer_.intCurPage(), curBar = producer_.intCurBar();

  if (AnimatedStatus()) {
    std::string prefix;
    int position = 0;
    if (SecondPass()) {
      prefix = Text(txt::SecondPass);
      position = curBar * GetNumPages() + curPage;
    } else if (twoPass_) {
      prefix = Text(txt::FirstPass);
    }
    UpdateProgressDlg(prefix + FormatNumbers(Text(txt::PreparingPage), {curPage + 1, curBar + 1}),
                      position);
  }

  auto page = std::make_shared<TPageInfo>();
  page->SetPageWidth(printerSetting_.PaperWidthPixels());
  page->SetPageHeight(printerSetting_.PaperHeightPixels());
  page->OffsetLeft = printerSetting_.GetPageOffsetLeft();
  page->OffsetRight = printerSetting_.GetPageOffsetRight();
  page->OffsetTop = printerSetting_.GetPageOffsetTop();
  page->OffsetBottom = printerSetting_.GetPageOffsetBottom();
  const TPageInfo& added = producer_.OpenPage(std::move(page), ProductVersion);
  try {
    frame_.DrawFrame(*producer_.MFCanvas(),
                     TRect{added.OffsetLeft, added.OffsetTop, added.PageWidth() - added.OffsetRight,
                           added.PageHeight() - added.OffsetBottom});
  } catch (const EMetafileError& e) {
    AddWarning(std::string("page frame picture not drawn: ") + e.what());
  }

  if (OnBeginPage) OnBeginPage(this, curPage + 1, curBar);
  if (OnProgress) ReportProgress();
}

void TZdPrintBaseComponent::EndDoc() {
  producer_.ClosePage();
  status_ = TStatus::stPrinted;
  if (OnEndDoc) OnEndDoc(this);
  prepared_ = true;
}

int TZdPrintBaseComponent::GetNumBars() const {
  if (deferringCounts_) CountsNeeded();
  return barCount();
}

int TZdPrintBaseComponent::GetNumPages() const {
  if (deferringCounts_) CountsNeeded();
  return pageCount();
}

int TZdPrintBaseComponent::barCount() const {
  if (SecondPass()) return producer_.intNumBars();
  return pages_.MaxBarIndex() + 1;
}

int TZdPrintBaseComponent::pageCount() const {
  if (SecondPass()) return producer_.intNumPages();
  if (barCount() >= 1) return pages_.MaxPageIndex() + 1;
  return pages_.Count();
}

void TZdPrintBaseComponent::GetSysDataValue(TZdqSysDataType kind, TVariant& value) const {
  switch (kind) {
    case TZdqSysDataType::sdDate:
      value = int64_t(std::floor(Now().days));
      break;
    case TZdqSysDataType::sdTime: {
      const double now = Now().days;
      value = now - std::floor(now);
      break;
    }
    case TZdqSysDataType::sdDateTime:
      value = Now();
      break;
    case TZdqSysDataType::sdAuthor:
      value = zdProperty_.Author;
      break;
    case TZdqSysDataType::sdReportTitle:
      value = zdProperty_.Title;
      break;
    case TZdqSysDataType::sdSubject:
      value = zdProperty_.Subject;
      break;
    case TZdqSysDataType::sdKeywords:
      value = zdProperty_.Keywords;
      break;
    case TZdqSysDataType::sdPageNo:
      value = GetPageNoCountBy() * (membership_.pagesBefore + producer_.intCurPage() + 1) + GetPageNoStartAt();
      break;
    case TZdqSysDataType::sdPageCount:
      value = membership_.pageCount > 0 ? membership_.pageCount : pageCount();
      break;
    case TZdqSysDataType::sdBarNo:
      value = producer_.intCurBar() + 1;
      break;
    case TZdqSysDataType::sdBarCount:
      value = barCount();
      break;
    case TZdqSysDataType::sdColumnNo:
      value = GetCurColumn() + 1;
      break;
    case TZdqSysDataType::sdColumnCount:
      value = GetColumnNumber();
      break;
    case TZdqSysDataType::sdDetailNo:
      value = -1;
      break;
    case TZdqSysDataType::sdBandLineNo:
      break;  // answered by the report engine
  }
}

void TZdPrintBaseComponent::ZdqGetVariable(TComponent*, const std::string& variableName, bool& accept,
                                           TFieldType& variableType, TVariant& value) {
  if (const auto kind = SysDataByEnglishName(variableName)) {
    if (deferringCounts_ && (*kind == TZdqSysDataType::sdPageCount || *kind == TZdqSysDataType::sdBarCount))
      CountsNeeded();
    accept = true;
    variableType = SysDataFieldType(*kind);
    GetSysDataValue(*kind, value);
  } else {
    if (const TZdqVariable* v = variables_.Find(variableName)) {
      accept = true;
      variableType = TFieldType::ftString;
      value = v->Value().isNull() ? TVariant(std::string()) : v->Value();
    }
  }
  if (OnGetVariable) OnGetVariable(this, variableName, accept, variableType, value);
}

// ---- preparing ----

void TZdPrintBaseComponent::SavePrinter() { oldPrinterSetting_.GetPrinterSettings(); }
void TZdPrintBaseComponent::RestorePrinter() { oldPrinterSetting_.SetPrinterSettings(); }

void TZdPrintBaseComponent::AddWarning(const std::string& warning) {
  constexpr size_t kMaxWarnings = 100;
  if (warnings_.size() < kMaxWarnings && std::find(warnings_.begin(), warnings_.end(), warning) == warnings_.end())
    warnings_.push_back(warning);
}

void TZdPrintBaseComponent::PrepareStart() {
  if (AnimatedStatus()) {
    const int range = SecondPass() ? pages_.Count() : 0;
    CreateProgressDlg(GetLanguageShift(), ProgressCaption(), Text(txt::Preparing), Text(txt::Cancel), 0,
                      range, 100);
  }
  outlines_.Clear();
  warnings_.clear();
  SavePrinter();
  printerSetting_.SetPrinterSettings();
}

void TZdPrintBaseComponent::PrepareEnd() {
  ScopeExit close{[&] {
    if (AnimatedStatus()) DestroyProgressDlg();
  }};
  RestorePrinter();
}

void TZdPrintBaseComponent::Prepare() {
  ClearProgressCancel();
  cancelRequested_.store(false, std::memory_order_relaxed);
  producer_.SetPassNumber(1);
  deferringCounts_ = twoPass_ && CountsCanBeDeferred();
  countsNeeded_ = false;
  // Every page shows the same date and time: the preparation's.
  preparedAt_ = zd::Now();
  bool finished = false;
  ScopeExit abandon{[&] {
    preparedAt_.reset();
    deferringCounts_ = false;
    countDrawings_.Clear();
    if (finished) return;
    try { PrepareEnd(); } catch (...) {}  // the preparation's own error matters more
  }};
  PrepareStart();
  if (AnimatedStatus()) {
    // The dialog's loop must not see an exception; it is rethrown here.
    std::exception_ptr failure;
    ShowModalCallBack([&] {
      try {
        PrepareReport();
      } catch (...) {
        failure = std::current_exception();
      }
    });
    if (failure) std::rethrow_exception(failure);
  } else {
    PrepareReport();
  }
  if (twoPass_) {
    producer_.FreezeCounts(pageCount(), barCount());
    producer_.SetPassNumber(2);
    const bool redrawn = deferringCounts_ && !countsNeeded_ && countDrawings_.Redraw(pages_);
    deferringCounts_ = false;
    countDrawings_.Clear();
    if (!redrawn) {
      PrepareStart();
      PrepareReport();
    }
  }
  finished = true;
  PrepareEnd();
}

// ---- printing ----

void TZdPrintBaseComponent::PrintStart() {
  if (AnimatedStatus())
    CreateProgressDlg(GetLanguageShift(), ProgressCaption(), Text(txt::Printing), Text(txt::Cancel), 0,
                      pages_.Count(), 0);
  SavePrinter();
  printerSetting_.SetPrinterSettings();
}

void TZdPrintBaseComponent::PrintEnd() {
  ScopeExit close{[&] {
    if (AnimatedStatus()) DestroyProgressDlg();
  }};
  RestorePrinter();
}

void TZdPrintBaseComponent::PrintSheets(TPrintTarget& target, const TStrings& validPages) {
  const int P = GetNumPages(), B = GetNumBars(), C = printerSetting_.Copies();
  const TWantedPages wanted(validPages);
  bool firstSheet = true;
  auto sheet = [&](int p, int b, int c) {
    if (AnimatedStatus())
      UpdateProgressDlg(FormatNumbers(Text(txt::PrintingPage), {p, b + 1, c}), B * p + b);
    if (!wanted.Has(p)) return;
    const TPageInfo* page = GetPage(p - 1, b);
    if (!page) return;
    // Breaking before every sheet but the first leaves none after the last.
    if (!firstSheet) target.NewPage();
    firstSheet = false;
    target.DrawPage(*page->Drawing());
  };
  if (!printerSetting_.Collate()) {
    for (int p = 1; p <= P; ++p)
      for (int c = 1; c <= C; ++c)
        for (int b = 0; b < B; ++b) sheet(p, b, c);
  } else {
    for (int c = 1; c <= C; ++c)
      for (int p = 1; p <= P; ++p)
        for (int b = 0; b < B; ++b) sheet(p, b, c);
  }
}

void TZdPrintBaseComponent::PrintPages(const TStrings& validPages) {
  if (!prepared_) PrepareReport();
  if (!prepared_ || pages_.Count() == 0) return;
  if (OnBeforePrint) OnBeforePrint(this);

  std::unique_ptr<TSystemPrintTarget> systemTarget;
  if (!printTarget_) {
    TSystemPrinter& printer = printerSetting_.Printer();
    systemTarget = std::make_unique<TSystemPrintTarget>(printer, OutputFileName);
  }
  TPrintTarget& target = printTarget_ ? *printTarget_ : *systemTarget;

  const int savedCopies = target.Copies();
  bool docOpen = false, finished = false;
  ScopeExit abandon{[&] {
    if (finished) return;
    try {
      if (docOpen) target.Abort();
      target.SetCopies(savedCopies);
    } catch (...) {}  // keep the original failure
    try { PrintEnd(); } catch (...) {}
  }};
  PrintStart();
  // Copies come from the sheet loop, not from the driver.
  target.SetCopies(1);
  target.BeginDoc(zdProperty_.Title);
  docOpen = true;
  PrintSheets(target, validPages);
  docOpen = false;
  target.EndDoc();
  target.SetCopies(savedCopies);
  finished = true;
  PrintEnd();
  if (OnAfterPrint) OnAfterPrint(this);
}

void TZdPrintBaseComponent::PrintReport() {
  // The list needs the page count, so the pages must exist first.
  if (!prepared_) PrepareReport();
  TStringList all;
  for (int p = 1; p <= GetNumPages(); ++p) all.Add(std::to_string(p));
  PrintPages(all);
}

int TZdPrintBaseComponent::PreselectedPrinter() {
  TSystemPrinter& printer = printerSetting_.Printer();
  int index = printerSetting_.PrinterName().empty() ? printerSetting_.PrinterIndex()
                                                    : printer.IndexOf(printerSetting_.PrinterName());
  if (index < 0 || index >= printer.PrinterCount()) index = printer.PrinterIndex();
  return index;
}

TStringList TZdPrintBaseComponent::ChosenPages(const TPrintChoice& choice) const {
  const int count = GetNumPages();
  TStringList list;
  if (choice.Mode == TPageRangeMode::prRange) {
    GetValidPages(choice.RangeText, list, count);
    return list;
  }
  if (choice.Mode == TPageRangeMode::prCurrent) {
    list.Add(std::to_string(producer_.intCurPage() + 1));
    return list;
  }
  for (int p = 1; p <= count; ++p) {
    const bool wanted = choice.Mode == TPageRangeMode::prAll ||
                        (choice.Mode == TPageRangeMode::prEven && p % 2 == 0) ||
                        (choice.Mode == TPageRangeMode::prOdd && p % 2 == 1);
    if (wanted) list.Add(std::to_string(p));
  }
  return list;
}

void TZdPrintBaseComponent::Print() {
  // The page count offered must be that of real pages.
  if (!prepared_) PrepareReport();
  if (!prepared_ || pages_.Count() == 0) return;

  TSystemPrinter& printer = printerSetting_.Printer();
  TPrintDialogRequest request{printer.Printers(), GetLanguageShift()};
  TPrintChoice choice;
  const int preselected = PreselectedPrinter();
  choice.PrinterIndex = preselected;
  choice.CopiesText = std::to_string(printerSetting_.Copies());
  choice.Collate = printerSetting_.Collate();
  if (!UserInterface().ShowPrintDialog(request, choice)) return;

  if (choice.PrinterIndex != preselected && choice.PrinterIndex >= 0 &&
      choice.PrinterIndex < int(request.Printers.size()))
    printerSetting_.SetPrinterName(request.Printers[size_t(choice.PrinterIndex)]);
  const TStringList pages = ChosenPages(choice);
  int copies = 1;
  if (!ParseInt(choice.CopiesText, copies)) copies = 1;
  printerSetting_.SetCopies(copies);
  printerSetting_.SetCollate(choice.Collate);
  PrintPages(pages);
}

// ---- exporting ----

// Each result's pages are played once more for an exporter that lays the
// whole result out before writing it; the store reads spilled pages back
// one at a time on each playing.
void TZdPrintBaseComponent::ExportPages(TZdqExport& exporter, const std::string& fileName,
                                        bool isSeparatePages, const TStrings& validPages) {
  struct TExportedPage {
    int page, bar, placed;  // placed: selected pages before it, as unselected ones leave no gap
  };
  const int P = GetNumPages(), B = GetNumBars();
  const TWantedPages wanted(validPages);
  std::vector<TExportedPage> pages;
  int placed = 0;
  for (int p = 0; p < P; ++p) {
    if (!wanted.Has(p + 1)) continue;
    for (int b = 0; b < B; ++b) pages.push_back({p, b, placed});
    ++placed;
  }
  auto drawingOf = [this](const TExportedPage& at) -> std::shared_ptr<const TMetafile> {
    const TPageInfo* page = GetPage(at.page, at.bar);
    return page ? page->Drawing() : nullptr;
  };
  auto play = [&](const std::vector<TExportedPage>& result) {
    // A spilled page is read back on the second core while the page before
    // it is exported: reading a drawing changes nothing the export uses.
    TWorkerThread reader;
    std::future<std::shared_ptr<const TMetafile>> next;
    for (size_t i = 0; i < result.size(); ++i) {
      const TExportedPage& at = result[i];
      if (AnimatedStatus())
        UpdateProgressDlg(FormatNumbers(Text(txt::ExportingPage), {at.page + 1, at.bar + 1}), B * at.page + at.bar);
      const std::shared_ptr<const TMetafile> drawing = i == 0 ? drawingOf(at) : next.get();
      if (i + 1 < result.size()) next = reader.Run([&drawingOf, &ahead = result[i + 1]] { return drawingOf(ahead); });
      if (!drawing) continue;
      const TMetafile& meta = *drawing;
      exporter.NewPage(at.page, at.bar);
      if (!isSeparatePages) {
        exporter.OffsetX = meta.Width() * at.bar;
        exporter.OffsetY = meta.Height() * at.placed;
      }
      exporter.ExportRecords(meta);
      exporter.PageProcessed(meta);
    }
  };
  auto exportResult = [&](const std::vector<TExportedPage>& result, const std::string& name) {
    exporter.BeginResult(name);
    if (exporter.NeedsLayoutPass()) do {
        exporter.BeginLayoutPass();
        play(result);
        exporter.EndLayoutPass(name);
      } while (exporter.NeedsAnotherLayoutPass());
    play(result);
    exporter.SaveToFile(name);
  };
  if (!isSeparatePages) return exportResult(pages, fileName);
  for (const TExportedPage& at : pages)
    if (GetPage(at.page, at.bar)) exportResult({at}, SeparatePageFileName(fileName, at.page, at.bar));
}

void TZdPrintBaseComponent::ExportTo(const std::string& fileName, bool isSeparatePages,
                                     const TStrings& validPages, const TZdqExportClass& filter) {
  exportTo(fileName, nullptr, isSeparatePages, validPages, filter);
}

void TZdPrintBaseComponent::ExportTo(const std::string& fileName, const TZdqExportClass& filter) {
  TStringList pages;
  for (int page = 1; page <= GetNumPages(); ++page) pages.Add(std::to_string(page));
  exportTo(fileName, nullptr, false, pages, filter);
}

void TZdPrintBaseComponent::ExportTo(std::ostream& out, const TStrings& validPages, const TZdqExportClass& filter) {
  exportTo({}, &out, false, validPages, filter);
}

void TZdPrintBaseComponent::exportTo(const std::string& fileName, std::ostream* stream, bool isSeparatePages,
                                     const TStrings& validPages, const TZdqExportClass& filter) {
  if (!filter) throw std::invalid_argument("ExportTo: no exporter class given");
  const TPageInfo* current = CurrentPage();
  if (!prepared_ || !current) return;

  std::unique_ptr<TZdqExport> exporter = filter(this);
  if (!exporter) throw std::invalid_argument("ExportTo: the exporter class made no exporter");
  exporter->SetDestinationStream(stream);
  exporter->SetProperties(zdProperty_);
  for (int i = 0; i < outlines_.Count(); ++i) {
    const TZdqOutline& entry = outlines_.Items(i);
    exporter->Outlines.push_back({entry.Text, entry.PageNo, entry.BarNo, entry.Top});
  }
  if (AnimatedStatus())
    CreateProgressDlg(GetLanguageShift(), ProgressCaption(), Text(txt::Exporting), Text(txt::Cancel), 0,
                      pages_.Count(), 0);
  ScopeExit closeDialog{[&] {
    if (AnimatedStatus()) DestroyProgressDlg();
  }};

  exporter->intPageWidth = current->PageWidth();
  exporter->intPageHeight = current->PageHeight();
  if (isSeparatePages) {
    exporter->intTotalWidth = current->PageWidth();
    exporter->intTotalHeight = current->PageHeight();
  } else {
    exporter->intTotalWidth = GetNumBars() * current->PageWidth();
    exporter->intTotalHeight = validPages.Count() * current->PageHeight();
  }
  exporter->StartExport();
  ExportPages(*exporter, fileName, isSeparatePages, validPages);
  exporter->EndExport();
}

// ---- prepared-report files ----

void TZdPrintBaseComponent::SavePreparedReportToStream(std::ostream& out) {
  TPreparedReportSaver(*this).SaveToStream(out);
}

void TZdPrintBaseComponent::SavePreparedReport(const std::string& fileName) {
  SavePreparedPages(fileName, false, nullptr);
}

void TZdPrintBaseComponent::SavePreparedPages(const std::string& fileName, bool isSeparatePages,
                                              const TStrings* validPages) {
  TPreparedReportSaver(*this).SavePages(fileName, isSeparatePages, validPages);
}

void TZdPrintBaseComponent::LoadPreparedReportFromStream(std::istream& in) {
  TZqpContent loaded = ReadZqp(in);  // throws before anything here changes
  FreePages();
  const std::size_t memoryLimit = pages_.MemoryLimit();
  pages_ = std::move(loaded.Pages);
  pages_.SetMemoryLimit(memoryLimit);
  zdProperty_.Author = loaded.Header.Author;
  zdProperty_.Keywords = loaded.Header.Keywords;
  zdProperty_.Subject = loaded.Header.Subject;
  zdProperty_.Title = loaded.Header.Title;
  // Counts frozen by an earlier two-pass preparation must not hide the loaded ones.
  producer_.FreezeCounts(loaded.Header.PageCount, loaded.Header.BarCount);
  producer_.SetCurrentPage(0, 0);
  status_ = TStatus::stPrinted;
  prepared_ = true;
}

void TZdPrintBaseComponent::LoadPreparedReport(const std::string& fileName) {
  std::ifstream in = OpenZqpFile(fileName);
  try {
    LoadPreparedReportFromStream(in);
  } catch (EZdError& e) {
    e.SetFileName(fileName);
    throw;
  }
}

bool TZdPrintBaseComponent::SavePageToFile(std::string& fileName, const std::vector<TExportFormat>& exporters) {
  if (!prepared_) PrepareReport();
  if (!prepared_) return false;
  TExportChoice choice;
  if (!AskExportChoice(GetLanguageShift(), exporters, fileName, choice)) return false;
  TPrintChoice range;
  range.Mode = choice.Mode;
  range.RangeText = choice.RangeText;
  const TStringList pages = ChosenPages(range);
  if (choice.FormatIndex == 0) {
    SavePreparedPages(choice.FileName, choice.SeparateFiles, &pages);
  } else if (const TExportFormat& format = exporters[size_t(choice.FormatIndex - 1)]; format.Class) {
    ExportTo(choice.FileName, choice.SeparateFiles, pages, format.Class);
  }
  fileName = choice.FileName;
  return true;
}

// ---- preview ----

void TZdPrintBaseComponent::InternalPreview(bool prepareFirst, TParentWindow parentControl) {
  if (prepareFirst) Prepare();
  if (!prepared_ || pages_.Count() == 0) return;
  if (OnBeforePreview) OnBeforePreview(this);
  if (OnPreview && !IsDesigning()) {
    OnPreview(this);
  } else {
    UserInterface().ShowPreviewWindow(*this, TPreviewRequest{parentControl, outlines_.Count() > 0});
  }
  if (OnAfterPreview) OnAfterPreview(this);
}

}  // namespace zd
