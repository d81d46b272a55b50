// Prepared-report files through what a reader gets back: pages, geometry,
// bars, document properties and metafile bytes, and through the errors and
// the untouched component a bad file leaves behind.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "host/printing/Printer.h"
#include "print/PreparedReport.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/ScriptedUserInterface.h"

namespace zd {
namespace {

namespace fs = std::filesystem;

// Every page carries a rectangle whose left edge encodes (page, bar).
int MarkerLeft(int page, int bar) { return 1000 + 10 * page + bar; }

std::string MarkerOf(const TMetafile& meta) {
  std::string marker = "?";
  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState&) {
    if (r.Type == EMR_RECTANGLE && r.I32(8) >= 1000) {
      const int v = r.I32(8) - 1000;
      marker = std::to_string(v / 10) + "." + std::to_string(v % 10);
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
  int lastBarPageCount = -1;  // when >= 0, the last bar is shorter
  bool prepareNothing = false;
  int preparations = 0;

  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    ++preparations;
    if (prepareNothing) return;
    BeginDoc();
    for (int b = 0; b < barCount; ++b) {
      const int pages = b == barCount - 1 && lastBarPageCount >= 0 ? lastBarPageCount : pageCount;
      for (int p = 0; p < pages; ++p) {
        NewPage(b > 0 && p == 0);
        const TPageProducer& producer = Producer();
        producer.MFCanvas()->Rectangle(TRect{MarkerLeft(producer.intCurPage(), producer.intCurBar()), 0, 1100, 20});
      }
    }
    EndDoc();
  }
};

// Markers of the pages of a store, as "page.bar" of the page that was drawn,
// listed by the position the store gives each page.
std::map<std::string, std::string> MarkersByPosition(const TZdPrintBaseComponent& r) {
  std::map<std::string, std::string> out;
  for (int i = 0; i < r.Pages().Count(); ++i) {
    const TPageInfo& page = r.Pages().At(i);
    out[std::to_string(page.intNumPage) + "." + std::to_string(page.intNumBar)] = MarkerOf(*page.Drawing());
  }
  return out;
}

// Walks the documented header: text fields are a length then that many bytes.
struct HeaderWalk {
  const std::string& bytes;
  size_t pos = 0;
  int32_t Int(size_t at) const {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  size_t SkipText() {
    const size_t at = pos;
    pos += 4 + size_t(Int(pos));
    return at;
  }
};

void PutInt(std::string& bytes, size_t at, int32_t v) { std::memcpy(bytes.data() + at, &v, 4); }

struct FileLayout {
  size_t banner, padding, author, keywords, subject, title, pageCount, firstRecord;
};
FileLayout LayoutOf(const std::string& bytes) {
  HeaderWalk w{bytes};
  FileLayout l{};
  l.banner = w.SkipText();
  l.padding = w.SkipText();
  l.author = w.SkipText();
  l.keywords = w.SkipText();
  l.subject = w.SkipText();
  l.title = w.SkipText();
  l.pageCount = w.pos;
  l.firstRecord = w.pos + 8;
  return l;
}

// A stream that cannot seek, as from a pipe.
class OneWayBuffer : public std::streambuf {
 public:
  explicit OneWayBuffer(std::string data) : data_(std::move(data)) {
    setg(data_.data(), data_.data(), data_.data() + data_.size());
  }

 private:
  std::string data_;
};

class PreparedReportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::useVirtualPrinter();
  }
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("zqp_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    report.SetAnimatedStatus(false);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Saved(TZdPrintBaseComponent& r) {
    std::ostringstream out;
    r.SavePreparedReportToStream(out);
    return out.str();
  }
  static void Load(TZdPrintBaseComponent& r, const std::string& bytes) {
    std::istringstream in(bytes);
    r.LoadPreparedReportFromStream(in);
  }
  std::string P(const std::string& name) const { return (dir / name).string(); }

