// Printing a dataset as a table: bars with fixed columns, total rows at
// group ends, blank zeros, row colours, repeated titles and bad sources.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>

#include "host/data/MemoryDataSet.h"
#include "quickprint/ZdqData.h"
#include "tests/quickprint/PageContent.h"

using namespace zd;
using zd::test::PageStrings;
using Texts = std::vector<std::string>;

namespace {

class DataPrint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useWidgetsAndVirtualPrinter(); }

  DataPrint() {
    printer.SetAnimatedStatus(false);
    test::UsePaper(printer);
    printer.SetHeader({});
    printer.SetFooter({});
    printer.ColumnSource = TColumnSource::csDataSet;
    printer.DataSet = rows;
    rows->AddField("Country", TFieldType::ftString, 6);
    rows->AddField("Name", TFieldType::ftString, 6);
    rows->AddField("Amount", TFieldType::ftInteger);
  }
  void Add(const std::string& country, const std::string& name, int amount) {
    rows->AppendRecord({TVariant(country), TVariant(name), TVariant(amount)});
  }
  // Texts of every page of a bar, in order.
  Texts BarTexts(int bar) {
    Texts all;
    for (int p = 0; p < printer.NumPages(); ++p)
      for (const std::string& t : PageStrings(printer, p, bar)) all.push_back(t);
    return all;
  }

  TComponent owner;
  TMemoryDataSet* rows = new TMemoryDataSet(&owner);
  TZdPrintData printer{&owner};
};

TEST_F(DataPrint, NarrowTableInOneBarWideTableInTwoWithFixedColumns) {
  rows->Open();
  printer.Prepare();
  EXPECT_EQ(BarTexts(0), (Texts{"Country", "Name", "Amount"})) << "an empty table shows its columns";
  rows->Close();

  Add("DE", "Anna", 5);
  Add("FR", "Ben", 7);
  rows->Open();
  printer.Prepare();
  EXPECT_EQ(printer.NumBars(), 1);
  EXPECT_EQ(BarTexts(0), (Texts{"Country", "Name", "Amount", "DE", "Anna", "5", "FR", "Ben", "7"}));

  // Wider than the page: the record number repeats on every bar.
  test::UsePaper(printer, 700, 1000);
  printer.PrintRecNo = TPrintRecNo::rnFirstColOnEachBar;
  rows->FieldByName("Country").SetDisplayWidth(20);
  rows->FieldByName("Name").SetDisplayWidth(20);
  printer.Prepare();
  const Texts titles{"#", "Country", "Name", "Amount"};
  ASSERT_GE(printer.NumBars(), 2);
  ASSERT_EQ(size_t(printer.NumBars()), printer.Bars().size());
  EXPECT_TRUE(printer.Columns()[0].IsFixed);
  Texts titlesSeen;
  for (int bar = 0; bar < printer.NumBars(); ++bar) {
    const TTableBar& columns = printer.Bars()[size_t(bar)];
    Texts expected;
    if (bar > 0) expected.push_back("#");
    for (int c = columns.First; c <= columns.Last; ++c) expected.push_back(titles[size_t(c)]);
    const Texts texts = BarTexts(bar);
    ASSERT_GE(texts.size(), expected.size());
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + long(expected.size())), expected) << bar;
    titlesSeen.insert(titlesSeen.end(), expected.begin() + (bar > 0), expected.end());
    // Every row on every bar, numbered.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "1"), 1) << bar;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "2"), 1) << bar;
  }
  EXPECT_EQ(titlesSeen, titles);
  EXPECT_EQ(BarTexts(printer.NumBars() - 1).back(), "7");

  // Without fixed columns the record number stays on the first bar.
  printer.Style().FixedCols = false;
  printer.Prepare();
  ASSERT_GE(printer.NumBars(), 2);
  EXPECT_EQ(BarTexts(1).front(), titles[size_t(printer.Bars()[1].First)]);
}

