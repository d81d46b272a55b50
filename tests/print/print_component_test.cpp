// The print base component through what it produces: the page store, the
// metafiles of the pages, the sheets sent to a print target and the calls an
// exporter receives.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "host/printing/Printer.h"
#include "host/ui/Progress.h"
#include "host/locale/Clock.h"
#include "print/CompositeReport.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/ScriptedUserInterface.h"

namespace zd {
namespace {

// Every page carries a rectangle whose left edge encodes (page, bar).
int MarkerLeft(int page, int bar) { return 1000 + 10 * page + bar; }

std::string MarkerOf(const TMetafile& meta) {
  std::string marker = "?";
  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState&) {
    if (r.Type == EMR_RECTANGLE && r.I32(8) >= 1000) {
      const int v = r.I32(8) - 1000;
      marker = std::to_string(v / 10 + 1) + "." + std::to_string(v % 10);
      return false;
    }
    return true;
  });
  return marker;
}

class TestReport : public TZdPrintComponent {
 public:
  using TZdPrintComponent::TZdPrintComponent;
  int pageCount = 3;
  int barCount = 1;
  bool makeNoPages = false;
  std::function<void(TestReport&)> onPage;

  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    if (makeNoPages) return;
    BeginDoc();
    for (int b = 0; b < barCount; ++b)
      for (int p = 0; p < pageCount; ++p) {
        NewPage(b > 0 && p == 0);
        const TPageProducer& producer = Producer();
        producer.MFCanvas()->Rectangle(TRect{MarkerLeft(producer.intCurPage(), producer.intCurBar()), 0, 1100, 20});
        if (onPage) onPage(*this);
      }
    EndDoc();
  }

  TVariant Lookup(const std::string& name, bool* accepted = nullptr, TFieldType* type = nullptr) {
    bool accept = false;
    TFieldType t = TFieldType::ftUnknown;
    TVariant value;
    ZdqGetVariable(this, name, accept, t, value);
    if (accepted) *accepted = accept;
    if (type) *type = t;
    return value;
  }
};

class RecordingTarget : public TPrintTarget {
 public:
  std::vector<std::string> log;
  int copies = 3;
  int copiesDuringDoc = 0;
  void BeginDoc(const std::string& title) override {
    copiesDuringDoc = copies;
    log.push_back("begin " + title);
  }
  void DrawPage(const TMetafile& page) override { log.push_back(MarkerOf(page)); }
  void NewPage() override { log.push_back("|"); }
  void EndDoc() override { log.push_back("end"); }
  void Abort() override { log.push_back("abort"); }
  int Copies() const override { return copies; }
  void SetCopies(int c) override { copies = c; }
  // The drawn pages only, in order.
  std::vector<std::string> Sheets() const {
    std::vector<std::string> s;
    for (const auto& e : log)
      if (e != "|" && e.rfind("begin", 0) != 0 && e != "end") s.push_back(e);
    return s;
  }
};

class PrintComponentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  test::TScriptedUserInterface ui;
  TestReport report;
};

