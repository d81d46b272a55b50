// The cell collector's record walk: what a page recorded on a metafile
// canvas comes back as.
#include <gtest/gtest.h>

#include <random>

#include "export/EmfRecords.h"
#include "export/ExportAttributes.h"
#include "tests/Fixtures.h"

namespace zd {
namespace {

using test::EmfRecordBytes;
using test::MetafileOf;

class CollectorTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ensureGuiApp(); }

  // Collects one page the way a one-file export does, without saving.
  const std::vector<TZdqMFERecord>& Collect(const TMetafile& page, int offsetX = 0, int offsetY = 0) {
    collector.StartExport();
    collector.NewPage(0, 0);
    collector.OffsetX = offsetX;
    collector.OffsetY = offsetY;
    collector.ExportRecords(page);
    return collector.Records();
  }

  TZdqExportAttributes collector;
};

// Text drawn with the top-left reference point covers [x, x+w) x [y, y+h);
// the collector widens that box by one on each side.
struct TextBox {
  int left, top, width, height;
};
TextBox ExpectedBox(const TFont& font, const std::string& text, int x, int y) {
  const TSize ext = MeasureText(font, text);
  return {x - 1, y - 1, ext.Width + 1, ext.Height + 1};
}

TEST_F(CollectorTest, TextCellsCarryPositionFontColourAndBackground) {
  TMetafile page;
  TFont bold;
  bold.Name = "Arial";
  bold.Size = 12;
  bold.Style.Set(fsBold);
  bold.Color = clRed;
  TFont mono;
  mono.Name = "Courier New";
  mono.Size = 9;
  mono.Style.Set(fsItalic);
  mono.Style.Set(fsUnderline);
  mono.Pitch = TFontPitch::fpFixed;
  mono.Charset = 0;
  mono.Color = clBlue;
  {
    TMetafileCanvas canvas(page);
    canvas.Font = bold;
    canvas.TextOut(100, 50, "Total");
    canvas.Font = mono;
    canvas.SetBkMode(TBkMode::bmOpaque);
    canvas.Brush.Color = clYellow;
    canvas.TextOut(300, 120, "Sum");
  }
  const auto& cells = Collect(page);
  ASSERT_EQ(cells.size(), 2u);

  const TZdqMFERecord& total = cells[0];
  const TextBox box = ExpectedBox(bold, "Total", 100, 50);
  EXPECT_EQ(total.Kind, TZdqMFERecordKind::rkText);
  EXPECT_EQ(total.Text, "Total");
  EXPECT_EQ(total.Left, box.left);
  EXPECT_EQ(total.Top, box.top);
  EXPECT_EQ(total.Width, box.width);
  EXPECT_EQ(total.Height, box.height);
  EXPECT_EQ(total.Font.Name, "Arial");
  EXPECT_EQ(total.Font.Size, 12);
  EXPECT_TRUE(total.Font.Style.Has(fsBold));
  EXPECT_FALSE(total.Font.Style.Has(fsItalic));
  EXPECT_EQ(total.Font.Color, clRed);
  EXPECT_EQ(total.BackColor, clWhite);
  EXPECT_EQ(total.Alignment, TAlignment::taLeftJustify);
  EXPECT_FALSE(total.Bitmap.has_value());

  const TZdqMFERecord& sum = cells[1];
  EXPECT_EQ(sum.Text, "Sum");
  EXPECT_EQ(sum.Left, 299);
  EXPECT_EQ(sum.Top, 119);
  EXPECT_EQ(sum.Font.Name, "Courier New");
  EXPECT_EQ(sum.Font.Size, 9);
  EXPECT_EQ(sum.Font.Style, TFontStyles(fsItalic | fsUnderline));
  EXPECT_EQ(sum.Font.Pitch, TFontPitch::fpFixed);
  EXPECT_EQ(sum.Font.Charset, 0);
  EXPECT_EQ(sum.Font.Color, clBlue);
  EXPECT_EQ(sum.BackColor, clYellow);
  // The cell keeps its own copy: later changes of the drawing state do not reach it.
  EXPECT_EQ(collector.CurrentFont().Color, clBlue);
  EXPECT_EQ(total.Font.Color, clRed);
}