TEST_F(DataPrint, GroupTotalsAndReportTotal) {
  Add("DE", "Anna", 5);
  Add("DE", "Bert", 0);
  Add("DE", "Cleo", 2);
  Add("FR", "Dana", 4);
  rows->Open();
  printer.BlankIfZero = true;
  TZdqACalculation perCountry;
  perCountry.FieldName = "Amount";
  perCountry.ResetGroup = "country";
  perCountry.Caption = "Sum";
  perCountry.CaptionColNum = 1;
  perCountry.FieldColNum = 2;
  TZdqACalculation count = perCountry;
  count.Calculation = TCalcType::ctCount;
  count.ResetGroup.clear();
  count.Caption = "Rows";
  count.CaptionColNum = count.FieldColNum = 0;
  printer.Calculations = {perCountry, count};
  printer.Prepare();
  // A zero prints as an empty cell; each country's sum restarts; the
  // report total has a row of its own after the last group's.
  EXPECT_EQ(BarTexts(0), (Texts{"Country", "Name", "Amount", "DE", "Anna", "5", "DE", "Bert", "DE", "Cleo", "2",
                                 "Sum", "7", "FR", "Dana", "4", "Sum", "4", "Rows 4"}));
  // The rows are still there for the next run.
  printer.Prepare();
  EXPECT_EQ(BarTexts(0).back(), "Rows 4");
}

TEST_F(DataPrint, RowStylesFillAlternateRows) {
  for (int i = 1; i <= 4; ++i) Add("DE", "n" + std::to_string(i), i);
  rows->Open();
  printer.Style().SetRowStyle(TZdqRowStyle::rsBrick);
  printer.Prepare();
  std::vector<TColor> colors;
  for (const test::TFill& fill : test::FillsOnPage(*printer.GetPage(0, 0))) colors.push_back(fill.color);
  EXPECT_EQ(colors, (std::vector<TColor>{0xCFDFDF, 0xA0BFBF, 0xCFDFDF, 0xA0BFBF}));

  printer.Style().SetRowStyle(TZdqRowStyle::rsNormal);
  printer.Prepare();
  EXPECT_TRUE(test::FillsOnPage(*printer.GetPage(0, 0)).empty());
}

TEST_F(DataPrint, HighLightsMarkTheirRecordsOnly) {
  Add("DE", "Anna", 5);
  Add("FR", "Ben", 1);
  Add("IT", "Cleo", 9);
  rows->Open();
  TZdqHighLight& big = *printer.HighLights().Add();
  big.SetExpression("Amount > 4");
  big.SetColor(clRed);
  printer.Prepare();
  const std::vector<test::TShownText> texts = test::TextsOnPage(*printer.GetPage(0, 0));
  auto yOf = [&](const std::string& text) {
    for (const test::TShownText& t : texts)
      if (t.text == text) return t.y;
    ADD_FAILURE() << text;
    return -1;
  };
  // Each cell of the two big rows is filled, nothing else: not the titles
  // drawn while the first record was current.
  std::vector<int> filledRows;
  for (const test::TFill& fill : test::FillsOnPage(*printer.GetPage(0, 0))) {
    EXPECT_EQ(fill.color, clRed);
    filledRows.push_back(fill.rect.Top);
  }
  ASSERT_EQ(filledRows.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_LE(filledRows[size_t(i)], yOf("Anna"));
    EXPECT_GT(filledRows[size_t(i)], yOf("Country"));
    EXPECT_LE(filledRows[size_t(3 + i)], yOf("Cleo"));
    EXPECT_GT(filledRows[size_t(3 + i)], yOf("Ben"));
  }
}

TEST_F(DataPrint, AutoFitScalesToThePageAndWrapsLongTexts) {
  Add("DE", "a name long enough to need several lines", 5);
  rows->Open();
  test::UsePaper(printer, 700, 1000);
  rows->FieldByName("Country").SetDisplayWidth(60);
  printer.Prepare();
  ASSERT_GE(printer.NumBars(), 2);

  printer.AutoFit = true;
  printer.SetWordWrap(true);
  printer.Prepare();
  EXPECT_EQ(printer.NumBars(), 1);
  const TColumnInfo& last = printer.Columns().back();
  TZdqPrinter& paper = printer.PrinterSetting();
  const int usable = paper.PaperWidthPixels() - paper.GetPageOffsetLeft() - paper.GetPageOffsetRight();
  EXPECT_EQ(last.Position + last.Width + printer.GapHorizontal, usable);
  // The name wraps in its narrow column; the row grows to hold it.
  const std::vector<test::TShownText> texts = test::TextsOnPage(*printer.GetPage(0, 0));
  std::string name;
  int lines = 0;
  for (const test::TShownText& t : texts)
    if (t.text != "DE" && t.text != "5" && t.y > texts[2].y) name += (name.empty() ? "" : " ") + t.text, ++lines;
  EXPECT_EQ(name, "a name long enough to need several lines");
  EXPECT_GT(lines, 1);
}