  fs::path dir;
  test::TScriptedUserInterface ui;
  TestReport report;
};

TEST_F(PreparedReportTest, RoundTripRestoresEveryPageInFileOrderWithItsGeometryAndBytes) {
  report.pageCount = 3;
  report.barCount = 2;
  report.ZdProperty().Author = "Ann";
  report.ZdProperty().Keywords = "k1, k2";
  report.ZdProperty().Subject = "Sales";
  report.ZdProperty().Title = "Quarterly";
  report.PrepareReport();
  const std::string bytes = Saved(report);

  TestReport loaded;
  Load(loaded, bytes);
  EXPECT_TRUE(loaded.Prepared());
  EXPECT_EQ(loaded.Status(), TStatus::stPrinted);
  EXPECT_EQ(loaded.Producer().intCurPage(), 0);
  EXPECT_EQ(loaded.Producer().intCurBar(), 0);
  EXPECT_EQ(loaded.NumPages(), 3);
  EXPECT_EQ(loaded.NumBars(), 2);
  EXPECT_EQ(loaded.ZdProperty().Author, "Ann");
  EXPECT_EQ(loaded.ZdProperty().Keywords, "k1, k2");
  EXPECT_EQ(loaded.ZdProperty().Subject, "Sales");
  EXPECT_EQ(loaded.ZdProperty().Title, "Quarterly");
  ASSERT_EQ(loaded.Pages().Count(), 6);
  for (int i = 0; i < 6; ++i) {
    const TPageInfo& got = loaded.Pages().At(i);
    // Page-major order: (0,0), (0,1), (1,0), ...
    EXPECT_EQ(got.intNumPage, i / 2);
    EXPECT_EQ(got.intNumBar, i % 2);
    const TPageInfo* original = report.GetPage(got.intNumPage, got.intNumBar);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(got.PageWidth(), original->PageWidth());
    EXPECT_EQ(got.PageHeight(), original->PageHeight());
    EXPECT_EQ(got.OffsetLeft, original->OffsetLeft);
    EXPECT_EQ(got.OffsetRight, original->OffsetRight);
    EXPECT_EQ(got.OffsetTop, original->OffsetTop);
    EXPECT_EQ(got.OffsetBottom, original->OffsetBottom);
    EXPECT_EQ(got.Drawing()->Bytes(), original->Drawing()->Bytes());
    EXPECT_EQ(got.Drawing()->Width(), original->Drawing()->Width());
    EXPECT_EQ(got.Drawing()->Height(), original->Drawing()->Height());
  }
  // Saving what was loaded gives the same file.
  EXPECT_EQ(Saved(loaded), bytes);
}

TEST_F(PreparedReportTest, HeaderFollowsTheLayoutAndStoresTextsWhole) {
  const std::string longTitle = std::string(300, 'x') + " Ünïcødé ✓ 😀";
  report.ZdProperty().Title = longTitle;
  report.ZdProperty().Author = "Hello";  // odd length: no half character is lost
  report.pageCount = 2;
  report.PrepareReport();
  const std::string bytes = Saved(report);
  const FileLayout l = LayoutOf(bytes);
  HeaderWalk w{bytes};

  EXPECT_EQ(bytes.substr(l.banner + 4, 8), std::string("Z\0D\0Q\0P\0", 8));
  ASSERT_EQ(w.Int(l.padding), 200);
  std::string spaces;
  for (int i = 0; i < 100; ++i) spaces += std::string(" \0", 2);
  EXPECT_EQ(bytes.substr(l.padding + 4, 200), spaces);
  // The length counts UTF-16 bytes, so readers of the original layout read it whole too.
  EXPECT_EQ(w.Int(l.author), 10);
  EXPECT_EQ(bytes.substr(l.author + 4, 10), std::string("H\0e\0l\0l\0o\0", 10));
  EXPECT_EQ(w.Int(l.pageCount), 2);
  EXPECT_EQ(w.Int(l.pageCount + 4), 1);

  TestReport loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.ZdProperty().Title, longTitle);
  EXPECT_EQ(loaded.ZdProperty().Author, "Hello");
}