TEST_F(PrintComponentTest, PagesAndBarsAreNumberedFromZeroAndEventsSeeOneBasedPages) {
  report.pageCount = 2;
  report.barCount = 2;
  std::vector<std::string> events;
  report.OnBeginPage = [&](TComponent*, int p, int b) { events.push_back("B" + std::to_string(p) + std::to_string(b)); };
  report.OnEndPage = [&](TComponent*, int p, int b) { events.push_back("E" + std::to_string(p) + std::to_string(b)); };
  std::vector<std::string> barNumbers;
  report.onPage = [&](TestReport& r) {
    barNumbers.push_back(std::to_string(r.Lookup("BarNo").asInteger()) + "/" +
                         std::to_string(r.Lookup("BarCount").asInteger()));
  };
  report.PrepareReport();

  ASSERT_EQ(report.Pages().Count(), 4);
  const std::vector<std::pair<int, int>> expected{{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(report.Pages().At(i).intNumPage, expected[i].first);
    EXPECT_EQ(report.Pages().At(i).intNumBar, expected[i].second);
    EXPECT_EQ(MarkerOf(*report.Pages().At(i).Drawing()),
              std::to_string(expected[i].first + 1) + "." + std::to_string(expected[i].second));
  }
  EXPECT_EQ(events, (std::vector<std::string>{"B10", "E10", "B20", "E20", "B11", "E11", "B21"}));
  // Bar counts grow while pages are made in a single pass.
  EXPECT_EQ(barNumbers, (std::vector<std::string>{"1/1", "1/1", "2/2", "2/2"}));
  EXPECT_EQ(report.NumPages(), 2);
  EXPECT_EQ(report.NumBars(), 2);
  EXPECT_EQ(report.GetPage(1, 1), &report.Pages().At(3));
  EXPECT_EQ(report.GetPage(2, 0), nullptr);
  EXPECT_TRUE(report.Prepared());
  EXPECT_EQ(report.Status(), TStatus::stPrinted);
  EXPECT_EQ(report.Producer().MFCanvas(), nullptr);
}

TEST_F(PrintComponentTest, BeginDocDiscardsThePreviousPagesAndPreparingTheOutlines) {
  report.PrepareReport();
  report.pageCount = 1;
  report.Outlines().Add().Text = "old";
  std::vector<bool> preparedAtBegin;
  report.OnBeginDoc = [&](TComponent*) { preparedAtBegin.push_back(report.Prepared()); };
  report.SetAnimatedStatus(false);
  report.Prepare();
  EXPECT_EQ(report.Pages().Count(), 1);
  EXPECT_EQ(preparedAtBegin, std::vector<bool>{false});
  EXPECT_EQ(report.Outlines().Count(), 0);
}

// ---- several components' pages as one document ----

class CompositeReportTest : public PrintComponentTest {
 protected:
  CompositeReportTest() {
    for (TestReport* member : {&report, &second}) member->SetAnimatedStatus(false);
    second.pageCount = 2;
  }
  std::vector<std::string> Markers(const TZdPrintBaseComponent& document) {
    std::vector<std::string> markers;
    for (int i = 0; i < document.Pages().Count(); ++i) {
      const TPageInfo& page = document.Pages().At(i);
      markers.push_back(std::to_string(page.intNumPage) + "," + std::to_string(page.intNumBar) + ":" +
                        MarkerOf(*page.Drawing()));
    }
    return markers;
  }
  TestReport second;
  TZdqCompositeReport composite;
};

TEST_F(CompositeReportTest, MembersPagesFollowOneAnotherSharedButKeepingTheMembersOwnNumbers) {
  composite.AddReport(report);
  composite.AddReport(second);
  composite.Prepare();
  EXPECT_EQ(Markers(composite),
            (std::vector<std::string>{"0,0:1.0", "1,0:2.0", "2,0:3.0", "3,0:1.0", "4,0:2.0"}));
  EXPECT_EQ(composite.NumPages(), 5);
  // The drawing itself, not a copy; the member still finds its pages by its own numbers.
  EXPECT_EQ(composite.GetPage(3, 0)->Drawing(), second.Pages().At(0).Drawing());
  EXPECT_EQ(Markers(second), (std::vector<std::string>{"0,0:1.0", "1,0:2.0"}));
  EXPECT_EQ(second.GetPage(1, 0), &second.Pages().At(1));

  // A member prepared again makes new pages; the joined ones stay until the composite prepares.
  second.pageCount = 1;
  second.Prepare();
  EXPECT_EQ(composite.NumPages(), 5);
  EXPECT_EQ(MarkerOf(*composite.GetPage(4, 0)->Drawing()), "2.0");

  // Removing: a bad index does nothing; the member removed is left out.
  composite.RemoveReport(2);
  composite.RemoveReport(-1);
  composite.RemoveReport(0);
  ASSERT_EQ(composite.Reports(), (std::vector<TZdPrintBaseComponent*>{&second}));
  composite.Prepare();
  EXPECT_EQ(Markers(composite), (std::vector<std::string>{"0,0:1.0"}));
  composite.ClearReports();
  EXPECT_TRUE(composite.Reports().empty());
  EXPECT_EQ(composite.Pages().Count(), 0);
  EXPECT_EQ(second.Pages().Count(), 1);  // the members keep theirs
}

TEST_F(CompositeReportTest, AnEmptyCompositeIsOnePageCarryingOnlyItsFrame) {
  composite.Frame().SetFrameType(ftTop);
  composite.Prepare();
  ASSERT_EQ(composite.Pages().Count(), 1);
  std::vector<int> types;
  EnumerateMetafile(*composite.Pages().At(0).Drawing(), [&](const TEmfRecord& r, const TEmfState&) {
    if (r.Type == EMR_LINETO || r.Type == EMR_RECTANGLE) types.push_back(int(r.Type));
    return true;
  });
  EXPECT_EQ(types, std::vector<int>{EMR_LINETO});
}

TEST_F(CompositeReportTest, BarsOfEveryMemberComeAlongAndTheWidestMemberSetsTheBarCount) {
  report.pageCount = 2;
  report.barCount = 2;
  second.pageCount = 1;
  composite.AddReport(report);
  composite.AddReport(second);
  composite.Prepare();
  EXPECT_EQ(Markers(composite), (std::vector<std::string>{"0,0:1.0", "1,0:2.0", "0,1:1.1", "1,1:2.1", "2,0:1.0"}));
  EXPECT_EQ(composite.NumPages(), 3);
  EXPECT_EQ(composite.NumBars(), 2);
  EXPECT_EQ(composite.GetPage(2, 1), nullptr);
}

// Spilled drawings are shared as they lie in the member's file, which lives
// on with the composite after the member is gone; the member leaves the list.
TEST_F(CompositeReportTest, SpilledPagesOutliveTheirMemberWhichLeavesTheComposite) {
  auto spilling = std::make_unique<TestReport>();
  spilling->SetAnimatedStatus(false);
  spilling->SetPageMemoryLimit(1);
  composite.AddReport(*spilling);
  composite.AddReport(report);
  composite.Prepare();
  ASSERT_EQ(spilling->Pages().At(0).ResidentBytes(), 0u);
  spilling.reset();
  EXPECT_EQ(composite.Reports(), (std::vector<TZdPrintBaseComponent*>{&report}));
  ASSERT_EQ(composite.Pages().Count(), 6);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(composite.Pages().At(i).Drawing()->Bytes(), report.Pages().At(i).Drawing()->Bytes()) << i;
}

TEST_F(CompositeReportTest, ContinuousNumbersRunOnAcrossMembersAndCountTheWholeDocument) {
  std::vector<std::string> seen;
  for (TestReport* member : {&report, &second})
    member->onPage = [&](TestReport& r) {
      seen.push_back(std::to_string(r.Lookup("PageNo").asInteger()) + "/" +
                     std::to_string(r.Lookup("PageCount").asInteger()));
    };
  composite.AddReport(report);
  composite.AddReport(second);
  composite.Prepare();
  EXPECT_EQ(seen, (std::vector<std::string>{"1/1", "2/2", "3/3", "1/1", "2/2"}));  // each its own

  seen.clear();
  composite.SetContinuousPageNumbers(true);
  composite.Prepare();
  ASSERT_EQ(seen.size(), 10u);  // counted first, then made
  EXPECT_EQ(std::vector<std::string>(seen.begin() + 5, seen.end()),
            (std::vector<std::string>{"1/5", "2/5", "3/5", "4/5", "5/5"}));
  second.Prepare();
  EXPECT_EQ(seen.back(), "2/2");  // on its own again

  // Cancelling the composite cancels the member being prepared and skips the rest.
  bool memberCancelled = false;
  report.onPage = [&](TestReport& r) {
    if (r.Producer().intCurPage() == 1) composite.Cancel();
    memberCancelled = r.PrepareCancelled();
  };
  second.onPage = nullptr;
  composite.SetContinuousPageNumbers(false);
  composite.Prepare();
  EXPECT_TRUE(memberCancelled);
  EXPECT_EQ(Markers(composite), (std::vector<std::string>{"0,0:1.0", "1,0:2.0", "2,0:3.0"}));
  EXPECT_FALSE(report.PrepareCancelled());  // its next preparation is its own
}

TEST_F(CompositeReportTest, OutlinesFollowTheirPagesAndTheWholeSavesAsOnePreparedReport) {
  second.onPage = [](TestReport& r) {
    TZdqOutline& outline = r.Outlines().Add();
    outline.Text = "part " + std::to_string(r.Producer().intCurPage());
    outline.PageNo = r.Producer().intCurPage();
  };
  composite.AddReport(report);
  composite.AddReport(second);
  composite.Prepare();
  ASSERT_EQ(composite.Outlines().Count(), 2);
  EXPECT_EQ(composite.Outlines().Items(1).Text, "part 1");
  EXPECT_EQ(composite.Outlines().Items(1).PageNo, 4);

  std::stringstream file;
  composite.SavePreparedReportToStream(file);
  TestReport loaded;
  loaded.LoadPreparedReportFromStream(file);
  EXPECT_EQ(Markers(loaded), Markers(composite));
  EXPECT_EQ(loaded.NumPages(), 5);
}

TEST_F(CompositeReportTest, ACompositeCannotContainItself) {
  EXPECT_THROW(composite.AddReport(composite), std::invalid_argument);
  TZdqCompositeReport outer;
  outer.AddReport(composite);
  composite.AddReport(outer);
  EXPECT_THROW(outer.Prepare(), std::logic_error);
  // The failure leaves nothing marked as still preparing.
  composite.RemoveReport(0);
  composite.AddReport(report);
  EXPECT_NO_THROW(outer.Prepare());
  EXPECT_EQ(outer.NumPages(), 3);
}

// Past the memory limit finished pages leave memory for a temporary file;
// they come back byte for byte and in order, also through a store sharing
// them after the store that spilled them is gone.
TEST_F(PrintComponentTest, SpilledPagesReadBackWholeInOrderAndOutliveTheStoreThatSpilledThem) {
  report.pageCount = 4;
  report.barCount = 2;
  report.SetPageMemoryLimit(0);
  report.PrepareReport();
  auto spilling = std::make_unique<TestReport>();
  spilling->pageCount = 4;
  spilling->barCount = 2;
  spilling->SetPageMemoryLimit(1);
  spilling->PrepareReport();

  TPageStore joined;
  for (int i = 0; i < spilling->Pages().Count(); ++i) {
    EXPECT_EQ(spilling->Pages().At(i).ResidentBytes(), 0u) << "page " << i << " stayed in memory";
    joined.Add(spilling->Pages().Shared(i));
  }
  spilling.reset();
  ASSERT_EQ(joined.Count(), report.Pages().Count());
  for (int i = 0; i < joined.Count(); ++i) {
    const std::shared_ptr<const TMetafile> got = joined.At(i).Drawing(), kept = report.Pages().At(i).Drawing();
    EXPECT_EQ(got->Bytes(), kept->Bytes()) << "page " << i;
    EXPECT_EQ(got->Width(), kept->Width());
    EXPECT_EQ(got->Height(), kept->Height());
  }
  EXPECT_GT(report.Pages().At(0).ResidentBytes(), 0u);  // no limit, no spill
}

// Spilled drawings wait for the file's writer thread in batches: read while
// queued or once written they are the same, and a size set after spilling
// applies.
TEST(PageSpillFileTest, DrawingsReadBackTheSameWhileQueuedAndOnceWritten) {
  auto file = std::make_shared<TPageSpillFile>();
  std::vector<TPageInfo> pages(40);
  std::vector<TBytes> drawn;
  std::vector<TPageInfo*> batch;
  size_t batchSize = 1;  // batches of one to five pages
  for (size_t i = 0; i < pages.size(); ++i) {
    pages[i].SetPageWidth(300);
    pages[i].SetPageHeight(200);
    TMetafileCanvas(pages[i].RecordingTarget()).Rectangle(TRect{int(i), 10, 200, 100});
    drawn.push_back(pages[i].Drawing()->Bytes());
    ASSERT_FALSE(drawn.back().empty());
    batch.push_back(&pages[i]);
    if (batch.size() == batchSize) {
      TPageInfo::SpillTo(batch, file);
      batch.clear();
      batchSize = batchSize % 5 + 1;
    }
    if (i % 3 == 0) pages[i].SetPageWidth(310);
  }
  TPageInfo::SpillTo(batch, file);
  for (size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].ResidentBytes(), 0u);
    const std::shared_ptr<const TMetafile> back = pages[i].Drawing();
    EXPECT_EQ(back->Bytes(), drawn[i]) << "page " << i;
    EXPECT_EQ(back->Width(), i % 3 == 0 ? 310 : 300) << "page " << i;
    EXPECT_EQ(back->Height(), 200);
  }
}