TEST_F(CollectorTest, RunsThatMeetOnOneLineJoinAndAGapOfFiveSplits) {
  TFont font;
  const int w = MeasureText(font, "Hel").Width;
  const int h = MeasureText(font, "Hel").Height;
  auto twoRuns = [&](int secondX, int secondY) {
    TMetafile page;
    {
      TMetafileCanvas canvas(page);
      canvas.TextOut(100, 50, "Hel");
      canvas.TextOut(secondX, secondY, "lo");
    }
    TZdqExportAttributes c;
    c.StartExport();
    c.ExportRecords(page);
    return c.Records();
  };
  // The first cell ends at 100 + w; the second box starts one left of its x.
  const auto touching = twoRuns(100 + w, 50);
  ASSERT_EQ(touching.size(), 1u);
  EXPECT_EQ(touching[0].Text, "Hello");
  EXPECT_EQ(touching[0].Left, 99);
  EXPECT_EQ(touching[0].Width, w + 1 + MeasureText(font, "lo").Width + 1);
  EXPECT_EQ(touching[0].Height, 2 * (h + 1));  // heights add up as well

  EXPECT_EQ(twoRuns(100 + w + 5, 50).size(), 1u);   // 4 units apart
  EXPECT_EQ(twoRuns(100 + w + 6, 50).size(), 2u);   // 5 units apart
  EXPECT_EQ(twoRuns(100 + w - 40, 50).size(), 2u);  // overlapping far back
  EXPECT_EQ(twoRuns(100 + w, 51).size(), 2u);       // tops must be equal
}

TEST_F(CollectorTest, ARunDoesNotJoinACellOfAnotherBackgroundOrAlignmentAndOnlyModesZeroAndOneAlign) {
  TFont font;
  const int w = MeasureText(font, "ab").Width;
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.TextOut(10, 10, "ab");
    canvas.SetBkMode(TBkMode::bmOpaque);
    canvas.Brush.Color = clSilver;
    canvas.TextOut(10 + w, 10, "cd");
    canvas.SetTextAlign(1);
    canvas.TextOut(10 + 2 * w, 10, "ef");
    canvas.SetTextAlign(TA_RIGHT);  // only modes 0 and 1 change the alignment: still right
    canvas.TextOut(200, 40, "g");
    canvas.SetTextAlign(TA_LEFT);
    canvas.TextOut(10, 80, "h");
  }
  const auto& cells = Collect(page);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[1].BackColor, clSilver);
  EXPECT_EQ(cells[2].Alignment, TAlignment::taRightJustify);
  EXPECT_EQ(cells[3].Alignment, TAlignment::taRightJustify);
  EXPECT_EQ(cells[4].Alignment, TAlignment::taLeftJustify);
  EXPECT_EQ(collector.CurrentAlignment(), TAlignment::taLeftJustify);
}

TEST_F(CollectorTest, TextItsControlHidesIsNotCollected) {
  TFont font;
  const int lh = FontLineHeight(font);
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    // Three wrapped lines in a box two and a half lines high: the third
    // shows less than half of itself.
    TRect memo{100, 100, 160, 100 + 2 * lh + lh / 2 - 1};
    canvas.DrawText(memo, "first second third", DT_WORDBREAK);
    // A line whose lower half is cut still shows more than half: collected.
    canvas.TextRect(TRect{300, 200, 400, 200 + lh / 2 + 2}, 300, 200, "shown");
    // Wholly outside its clip: the record has empty bounds.
    canvas.TextRect(TRect{300, 340, 400, 360}, 300, 300, "hidden");
    canvas.TextOut(10, 500, "   ");  // blank text is dropped
  }
  const auto& cells = Collect(page, 0, 1000);
  std::vector<std::string> texts;
  for (const auto& c : cells) texts.push_back(c.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"first", "second", "shown"}));
  ASSERT_EQ(cells.size(), 3u);
  ASSERT_TRUE(cells[1].ControlBox.has_value());
  EXPECT_EQ(cells[1].ControlBox->Left, 100);
  EXPECT_EQ(cells[1].ControlBox->Top, 1100);
  EXPECT_EQ(cells[1].TextBox.Top, 1100 + lh);
}