TEST_F(PreparedReportTest, TextsOfTheOriginalLayoutLoadAsTheirStoredHalf) {
  report.ZdProperty().Title = "Hello";
  report.pageCount = 1;
  report.PrepareReport();
  std::string bytes = Saved(report);
  const FileLayout l = LayoutOf(bytes);
  // The original writer stores N = 5 characters' worth: the first 5 bytes.
  std::string old = bytes.substr(0, l.title);
  old += std::string("\x05\0\0\0", 4) + std::string("H\0e\0l", 5);
  old += bytes.substr(l.pageCount);
  TestReport loaded;
  Load(loaded, old);
  EXPECT_EQ(loaded.ZdProperty().Title, "He");
  EXPECT_EQ(loaded.Pages().Count(), 1);
}

TEST_F(PreparedReportTest, APageListFileHoldsExactlyItsPagesRenumbered) {
  report.pageCount = 3;
  report.barCount = 2;
  report.PrepareReport();

  const TStringList second{"2"};
  report.SavePreparedPages(P("two.zqp"), false, &second);
  TestReport two;
  two.LoadPreparedReport(P("two.zqp"));
  EXPECT_EQ(two.NumPages(), 1);
  EXPECT_EQ(two.NumBars(), 2);
  EXPECT_EQ(MarkersByPosition(two), (std::map<std::string, std::string>{{"0.0", "1.0"}, {"0.1", "1.1"}}));

  const TStringList outOfOrder{"3", "1", "9", "x"};
  report.SavePreparedPages(P("odd.zqp"), false, &outOfOrder);
  TestReport odd;
  odd.LoadPreparedReport(P("odd.zqp"));
  ASSERT_EQ(odd.NumPages(), 2);
  EXPECT_EQ(MarkerOf(*odd.GetPage(0, 0)->Drawing()), "0.0");
  EXPECT_EQ(MarkerOf(*odd.GetPage(1, 1)->Drawing()), "2.1");

  const TStringList none{"7"};
  report.SavePreparedPages(P("none.zqp"), false, &none);
  EXPECT_FALSE(fs::exists(P("none.zqp")));
}

TEST_F(PreparedReportTest, OneFilePerPageEachOpensAsAOnePageReport) {
  report.pageCount = 2;
  report.barCount = 2;
  report.ZdProperty().Title = "Per page";
  report.PrepareReport();
  report.SavePreparedPages(P("rep.zqp"), true, nullptr);

  for (int p = 0; p < 2; ++p)
    for (int b = 0; b < 2; ++b) {
      SCOPED_TRACE(std::to_string(p) + "_" + std::to_string(b));
      TestReport one;
      one.LoadPreparedReport(P("rep" + std::to_string(p) + "_" + std::to_string(b) + ".zqp"));
      EXPECT_EQ(one.NumPages(), 1);
      EXPECT_EQ(one.NumBars(), 1);
      ASSERT_NE(one.GetPage(0, 0), nullptr);
      EXPECT_EQ(MarkerOf(*one.GetPage(0, 0)->Drawing()), std::to_string(p) + "." + std::to_string(b));
      EXPECT_EQ(one.ZdProperty().Title, "Per page");
    }

  fs::remove_all(dir);
  fs::create_directories(dir);
  const TStringList second{"2"};
  report.SavePreparedPages(P("rep"), true, &second);  // no dot: the numbers go at the end
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  EXPECT_TRUE(fs::exists(P("rep1_0")));
  EXPECT_TRUE(fs::exists(P("rep1_1")));
}

TEST_F(PreparedReportTest, AShortBarIsSavedWithBlankPagesSoTheGridStaysWhole) {
  report.pageCount = 3;
  report.barCount = 2;
  report.lastBarPageCount = 2;
  report.PrepareReport();
  ASSERT_EQ(report.GetPage(2, 1), nullptr);

  TestReport loaded;
  Load(loaded, Saved(report));
  ASSERT_EQ(loaded.Pages().Count(), 6);
  const TPageInfo* blank = loaded.GetPage(2, 1);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(MarkerOf(*blank->Drawing()), "?");
  EXPECT_EQ(blank->PageWidth(), report.GetPage(0, 0)->PageWidth());
  EXPECT_EQ(blank->OffsetTop, report.GetPage(0, 0)->OffsetTop);
  EXPECT_EQ(MarkerOf(*loaded.GetPage(2, 0)->Drawing()), "2.0");
}