TEST_F(DataPrint, GraphicFieldsPrintTheirPictures) {
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(Qt::green);
  QByteArray png;
  QBuffer buffer(&png);
  ASSERT_TRUE(image.save(&buffer, "PNG"));
  TComponent local;
  auto* photos = new TMemoryDataSet(&local);
  photos->AddField("Name", TFieldType::ftString, 6);
  photos->AddField("Photo", TFieldType::ftGraphic);
  photos->AppendRecord({TVariant("pic"), TVariant(png.toStdString())});
  photos->AppendRecord({TVariant("none"), TVariant()});
  photos->AppendRecord({TVariant("bad"), TVariant(std::string("not a picture"))});
  photos->Open();
  printer.DataSet = photos;
  printer.Prepare();
  const TPageInfo& page = *printer.GetPage(0, 0);
  int pictures = 0;
  TRect drawn;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState&) {
    if (rec.Type == EMR_STRETCHDIBITS) ++pictures, drawn = rec.RectAt(8);
    return true;
  });
  EXPECT_EQ(pictures, 1);
  // Stretched to the column's width, as high as its proportions ask.
  const int width = printer.Columns()[1].Width;
  EXPECT_EQ(drawn.Right - drawn.Left, width);
  EXPECT_EQ(drawn.Bottom - drawn.Top, width / 2);
  EXPECT_EQ(test::Strings(test::TextsOnPage(page)), (Texts{"Name", "Photo", "pic", "none", "bad"}));
  ASSERT_EQ(printer.Warnings().size(), 1u);
  EXPECT_NE(printer.Warnings()[0].find("Photo"), std::string::npos);
}

TEST_F(DataPrint, TitlesRepeatOnlyWithFixedRows) {
  for (int i = 1; i <= 40; ++i) Add("DE", "n" + std::to_string(i), i);
  rows->Open();
  test::UsePaper(printer, 1500, 600);
  printer.Prepare();
  const int pages = printer.NumPages();
  ASSERT_GE(pages, 3);
  Texts names;
  for (int p = 0; p < pages; ++p) {
    const Texts texts = PageStrings(printer, p, 0);
    EXPECT_EQ(texts.front(), "Country") << p;
    for (const std::string& t : texts)
      if (t[0] == 'n') names.push_back(t);
  }
  ASSERT_EQ(names.size(), 40u);
  EXPECT_EQ(names.back(), "n40");

  printer.Style().FixedRows = false;
  printer.Prepare();
  EXPECT_EQ(PageStrings(printer, 0, 0).front(), "Country");
  for (int p = 1; p < printer.NumPages(); ++p) EXPECT_EQ(PageStrings(printer, p, 0).front(), "DE") << p;
}

TEST_F(DataPrint, MissingOrClosedSourcesFailBeforeAnyPage) {
  auto message = [&] {
    try {
      printer.Prepare();
    } catch (const EDatabaseError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message(), "Dataset is not active.");
  printer.DataSet = nullptr;
  EXPECT_EQ(message(), "Property DataSet wasn't specified.");
  printer.ColumnSource = TColumnSource::csDBGrid;
  EXPECT_EQ(message(), "Property DBGrid wasn't specified.");
  EXPECT_EQ(printer.NumPages(), 0);

  printer.ColumnSource = TColumnSource::csDataSet;
  printer.DataSet = rows;
  rows->Open();
  TZdqACalculation unknown;
  unknown.FieldName = "Price";
  printer.Calculations = {unknown};
  EXPECT_NE(message().find("Price"), std::string::npos);
}

}  // namespace