TEST_F(CollectorTest, ATextInItsControlTakesTheControlsAlignment) {
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    TRect right{400, 10, 500, 30}, centre{400, 40, 500, 60}, left{400, 70, 500, 90};
    canvas.DrawText(right, "3.50", DT_RIGHT | DT_SINGLELINE);
    canvas.DrawText(centre, "mid", DT_CENTER | DT_SINGLELINE);
    canvas.DrawText(left, "text", DT_LEFT | DT_SINGLELINE);
  }
  const auto& cells = Collect(page);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].Alignment, TAlignment::taRightJustify);
  EXPECT_GT(cells[0].Left, 450);  // the text's own box ...
  EXPECT_EQ(GridLeft(cells[0]), 500);  // ... but the grid places it by its control's right edge
  EXPECT_EQ(cells[1].Alignment, TAlignment::taCenter);
  EXPECT_EQ(cells[2].Alignment, TAlignment::taLeftJustify);
}

TMetafile LinesAndBoxes() {
  TMetafile page;
  TMetafileCanvas canvas(page);
  canvas.MoveTo(10, 20);
  canvas.LineTo(110, 20);
  canvas.LineTo(60, 70);
  canvas.Rectangle(10, 10, 50, 40);
  canvas.Ellipse(100, 100, 130, 120);
  canvas.TextOut(5, 150, "note");
  canvas.Close();
  return page;
}

TEST_F(CollectorTest, TextOnlyByDefaultAndLinesRectanglesAndEllipsesWhenAsked) {
  const auto& texts = Collect(LinesAndBoxes());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "note");

  collector.RecordKinds = {TZdqMFERecordKind::rkLine, TZdqMFERecordKind::rkRectangle,
                           TZdqMFERecordKind::rkEllipse};
  const auto& cells = Collect(LinesAndBoxes(), 1000, 2000);
  ASSERT_EQ(cells.size(), 4u);  // no text: rkText is not asked for
  auto expectCell = [](const TZdqMFERecord& c, TZdqMFERecordKind kind, int l, int t, int w, int h) {
    EXPECT_EQ(c.Kind, kind);
    EXPECT_EQ(c.Left, l);
    EXPECT_EQ(c.Top, t);
    EXPECT_EQ(c.Width, w);
    EXPECT_EQ(c.Height, h);
    EXPECT_EQ(c.BackColor, clWhite);
  };
  expectCell(cells[0], TZdqMFERecordKind::rkLine, 1010, 2020, 100, 0);
  expectCell(cells[1], TZdqMFERecordKind::rkLine, 1110, 2020, 50, 50);  // from the line's end
  expectCell(cells[2], TZdqMFERecordKind::rkRectangle, 1009, 2009, 42, 32);
  expectCell(cells[3], TZdqMFERecordKind::rkEllipse, 1099, 2099, 32, 22);
}

TEST_F(CollectorTest, APictureCellHoldsTheBitmapStretchedToItsDestination) {
  TBitmap source(2, 2);
  source.SetPixel(0, 0, clRed);
  source.SetPixel(1, 0, clLime);
  source.SetPixel(0, 1, clBlue);
  source.SetPixel(1, 1, clYellow);
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.StretchDraw(TRect{20, 30, 60, 50}, source);
  }
  collector.RecordKinds = {TZdqMFERecordKind::rkPicture};
  const auto& cells = Collect(page, 0, 500);
  ASSERT_EQ(cells.size(), 1u);
  const TZdqMFERecord& pic = cells[0];
  EXPECT_EQ(pic.Kind, TZdqMFERecordKind::rkPicture);
  EXPECT_EQ(pic.Left, 19);
  EXPECT_EQ(pic.Top, 529);
  EXPECT_EQ(pic.Width, 42);
  EXPECT_EQ(pic.Height, 22);
  EXPECT_EQ(pic.BackColor, 0u);
  ASSERT_TRUE(pic.Bitmap.has_value());
  ASSERT_EQ(pic.Bitmap->Width(), 40);
  ASSERT_EQ(pic.Bitmap->Height(), 20);
  EXPECT_EQ(pic.Bitmap->Pixel(5, 5), clRed);
  EXPECT_EQ(pic.Bitmap->Pixel(35, 5), clLime);
  EXPECT_EQ(pic.Bitmap->Pixel(5, 15), clBlue);
  EXPECT_EQ(pic.Bitmap->Pixel(35, 15), clYellow);
}