TEST_F(PreparedReportTest, SavingPreparesFirstAndWritesNothingWhenNothingCanBePrepared) {
  report.pageCount = 2;
  const std::string bytes = Saved(report);
  EXPECT_EQ(report.preparations, 1);
  TestReport loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.NumPages(), 2);

  TestReport idle;
  idle.prepareNothing = true;
  EXPECT_TRUE(Saved(idle).empty());
  idle.SavePreparedReport(P("idle.zqp"));
  EXPECT_FALSE(fs::exists(P("idle.zqp")));
}

TEST_F(PreparedReportTest, LoadedPagesAndCountsReplaceThoseOfATwoPassPreparation) {
  TestReport small;
  small.pageCount = 2;
  small.PrepareReport();
  TestReport empty;
  empty.pageCount = 0;
  empty.PrepareReport();
  ASSERT_TRUE(empty.Prepared());
  const std::string none = Saved(empty);
  ASSERT_FALSE(none.empty());

  report.SetTwoPass(true);
  report.pageCount = 5;
  report.Prepare();
  ASSERT_EQ(report.NumPages(), 5);
  Load(report, Saved(small));
  EXPECT_EQ(report.NumPages(), 2);
  EXPECT_EQ(report.NumBars(), 1);
  // A file without pages empties the store.
  Load(report, none);
  EXPECT_EQ(report.Pages().Count(), 0);
  EXPECT_EQ(report.NumPages(), 0);
  EXPECT_TRUE(report.Prepared());
}

// ---- bad files ----

class BadFileTest : public PreparedReportTest {
 protected:
  void SetUp() override {
    PreparedReportTest::SetUp();
    TestReport source;
    source.pageCount = 2;
    source.barCount = 2;
    source.ZdProperty().Title = "Source";
    source.PrepareReport();
    good = Saved(source);
    layout = LayoutOf(good);

    report.pageCount = 1;
    report.ZdProperty().Title = "Kept";
    report.PrepareReport();
    keptBytes = report.Pages().At(0).Drawing()->Bytes();
  }

  // The load fails with a message naming the fault, and the component keeps
  // its pages, properties and state.
  // It names the byte offset of the field at fault, `offset` when given.
  void ExpectRejected(const std::string& bytes, const std::string& expected,
                      std::optional<uint64_t> offset = std::nullopt) {
    try {
      Load(report, bytes);
      ADD_FAILURE() << "loaded without error; expected \"" << expected << "\"";
    } catch (const EPreparedReportError& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
      EXPECT_TRUE(e.Offset()) << e.what();
      if (offset) EXPECT_EQ(e.Offset(), offset) << e.what();
    }
    ASSERT_EQ(report.Pages().Count(), 1);
    EXPECT_EQ(report.Pages().At(0).Drawing()->Bytes(), keptBytes);
    EXPECT_EQ(report.ZdProperty().Title, "Kept");
    EXPECT_TRUE(report.Prepared());
  }
  std::string With(size_t at, int32_t v) const {
    std::string b = good;
    PutInt(b, at, v);
    return b;
  }

  std::string good;
  FileLayout layout{};
  std::vector<uint8_t> keptBytes;
};

TEST_F(BadFileTest, EveryTruncationIsReportedAsSuch) {
  for (size_t cut = 0; cut < good.size(); cut += 13) {
    SCOPED_TRACE(cut);
    ExpectRejected(good.substr(0, cut), cut < 4 ? "banner" : "");
  }
  ExpectRejected(good.substr(0, good.size() - 1), "page record 4 metafile");
}

TEST_F(BadFileTest, TruncationIsFoundOnStreamsThatCannotSeek) {
  OneWayBuffer buffer(good.substr(0, good.size() - 10));
  std::istream in(&buffer);
  try {
    report.LoadPreparedReportFromStream(in);
    ADD_FAILURE() << "loaded a truncated stream";
  } catch (const EPreparedReportError& e) {
    EXPECT_NE(std::string(e.what()).find("data ends"), std::string::npos) << e.what();
  }
  EXPECT_EQ(report.Pages().Count(), 1);

  OneWayBuffer whole(good);
  std::istream wholeIn(&whole);
  report.LoadPreparedReportFromStream(wholeIn);
  EXPECT_EQ(report.Pages().Count(), 4);
}