TEST(PageSpillFileTest, AReadThatDoesNotMatchWhatWasWrittenIsAnErrorSayingSo) {
  TMetafile drawing;
  TMetafileCanvas(drawing).Rectangle(TRect{10, 10, 200, 100});
  TPageSpillFile file;
  file.Write(drawing);
  const TPageSpillFile::TSlot slot = file.Write(drawing);
  EXPECT_EQ(file.Read(slot).Bytes(), drawing.Bytes());

  const auto expectError = [&](TPageSpillFile::TSlot bad, const std::string& expected) {
    try {
      file.Read(bad);
      ADD_FAILURE() << "read back without error; expected \"" << expected << "\"";
    } catch (const EPageSpillError& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  };
  TPageSpillFile::TSlot past = slot;
  past.StoredSize += 1;
  expectError(past, "lies outside the file");
  TPageSpillFile::TSlot shifted = slot;
  shifted.Offset -= 1;
  expectError(shifted, "is corrupt");
  TPageSpillFile::TSlot cut = slot;
  cut.StoredSize -= 1;
  expectError(cut, "is corrupt");
  TPageSpillFile::TSlot otherSize = slot;
  otherSize.Size += 4;
  expectError(otherSize, "is corrupt");
}

TEST_F(PrintComponentTest, PagesAreA4OnTheVirtualPrinterAndCarryTheirDescription) {
  report.PrinterSetting().SetPaperSize(TZdqPaperSize::psA4);
  std::vector<int> heights;
  report.onPage = [&](TestReport& r) { heights = {r.Producer().intCurHeight(), r.Producer().intMaxPageHeight()}; };
  report.pageCount = 1;
  report.PrepareReport();
  const TPageInfo& page = report.Pages().At(0);
  EXPECT_EQ(page.PageWidth(), 794);
  EXPECT_EQ(page.PageHeight(), 1123);
  EXPECT_EQ(page.Drawing()->Width(), 794);
  EXPECT_EQ(page.Drawing()->Height(), 1123);
  EXPECT_EQ(heights, (std::vector<int>{page.OffsetTop, 1123 - page.OffsetBottom}));
  EXPECT_EQ(page.Drawing()->Creator(), "ZdReport");
  EXPECT_EQ(page.Drawing()->Title(), report.ProductVersion);
}

TEST_F(PrintComponentTest, PageFrameIsDrawnInsideTheOffsets) {
  report.Frame().SetFrameType(ftTop);
  report.pageCount = 1;
  report.PrepareReport();
  const TPageInfo& page = report.Pages().At(0);
  std::vector<TPoint> line;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& r, const TEmfState& s) {
    if (r.Type == EMR_LINETO) line = {s.Position, TPoint{r.I32(8), r.I32(12)}};
    return true;
  });
  ASSERT_EQ(line.size(), 2u);
  EXPECT_EQ(line[0], (TPoint{page.OffsetLeft, page.OffsetTop}));
  EXPECT_EQ(line[1], (TPoint{page.PageWidth() - page.OffsetRight, page.OffsetTop}));
}