// A BITBLT of the right half of a 4x1 bitmap, copied unstretched.
std::vector<uint8_t> BitBltRecord(int srcX, uint32_t rop, TColor background) {
  TBitmap source(4, 1);
  source.SetPixel(0, 0, clRed);
  source.SetPixel(1, 0, clRed);
  source.SetPixel(2, 0, clLime);
  source.SetPixel(3, 0, clBlue);
  std::vector<uint8_t> info, bits;
  source.ToDib(info, bits);
  EmfRecordBytes r(EMR_BITBLT);
  r.rect(50, 60, 51, 60).i32(50).i32(60).i32(2).i32(1).u32(rop).i32(srcX).i32(0);
  r.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(background).u32(0);
  r.u32(100).u32(uint32_t(info.size())).u32(uint32_t(100 + info.size())).u32(uint32_t(bits.size()));
  r.raw(info).raw(bits);
  return r.Bytes();
}

TEST_F(CollectorTest, ABitBltCopiesItsSourceRectangleWithTheSourceBackground) {
  collector.RecordKinds = {TZdqMFERecordKind::rkPicture};
  const auto& cells = Collect(MetafileOf({BitBltRecord(2, 0x00CC0020, clSilver)}));
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].BackColor, clSilver);
  EXPECT_EQ(cells[0].Left, 49);
  EXPECT_EQ(cells[0].Width, 3);  // inclusive bounds 50..51, widened by one each side
  ASSERT_EQ(cells[0].Bitmap->Width(), 2);
  EXPECT_EQ(cells[0].Bitmap->Pixel(0, 0), clLime);
  EXPECT_EQ(cells[0].Bitmap->Pixel(1, 0), clBlue);

  const auto& inverted = Collect(MetafileOf({BitBltRecord(0, 0x00330008, clWhite)}));
  ASSERT_EQ(inverted.size(), 1u);
  EXPECT_EQ(inverted[0].Bitmap->Pixel(0, 0), 0xFFFF00u);  // NOTSRCCOPY of red
}

TEST_F(CollectorTest, SmallTextSitsAtItsReferencePointAndStockOrMissingObjectsKeepTheFont) {
  EmfRecordBytes small(EMR_SMALLTEXTOUT);
  small.i32(40).i32(70).u32(5).u32(0x100 | 0x200).u32(1).f32(0).f32(0);
  small.raw({'T', 'o', 't', 'a', 'l'});
  EmfRecordBytes glyphs(EMR_SMALLTEXTOUT);
  glyphs.i32(40).i32(90).u32(2).u32(0x100 | 0x10).u32(1).f32(0).f32(0).u32(0x00050004);
  const auto& cells = Collect(MetafileOf({small.Bytes(), glyphs.Bytes()}), 3, 4);
  ASSERT_EQ(cells.size(), 1u);  // glyph indices carry no text
  EXPECT_EQ(cells[0].Text, "Total");
  EXPECT_EQ(cells[0].Left, 43);
  EXPECT_EQ(cells[0].Top, 74);
  TFont before;
  before.Name = "Times New Roman";
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.Font = before;
    canvas.TextOut(10, 10, "x");
  }
  Collect(page);
  const std::vector<std::vector<uint8_t>> selects = {
      EmfRecordBytes(EMR_SELECTOBJECT).u32(0x8000000D).Bytes(),  // stock system font
      EmfRecordBytes(EMR_SELECTOBJECT).u32(99).Bytes(),          // beyond the table
      EmfRecordBytes(EMR_SELECTOBJECT).u32(2).Bytes()};          // empty slot
  collector.ExportRecords(MetafileOf(selects));
  EXPECT_EQ(collector.CurrentFont().Name, "Times New Roman");
}