TEST_F(BadFileTest, TheBannerMustMatchAndLengthsBeNonNegativeAndInsideTheData) {
  std::string b = good;
  b[layout.banner + 4] = 'X';
  ExpectRejected(b, "not a prepared report");
  ExpectRejected(With(layout.title, 1'000'000'000), "title: needs 1000000000 bytes", layout.title + 4);
  ExpectRejected(With(layout.author, -2), "author: negative length", layout.author);
  ExpectRejected(With(layout.padding, int32_t(good.size())), "padding");
}

TEST_F(BadFileTest, PageAndBarCountsMustBePlausible) {
  ExpectRejected(With(layout.pageCount, -1), "negative page count");
  ExpectRejected(With(layout.pageCount + 4, -3), "negative bar count");
  ExpectRejected(With(layout.pageCount, 0), "both be zero");
  ExpectRejected(With(layout.pageCount, 100000), "cannot fit");
  std::string absurd = With(layout.pageCount, INT32_MAX);
  PutInt(absurd, layout.pageCount + 4, INT32_MAX);
  ExpectRejected(absurd, "absurd");
}

TEST_F(BadFileTest, PageRecordsMustNameEachPositionOnceAndHoldAValidMetafile) {
  ExpectRejected(With(layout.firstRecord, 2), "page index 2 is outside 0..1", layout.firstRecord);
  ExpectRejected(With(layout.firstRecord + 4, 1), "occurs twice");
  ExpectRejected(With(layout.firstRecord + 8, -794), "negative page width");
  ExpectRejected(With(layout.firstRecord + 20, -1), "negative right offset", layout.firstRecord + 20);

  const size_t emf = layout.firstRecord + 32;
  ExpectRejected(With(emf, 77), "does not start with an EMF header");
  ExpectRejected(With(emf + 40, 0x12345678), "page record 1 metafile is corrupt", emf);
  ExpectRejected(With(emf + 48, 40), "smaller than its header");
  ExpectRejected(With(emf + 48, int32_t(good.size())), "needs");
  // A record size running past the metafile's end.
  ExpectRejected(With(emf + 4, 4000), "corrupt");
}

TEST_F(BadFileTest, AFileThatCannotBeOpenedOrReadNamesIt) {
  try {
    report.LoadPreparedReport(P("missing.zqp"));
    ADD_FAILURE() << "opened a missing file";
  } catch (const EPreparedReportError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.zqp"), std::string::npos) << e.what();
    EXPECT_EQ(e.FileName(), P("missing.zqp"));
  }
  std::ofstream(P("bad.zqp"), std::ios::binary) << With(layout.author, -2);
  try {
    report.LoadPreparedReport(P("bad.zqp"));
    ADD_FAILURE() << "loaded a bad file";
  } catch (const EPreparedReportError& e) {
    EXPECT_EQ(e.FileName(), P("bad.zqp"));
    EXPECT_EQ(e.Offset(), layout.author);
  }
  EXPECT_EQ(report.Pages().Count(), 1);
  EXPECT_THROW(report.SavePreparedReport(P("no/such/dir/out.zqp")), EPreparedReportError);
}

// ---- the interactive save command ----

class RecordingExport : public TZdqExport {
 public:
  RecordingExport(TComponent* owner, std::vector<std::string>& log) : TZdqExport(owner), log_(log) {}
  void NewPage(int page, int bar) override { log_.push_back("page " + std::to_string(page) + "," + std::to_string(bar)); }
  void SaveToFile(const std::string& fileName) override {
    TZdqExport::SaveToFile(fileName);
    log_.push_back("save " + fileName);
  }

 private:
  std::vector<std::string>& log_;
};

TEST_F(PreparedReportTest, SavePageToFileSavesThePreparedReportWithTheChosenPages) {
  report.pageCount = 4;
  report.PrepareReport();
  TExportDialogRequest seen;
  ui.exportDialog = [&](const TExportDialogRequest& request, TExportChoice& choice) {
    seen = request;
    EXPECT_EQ(choice.FormatIndex, 0);
    EXPECT_EQ(choice.FileName, "preset.zqp");
    choice.FileName = P("even.zqp");
    choice.Mode = TPageRangeMode::prEven;
    return true;
  };
  std::vector<std::string> log;
  const std::vector<TExportFormat> exporters{
      {"CSV export filter", "TZdqExportToCSV",
       [&](TComponent* o) -> std::unique_ptr<TZdqExport> { return std::make_unique<RecordingExport>(o, log); }}};
  std::string name = "preset.zqp";
  ASSERT_TRUE(report.SavePageToFile(name, exporters));
  EXPECT_EQ(name, P("even.zqp"));
  EXPECT_EQ(seen.Formats, (std::vector<std::string>{"ZdReport generated", "CSV export filter"}));
  EXPECT_TRUE(log.empty());

  TestReport even;
  even.LoadPreparedReport(name);
  EXPECT_EQ(MarkersByPosition(even), (std::map<std::string, std::string>{{"0.0", "1.0"}, {"1.0", "3.0"}}));
}

TEST_F(PreparedReportTest, SavePageToFileExportsWithTheChosenExporter) {
  report.pageCount = 3;
  report.PrepareReport();
  ui.exportDialog = [&](const TExportDialogRequest&, TExportChoice& choice) {
    choice.FormatIndex = 1;
    choice.Mode = TPageRangeMode::prRange;
    choice.RangeText = "2-3";
    choice.SeparateFiles = true;
    choice.FileName = "out.csv";
    return true;
  };
  std::vector<std::string> log;
  const std::vector<TExportFormat> exporters{
      {"CSV export filter", "TZdqExportToCSV",
       [&](TComponent* o) -> std::unique_ptr<TZdqExport> { return std::make_unique<RecordingExport>(o, log); }},
      {"Unregistered", "TNothing", {}}};
  std::string name;
  ASSERT_TRUE(report.SavePageToFile(name, exporters));
  EXPECT_EQ(log, (std::vector<std::string>{"page 1,0", "save out1_0.csv", "page 2,0", "save out2_0.csv"}));
  EXPECT_EQ(name, "out.csv");

  // A format whose class is not registered exports nothing.
  log.clear();
  ui.exportDialog = [&](const TExportDialogRequest&, TExportChoice& choice) {
    choice.FormatIndex = 2;
    choice.FileName = "x.none";
    return true;
  };
  EXPECT_TRUE(report.SavePageToFile(name, exporters));
  EXPECT_TRUE(log.empty());
}

TEST_F(PreparedReportTest, SavePageToFileChangesNothingWhenCancelledOrChosenBadly) {
  report.PrepareReport();
  ui.exportDialog = [&](const TExportDialogRequest&, TExportChoice& choice) {
    choice.FileName = P("cancelled.zqp");
    return false;
  };
  std::string name = "keep.zqp";
  EXPECT_FALSE(report.SavePageToFile(name, {}));
  EXPECT_EQ(name, "keep.zqp");
  EXPECT_FALSE(fs::exists(P("cancelled.zqp")));

  ui.exportDialog = [&](const TExportDialogRequest&, TExportChoice& choice) {
    choice.FormatIndex = 5;
    return true;
  };
  EXPECT_THROW(report.SavePageToFile(name, {}), std::invalid_argument);
  EXPECT_EQ(name, "keep.zqp");

  // Without a dialog the preset choice is taken: every page to the given name.
  ui.exportDialog = nullptr;
  name = P("all.zqp");
  ASSERT_TRUE(report.SavePageToFile(name, {}));
  TestReport all;
  all.LoadPreparedReport(name);
  EXPECT_EQ(all.NumPages(), 3);
  std::string empty;
  EXPECT_THROW(report.SavePageToFile(empty, {}), std::invalid_argument);
}

}  // namespace
}  // namespace zd