TEST_F(PrintComponentTest, PageCountIsPagesSoFarInOnePassAndTheFinalCountInTwoPasses) {
  report.pageCount = 10;
  std::vector<int64_t> counts;
  report.onPage = [&](TestReport& r) { counts.push_back(r.Lookup("PageCount").asInteger()); };
  report.Prepare();
  ASSERT_EQ(counts.size(), 10u);
  EXPECT_EQ(counts[2], 3);

  counts.clear();
  report.SetTwoPass(true);
  report.Prepare();
  ASSERT_EQ(counts.size(), 20u);
  EXPECT_EQ(counts[2], 3);  // first pass
  for (size_t i = 10; i < 20; ++i) EXPECT_EQ(counts[i], 10) << "second-pass page " << i - 9;
  EXPECT_EQ(report.Pages().Count(), 10);
  EXPECT_EQ(ProgressStatus(), "Second pass: Preparing page 10 on the bar 1...");
  EXPECT_EQ(ProgressPosition(), 9);
}

class NumberedReport : public TestReport {
 public:
  int GetPageNoCountBy() const override { return 2; }
  int GetPageNoStartAt() const override { return 10; }
};

TEST_F(PrintComponentTest, PageNumberFollowsCountByAndStartAt) {
  NumberedReport numbered;
  std::vector<int64_t> numbers;
  numbered.onPage = [&](TestReport& r) { numbers.push_back(r.Lookup("PageNo").asInteger()); };
  numbered.PrepareReport();
  EXPECT_EQ(numbers, (std::vector<int64_t>{12, 14, 16}));
}

