#include "print/PrintZd.h"

#include "host/locale/Clock.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <exception>
#include <set>

#include "expr/PageRange.h"
#include "host/core/TextUtil.h"
#include "host/locale/DateTime.h"
#include "host/printing/Printer.h"
#include "host/ui/Progress.h"
#include "print/PreparedReport.h"
#include "print/TextIds.h"

namespace zd {

namespace {

TPrintDialog& printDialog() {
  static TPrintDialog dialog;
  return dialog;
}

TPreviewWindow& previewWindow() {
  static TPreviewWindow window;
  return window;
}

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

void SetPrintDialog(TPrintDialog dialog) { printDialog() = std::move(dialog); }
void SetPreviewWindow(TPreviewWindow window) { previewWindow() = std::move(window); }

std::string SeparatePageFileName(const std::string& fileName, int page, int bar) {
  const std::string tag = std::to_string(page) + "_" + std::to_string(bar);
  // The first dot of the name itself: dots in directory names are not extensions.
  const size_t slash = fileName.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = fileName.find('.', nameStart);
  if (dot == std::string::npos) return fileName + tag;
  return fileName.substr(0, dot) + tag + fileName.substr(dot);
}

// ---- TPageStore ----

TPageInfo& TPageStore::Add(std::unique_ptr<TPageInfo> page) {
  if (!page) throw std::invalid_argument("TPageStore::Add: no page");
  TPageInfo& added = *page;
  pages_.push_back(std::move(page));
  byIndex_.try_emplace(key(added.intNumPage, added.intNumBar), &added);  // the first one counts
  maxPage_ = std::max(maxPage_, added.intNumPage);
  maxBar_ = std::max(maxBar_, added.intNumBar);
  return added;
}

TPageInfo* TPageStore::Find(int page, int bar) const {
  auto it = byIndex_.find(key(page, bar));
  return it == byIndex_.end() ? nullptr : it->second;
}

void TPageStore::Clear() {
  pages_.clear();
  byIndex_.clear();
  maxPage_ = maxBar_ = -1;
}

// ---- TZdPrintBaseComponent ----

TZdPrintBaseComponent::TZdPrintBaseComponent(TComponent* owner)
    : TComponent(owner), variables_(this), outlines_(this) {
  language_.SetLanguageID(TZdqLangID::lnEnglish);
  language_.SetAutoDetect(false);
}

TZdPrintBaseComponent::~TZdPrintBaseComponent() {
  // The canvas writes into its page when it closes, so it goes first.
  MFCanvas.reset();
  pages_.Clear();
}

TDateTime TZdPrintBaseComponent::Now() const { return zd::Now(); }

std::string TZdPrintBaseComponent::Text(int id) { return GetString(GetLanguageShift(), id); }

int TZdPrintBaseComponent::GetLanguageShift() { return int(language_.GetLangID()) & 0x7F; }

std::string TZdPrintBaseComponent::ProgressCaption() const {
  return zdProperty_.Title.empty() ? ProductVersion : zdProperty_.Title;
}

void TZdPrintBaseComponent::PrepareReport() {
  intCurPage = -1;
  intCurBar = 0;
}

void TZdPrintBaseComponent::FreePages() {
  MFCanvas.reset();
  pages_.Clear();
}

void TZdPrintBaseComponent::BeginDoc() {
  prepared_ = false;
  if (OnBeginDoc) OnBeginDoc(this);
  status_ = TStatus::stPrinting;
  FreePages();
}

void TZdPrintBaseComponent::NewPage(bool isNewBar) {
  if (intCurPage > -1 && OnEndPage) OnEndPage(this, intCurPage + 1, intCurBar);
  if (isNewBar) {
    intCurBar += 1;
    intCurPage = 0;
  } else {
    intCurPage += 1;
  }

  if (AnimatedStatus) {
    std::string prefix;
    int position = 0;
    if (SecondPass()) {
      prefix = Text(txt::SecondPass);
      position = intCurBar * GetNumPages() + intCurPage;
    } else if (twoPass_) {
      prefix = Text(txt::FirstPass);
    }
    UpdateProgressDlg(prefix + FormatNumbers(Text(txt::PreparingPage), {intCurPage + 1, intCurBar + 1}),
                      position);
  }

  auto page = std::make_unique<TPageInfo>();
  page->intNumPage = intCurPage;
  page->intNumBar = intCurBar;
  page->SetPageWidth(printerSetting_.PaperWidthPixels());
  page->SetPageHeight(printerSetting_.PaperHeightPixels());
  page->OffsetLeft = printerSetting_.GetPageOffsetLeft();
  page->OffsetRight = printerSetting_.GetPageOffsetRight();
  page->OffsetTop = printerSetting_.GetPageOffsetTop();
  page->OffsetBottom = printerSetting_.GetPageOffsetBottom();
  TPageInfo& added = pages_.Add(std::move(page));

  intCurHeight = added.OffsetTop;
  intMaxPageHeight = added.PageHeight() - added.OffsetBottom;

  MFCanvas.reset();  // finishes the previous page's metafile
  MFCanvas = std::make_unique<TMetafileCanvas>(added.Data, "ZdReport", ProductVersion);
  try {
    frame_.DrawFrame(*MFCanvas, TRect{added.OffsetLeft, added.OffsetTop, added.PageWidth() - added.OffsetRight,
                                      added.PageHeight() - added.OffsetBottom});
  } catch (const EMetafileError& e) {
    AddWarning(std::string("page frame picture not drawn: ") + e.what());
  }

  if (OnBeginPage) OnBeginPage(this, intCurPage + 1, intCurBar);
}

void TZdPrintBaseComponent::EndDoc() {
  MFCanvas.reset();
  status_ = TStatus::stPrinted;
  if (OnEndDoc) OnEndDoc(this);
  prepared_ = true;
}

int TZdPrintBaseComponent::GetNumBars() const {
  if (SecondPass()) return intNumBars;
  return pages_.MaxBarIndex() + 1;
}

int TZdPrintBaseComponent::GetNumPages() const {
  if (SecondPass()) return intNumPages;
  if (GetNumBars() >= 1) return pages_.MaxPageIndex() + 1;
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
      value = GetPageNoCountBy() * (intCurPage + 1) + GetPageNoStartAt();
      break;
    case TZdqSysDataType::sdPageCount:
      value = GetNumPages();
      break;
    case TZdqSysDataType::sdBarNo:
      value = intCurBar + 1;
      break;
    case TZdqSysDataType::sdBarCount:
      value = GetNumBars();
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
  if (AnimatedStatus) {
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
    if (AnimatedStatus) DestroyProgressDlg();
  }};
  RestorePrinter();
}

void TZdPrintBaseComponent::Prepare() {
  ClearProgressCancel();
  intCurPassNumber = 1;
  bool finished = false;
  ScopeExit abandon{[&] {
    if (finished) return;
    try { PrepareEnd(); } catch (...) {}  // the preparation's own error matters more
  }};
  PrepareStart();
  if (AnimatedStatus) {
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
    intNumBars = GetNumBars();
    intNumPages = GetNumPages();
    intCurPassNumber = 2;
    PrepareStart();
    PrepareReport();
  }
  finished = true;
  PrepareEnd();
}

// ---- printing ----

void TZdPrintBaseComponent::PrintStart() {
  if (AnimatedStatus)
    CreateProgressDlg(GetLanguageShift(), ProgressCaption(), Text(txt::Printing), Text(txt::Cancel), 0,
                      pages_.Count(), 0);
  SavePrinter();
  printerSetting_.SetPrinterSettings();
}

void TZdPrintBaseComponent::PrintEnd() {
  ScopeExit close{[&] {
    if (AnimatedStatus) DestroyProgressDlg();
  }};
  RestorePrinter();
}

void TZdPrintBaseComponent::PrintSheets(TPrintTarget& target, const TStrings& validPages) {
  const int P = GetNumPages(), B = GetNumBars(), C = printerSetting_.Copies();
  const TWantedPages wanted(validPages);
  bool firstSheet = true;
  auto sheet = [&](int p, int b, int c) {
    if (AnimatedStatus)
      UpdateProgressDlg(FormatNumbers(Text(txt::PrintingPage), {p, b + 1, c}), B * p + b);
    if (!wanted.Has(p)) return;
    const TPageInfo* page = GetPage(p - 1, b);
    if (!page) return;
    // Breaking before every sheet but the first leaves none after the last.
    if (!firstSheet) target.NewPage();
    firstSheet = false;
    target.DrawPage(page->Data);
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
    list.Add(std::to_string(intCurPage + 1));
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
  if (printDialog() && !printDialog()(request, choice)) return;

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

void TZdPrintBaseComponent::ExportPages(TZdqExport& exporter, const std::string& fileName,
                                        bool isSeparatePages, const TStrings& validPages) {
  const int P = GetNumPages(), B = GetNumBars();
  const TWantedPages wanted(validPages);
  int placed = 0;  // selected pages before this one: unselected ones leave no gap
  for (int p = 0; p < P; ++p) {
    for (int b = 0; b < B; ++b) {
      if (AnimatedStatus) UpdateProgressDlg(FormatNumbers(Text(txt::ExportingPage), {p + 1, b + 1}), B * p + b);
      if (!wanted.Has(p + 1)) continue;
      const TPageInfo* page = GetPage(p, b);
      if (!page) continue;
      const TMetafile& meta = page->Data;
      exporter.NewPage(p, b);
      if (!isSeparatePages) {
        exporter.OffsetX = meta.Width() * b;
        exporter.OffsetY = meta.Height() * placed;
      }
      exporter.ExportRecords(meta);
      exporter.PageProcessed(meta);
      if (isSeparatePages) exporter.SaveToFile(SeparatePageFileName(fileName, p, b));
    }
    if (wanted.Has(p + 1)) ++placed;
  }
  if (!isSeparatePages) exporter.SaveToFile(fileName);
}

void TZdPrintBaseComponent::ExportTo(const std::string& fileName, bool isSeparatePages,
                                     const TStrings& validPages, const TZdqExportClass& filter) {
  if (!filter) throw std::invalid_argument("ExportTo: no exporter class given");
  const TPageInfo* current = CurrentPage();
  if (!prepared_ || !current) return;

  std::unique_ptr<TZdqExport> exporter = filter(this);
  if (!exporter) throw std::invalid_argument("ExportTo: the exporter class made no exporter");
  exporter->SetProperties(zdProperty_);
  for (int i = 0; i < outlines_.Count(); ++i) {
    const TZdqOutline& entry = outlines_.Items(i);
    exporter->Outlines.push_back({entry.Text, entry.PageNo, entry.BarNo, entry.Top});
  }
  if (AnimatedStatus)
    CreateProgressDlg(GetLanguageShift(), ProgressCaption(), Text(txt::Exporting), Text(txt::Cancel), 0,
                      pages_.Count(), 0);
  ScopeExit closeDialog{[&] {
    if (AnimatedStatus) DestroyProgressDlg();
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
  pages_ = std::move(loaded.Pages);
  zdProperty_.Author = loaded.Header.Author;
  zdProperty_.Keywords = loaded.Header.Keywords;
  zdProperty_.Subject = loaded.Header.Subject;
  zdProperty_.Title = loaded.Header.Title;
  // Counts frozen by an earlier two-pass preparation must not hide the loaded ones.
  intNumPages = loaded.Header.PageCount;
  intNumBars = loaded.Header.BarCount;
  intCurPage = 0;
  intCurBar = 0;
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

void TZdPrintBaseComponent::InternalPreview(bool prepareFirst, void* parentControl) {
  if (prepareFirst) Prepare();
  if (!prepared_ || pages_.Count() == 0) return;
  if (OnBeforePreview) OnBeforePreview(this);
  if (OnPreview && !IsDesigning()) {
    OnPreview(this);
  } else if (previewWindow()) {
    previewWindow()(*this, TPreviewRequest{parentControl, outlines_.Count() > 0});
  }
  if (OnAfterPreview) OnAfterPreview(this);
}

}  // namespace zd