// The driver's one-file export: every page and bar is offset inside the whole.
TEST_F(CollectorTest, PagesAndBarsAreOffsetIntoOneResult) {
  auto pageWith = [](const std::string& text) {
    TMetafile page;
    page.SetWidth(400);
    page.SetHeight(300);
    TMetafileCanvas canvas(page);
    canvas.TextOut(20, 10, text);
    canvas.Close();
    return page;
  };
  const TMetafile pages[2][2] = {{pageWith("p1b1"), pageWith("p1b2")}, {pageWith("p2b1"), pageWith("p2b2")}};
  collector.StartExport();
  for (int p = 0; p < 2; ++p) {
    for (int b = 0; b < 2; ++b) {
      collector.NewPage(p, b);
      collector.OffsetX = pages[p][b].Width() * b;
      collector.OffsetY = pages[p][b].Height() * p;
      collector.ExportRecords(pages[p][b]);
      collector.PageProcessed(pages[p][b]);
    }
  }
  collector.SaveToFile("all.csv");
  EXPECT_EQ(collector.OffsetX, 0);
  EXPECT_EQ(collector.RowCount(), 2);
  EXPECT_EQ(collector.Columns(), (std::vector<int>{19, 419}));
  const auto& cells = collector.Records();
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].Text, "p1b1");
  EXPECT_EQ(cells[1].Text, "p1b2");
  EXPECT_EQ(cells[1].Left, 419);
  EXPECT_EQ(cells[2].Text, "p2b1");
  EXPECT_EQ(cells[2].Top, 309);
  EXPECT_EQ(cells[3].Text, "p2b2");
  EXPECT_EQ(cells[3].Top, 309);

  collector.EndExport();
  EXPECT_TRUE(collector.Records().empty());
}

TEST_F(CollectorTest, BrokenRecordsGiveAMetafileError) {
  collector.RecordKinds = {TZdqMFERecordKind::rkText, TZdqMFERecordKind::rkLine, TZdqMFERecordKind::rkPicture};
  // String offset beyond the record.
  EmfRecordBytes text(EMR_EXTTEXTOUTW);
  text.rect(0, 0, 10, 10).u32(1).f32(0).f32(0).i32(0).i32(0).u32(4).u32(400).u32(0).rect(0, 0, -1, -1).u32(0);
  // A line-to without its y.
  EmfRecordBytes line(EMR_LINETO);
  line.i32(5);
  // A picture whose bitmap header lies outside, one far too large, one with a broken header.
  std::vector<uint8_t> bitblt = BitBltRecord(0, 0x00CC0020, 0);
  std::vector<uint8_t> outside = bitblt;
  outside[84] = 0xF0;
  std::vector<uint8_t> huge = bitblt;
  huge[34] = 0x7F;  // cxDest and cyDest in the millions
  huge[38] = 0x7F;
  std::vector<uint8_t> badHeader = bitblt;
  badHeader[100] = 7;  // header size 7
  for (const auto& bad : {text.Bytes(), line.Bytes(), outside, huge, badHeader}) {
    collector.StartExport();
    EXPECT_THROW(collector.ExportRecords(MetafileOf({bad})), EMetafileError);
  }
}

TEST_F(CollectorTest, MangledPagesNeverFailOtherwiseThanWithAMetafileError) {
  TBitmap bmp(3, 3, clGreen);
  TMetafile page;
  {
    TMetafileCanvas canvas(page);
    canvas.Font.Style.Set(fsBold);
    canvas.TextOut(10, 10, "Header");
    canvas.MoveTo(0, 0);
    canvas.LineTo(100, 0);
    canvas.Rectangle(5, 5, 50, 50);
    canvas.StretchDraw(TRect{60, 60, 90, 90}, bmp);
  }
  collector.RecordKinds = {TZdqMFERecordKind::rkText, TZdqMFERecordKind::rkLine, TZdqMFERecordKind::rkRectangle,
                           TZdqMFERecordKind::rkPicture};
  std::mt19937 random(7);
  const std::vector<uint8_t>& good = page.Bytes();
  int decoded = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int k = 0; k < 4; ++k) bytes[108 + random() % (bytes.size() - 108)] = uint8_t(random());
    TMetafile mangled;
    try {
      mangled.LoadFromBytes(bytes);
    } catch (const EMetafileError&) {
      continue;
    }
    collector.StartExport();
    try {
      collector.ExportRecords(mangled);
      collector.SaveToFile("x");
      ++decoded;
    } catch (const EMetafileError&) {
    }
  }
  EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace zd