TEST_F(PrintComponentTest, VariableLookupTriesSystemValuesThenVariablesThenTheHandler) {
  report.PrepareReport();
  auto addVariable = [&](const std::string& name, const TVariant& value) {
    TZdqVariable* variable = report.Variables().Add();
    variable->SetName(name);
    variable->SetCurValue(value);
  };
  addVariable("PageNo", TVariant("shadowed"));
  addVariable("Total", TVariant());
  addVariable("Name", TVariant(int64_t(7)));

  bool accepted = false;
  TFieldType type{};
  TVariant v = report.Lookup(" pageno ", &accepted, &type);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(type, TFieldType::ftInteger);
  EXPECT_EQ(v, TVariant(int64_t(3)));  // the last page made

  v = report.Lookup("total", &accepted, &type);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(type, TFieldType::ftString);
  EXPECT_EQ(v, TVariant(std::string()));
  EXPECT_EQ(report.Lookup("NAME"), TVariant(int64_t(7)));

  report.Lookup("nothing", &accepted);
  EXPECT_FALSE(accepted);

  std::vector<std::string> asked;
  report.OnGetVariable = [&](TComponent*, const std::string& name, bool& accept, TFieldType& t, TVariant& value) {
    asked.push_back(name);
    if (name == " pageno ") value = TVariant("overridden");
    if (name == "Extra") { accept = true; t = TFieldType::ftInteger; value = 42; }
  };
  EXPECT_EQ(report.Lookup(" pageno "), TVariant("overridden"));
  EXPECT_EQ(report.Lookup("Extra", &accepted), TVariant(42));
  EXPECT_TRUE(accepted);
  EXPECT_EQ(asked, (std::vector<std::string>{" pageno ", "Extra"}));
}

TEST_F(PrintComponentTest, SystemValuesComeFromTheClockAndTheDocumentProperties) {
  // The default clock: the local date in days since 1899.
  const int64_t today = report.Lookup("Date").asInteger();
  const double now = report.Lookup("DateTime").asDateTime().days;
  EXPECT_GT(today, 44927);  // after 1 January 2023
  EXPECT_LE(std::abs(double(today) - std::floor(now)), 1.0);  // equal unless midnight passed
  const double daytime = report.Lookup("Time").asFloat();
  EXPECT_GE(daytime, 0.0);
  EXPECT_LT(daytime, 1.0);

  TClockOverride clock(TDateTime{45000.75});
  report.ZdProperty().Author = "Ann";
  report.ZdProperty().Title = "Sales";
  TFieldType type{};
  bool accepted = false;
  EXPECT_EQ(report.Lookup("Date", &accepted, &type), TVariant(int64_t(45000)));
  EXPECT_EQ(type, TFieldType::ftDate);
  EXPECT_EQ(report.Lookup("Time", &accepted, &type), TVariant(0.75));
  EXPECT_EQ(type, TFieldType::ftTime);
  EXPECT_EQ(report.Lookup("DateTime"), TVariant(TDateTime{45000.75}));
  EXPECT_EQ(report.Lookup("Author"), TVariant("Ann"));
  EXPECT_EQ(report.Lookup("ReportTitle"), TVariant("Sales"));
  EXPECT_EQ(report.Lookup("DetailNo"), TVariant(-1));
  EXPECT_EQ(report.Lookup("ColumnNo"), TVariant(1));
  EXPECT_EQ(report.Lookup("ColumnCount"), TVariant(1));
  // BandLineNo is the report engine's: the value passed in stays.
  TVariant untouched("keep");
  report.ZdqGetVariable(&report, "BandLineNo", accepted, type, untouched);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(untouched, TVariant("keep"));
}

TEST_F(PrintComponentTest, CopiesAreMadeByTheLoopInCollationOrder) {
  RecordingTarget target;
  report.SetPrintTarget(&target);
  report.ZdProperty().Title = "Doc";
  report.PrepareReport();
  report.PrinterSetting().SetCopies(2);
  const TStringList firstTwo{"1", "2"};

  report.PrinterSetting().SetCollate(false);
  report.PrintPages(firstTwo);
  EXPECT_EQ(target.log, (std::vector<std::string>{"begin Doc", "1.0", "|", "1.0", "|", "2.0", "|", "2.0", "end"}));
  EXPECT_EQ(target.copiesDuringDoc, 1);
  EXPECT_EQ(target.copies, 3);  // given back after the document

  target.log.clear();
  report.PrinterSetting().SetCollate(true);
  report.PrintPages(firstTwo);
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"1.0", "2.0", "1.0", "2.0"}));
  EXPECT_EQ(target.log.back(), "end");
  EXPECT_EQ(target.log[target.log.size() - 2], "2.0");
}

TEST_F(PrintComponentTest, PrintingCoversEveryBarOfAListedPageAndPreparesWhenNeeded) {
  RecordingTarget target;
  report.SetPrintTarget(&target);
  report.barCount = 2;
  int before = 0, after = 0;
  report.OnBeforePrint = [&](TComponent*) { ++before; };
  report.OnAfterPrint = [&](TComponent*) { ++after; };
  report.PrintPages(TStringList{"2", "x", "9"});
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"2.0", "2.1"}));
  EXPECT_EQ(before, 1);
  EXPECT_EQ(after, 1);

  target.log.clear();
  report.PrintReport();
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"1.0", "1.1", "2.0", "2.1", "3.0", "3.1"}));
}

TEST_F(PrintComponentTest, NothingIsPrintedOrPreviewedWhenNoPageCanBePrepared) {
  RecordingTarget target;
  report.SetPrintTarget(&target);
  report.makeNoPages = true;
  int events = 0, windows = 0;
  report.OnBeforePrint = report.OnBeforePreview = report.OnPreview = report.OnAfterPreview = [&](TComponent*) {
    ++events;
  };
  ui.previewWindow = [&](TZdPrintBaseComponent&, const TPreviewRequest&) { ++windows; };
  report.PrintReport();
  report.Print();
  report.Preview();
  EXPECT_TRUE(target.log.empty());
  EXPECT_EQ(events, 0);
  EXPECT_EQ(windows, 0);
}

TEST_F(PrintComponentTest, PrintTakesPagesCopiesAndCollationFromTheDialog) {
  RecordingTarget target;
  report.SetPrintTarget(&target);
  report.pageCount = 5;
  report.PrepareReport();

  TPrintChoice wanted;
  wanted.Mode = TPageRangeMode::prEven;
  std::vector<std::string> printersOffered;
  ui.printDialog = [&](const TPrintDialogRequest& request, TPrintChoice& choice) {
    printersOffered = request.Printers;
    choice.Mode = wanted.Mode;
    choice.RangeText = wanted.RangeText;
    choice.CopiesText = wanted.CopiesText;
    choice.Collate = wanted.Collate;
    return true;
  };
  report.Print();
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"2.0", "4.0"}));
  EXPECT_EQ(printersOffered, std::vector<std::string>{TSystemPrinter::VirtualPrinterName});

  target.log.clear();
  wanted.Mode = TPageRangeMode::prOdd;
  wanted.CopiesText = "2";
  wanted.Collate = true;
  report.Print();
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"1.0", "3.0", "5.0", "1.0", "3.0", "5.0"}));

  target.log.clear();
  wanted.Mode = TPageRangeMode::prRange;
  wanted.RangeText = "4-3,abc,2,99";
  wanted.CopiesText = "two";
  report.Print();
  EXPECT_EQ(target.Sheets(), (std::vector<std::string>{"2.0", "3.0", "4.0"}));
  EXPECT_EQ(report.PrinterSetting().Copies(), 1);

  target.log.clear();
  wanted.Mode = TPageRangeMode::prCurrent;
  report.Print();
  EXPECT_EQ(target.Sheets(), std::vector<std::string>{"5.0"});

  target.log.clear();
  ui.printDialog = [](const TPrintDialogRequest&, TPrintChoice&) { return false; };
  report.Print();
  EXPECT_TRUE(target.log.empty());
}

// Logs what the driver hands to an exporter.
class RecordingExport : public TZdqExport {
 public:
  using TZdqExport::TZdqExport;
  static std::vector<std::string>* log;
  static std::string author;
  static std::vector<int> geometry;
  void StartExport() override {
    geometry = {intPageWidth, intPageHeight, intTotalWidth, intTotalHeight};
    author = Properties().Author;
    log->push_back("start");
  }
  void NewPage(int page, int bar) override {
    log->push_back("page " + std::to_string(page) + "," + std::to_string(bar));
    records_ = 0;
  }
  void ExportEMFRecord(const TEmfRecord&, const TEmfState&) override { ++records_; }
  void PageProcessed(const TMetafile& meta) override {
    EXPECT_EQ(uint32_t(records_), meta.RecordCount());
    log->push_back("done " + MarkerOf(meta) + " at " + std::to_string(OffsetX) + "," + std::to_string(OffsetY));
  }
  void SaveToFile(const std::string& name) override {
    TZdqExport::SaveToFile(name);
    log->push_back("save " + name);
  }
  void EndExport() override { log->push_back("end"); }

 private:
  int records_ = 0;
};
std::vector<std::string>* RecordingExport::log = nullptr;
std::string RecordingExport::author;
std::vector<int> RecordingExport::geometry;

TEST_F(PrintComponentTest, ExportToSeparateFilesNamesEachPageAndBar) {
  std::vector<std::string> log;
  RecordingExport::log = &log;
  report.SetAnimatedStatus(false);
  report.ZdProperty().Author = "Ann";
  report.pageCount = 3;
  report.PrepareReport();
  report.ExportTo("out.htm", true, TStringList{"1", "3"}, ExportClassOf<RecordingExport>());
  EXPECT_EQ(log, (std::vector<std::string>{"start", "page 0,0", "done 1.0 at 0,0", "save out0_0.htm",
                                           "page 2,0", "done 3.0 at 0,0", "save out2_0.htm", "end"}));
  EXPECT_EQ(RecordingExport::author, "Ann");
  const TPageInfo& page = report.Pages().At(0);
  EXPECT_EQ(RecordingExport::geometry,
            (std::vector<int>{page.PageWidth(), page.PageHeight(), page.PageWidth(), page.PageHeight()}));

  log.clear();
  report.ExportTo("dir.v2/out", true, TStringList{"2"}, ExportClassOf<RecordingExport>());
  EXPECT_EQ(log[3], "save dir.v2/out1_0");  // dots of directories are not extensions
  EXPECT_EQ(SeparatePageFileName("report.tar.gz", 12, 3), "report12_3.tar.gz");
  EXPECT_EQ(report.ComponentCount(), 0);  // the exporter is gone
}

TEST_F(PrintComponentTest, ExportToOneFileOffsetsEachPageInsideTheWhole) {
  std::vector<std::string> log;
  RecordingExport::log = &log;
  report.pageCount = 2;
  report.barCount = 2;
  report.PrepareReport();
  const int w = report.Pages().At(0).Drawing()->Width(), h = report.Pages().At(0).Drawing()->Height();
  report.ExportTo("all.csv", false, TStringList{"1", "2"}, ExportClassOf<RecordingExport>());
  const auto at = [](int x, int y) { return " at " + std::to_string(x) + "," + std::to_string(y); };
  EXPECT_EQ(log, (std::vector<std::string>{"start", "page 0,0", "done 1.0" + at(0, 0), "page 0,1",
                                           "done 1.1" + at(w, 0), "page 1,0", "done 2.0" + at(0, h),
                                           "page 1,1", "done 2.1" + at(w, h), "save all.csv", "end"}));
  const TPageInfo& page = report.Pages().At(0);
  EXPECT_EQ(RecordingExport::geometry,
            (std::vector<int>{page.PageWidth(), page.PageHeight(), 2 * page.PageWidth(), 2 * page.PageHeight()}));
}

TEST_F(PrintComponentTest, PreviewGoesToTheHandlerOrToTheWindow) {
  std::vector<std::string> events;
  report.OnBeforePreview = [&](TComponent*) { events.push_back("before"); };
  report.OnPreview = [&](TComponent*) { events.push_back("preview"); };
  report.OnAfterPreview = [&](TComponent*) { events.push_back("after"); };
  std::vector<TPreviewRequest> windows;
  ui.previewWindow = [&](TZdPrintBaseComponent& r, const TPreviewRequest& req) {
    EXPECT_EQ(&r, &report);
    windows.push_back(req);
  };
  report.Preview();
  EXPECT_EQ(events, (std::vector<std::string>{"before", "preview", "after"}));
  EXPECT_TRUE(windows.empty());

  // In the designer the built-in window shows even with a handler.
  events.clear();
  report.SetDesigning(true);
  report.Outlines().Add().Text = "Chapter";
  int parent = 0;
  report.PreviewParentedControlPreparedReport(TParentWindow(&parent));
  report.PreviewPreparedReport();
  EXPECT_EQ(events, (std::vector<std::string>{"before", "after", "before", "after"}));
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0].ParentControl.As<int>(), &parent);
  EXPECT_TRUE(windows[0].EnableOutlines);
  EXPECT_FALSE(windows[1].ParentControl) << "without a parent the window is modal";
}

TEST_F(PrintComponentTest, AFailedPreparationStillClosesTheProgressDialog) {
  report.onPage = [](TestReport&) { throw std::runtime_error("boom"); };
  EXPECT_THROW(report.Prepare(), std::runtime_error);
  EXPECT_FALSE(UpdateProgressDlg("x", 0));  // no dialog left open
}

TEST_F(PrintComponentTest, TheVirtualPrinterWritesThePagesToTheOutputFile) {
  const std::string file = ::testing::TempDir() + "/zd_component_print.pdf";
  std::remove(file.c_str());
  report.SetAnimatedStatus(false);
  report.PrepareReport();
  EXPECT_THROW(report.PrintReport(), EPrinterError);  // no file named yet

  report.OutputFileName = file;
  report.PrintReport();
  std::ifstream in(file, std::ios::binary);
  ASSERT_TRUE(in) << file;
  const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  int sheets = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++sheets;
  EXPECT_EQ(sheets, 3);
  EXPECT_FALSE(TSystemPrinter::Instance().Printing());
}

class FailingTarget : public RecordingTarget {
 public:
  int drawn = 0;
  void DrawPage(const TMetafile& page) override {
    RecordingTarget::DrawPage(page);
    if (++drawn == 2) throw std::runtime_error("paper jam");
  }
};

TEST_F(PrintComponentTest, AFailedPrintDropsTheDocumentAndGivesBackTheCopies) {
  FailingTarget target;
  report.SetPrintTarget(&target);
  bool after = false;
  report.OnAfterPrint = [&](TComponent*) { after = true; };
  EXPECT_THROW(report.PrintReport(), std::runtime_error);
  EXPECT_EQ(target.log.back(), "abort");
  EXPECT_EQ(target.copies, 3);
  EXPECT_FALSE(after);
  EXPECT_FALSE(UpdateProgressDlg("x", 0));
}

}  // namespace
}  // namespace zd
