// Text controls drawn onto a recorded page: heights for the band engine,
// where each text lands, what is suppressed, and the values expressions
// and system data print.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "expr/ExprValue.h"
#include "host/data/MemoryDataSet.h"
#include "host/emf/Metafile.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "report/controls/TextControls.h"
#include "report/model/ZdReport.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {

struct TDrawnText {
  std::string text;
  TPoint at;
  int escapement = 0;
};

struct TDrawnPage {
  int height = 0;
  TMetafile meta;
  std::vector<TDrawnText> texts;
};

constexpr int kPageWidth = 400, kPageHeight = 300;

// Draws (or measures) the control into rect on a fresh page.
TDrawnPage DrawOnPage(TZdqControl& control, TRect rect, uint32_t flags = 0) {
  TDrawnPage page;
  page.meta.SetWidth(kPageWidth);
  page.meta.SetHeight(kPageHeight);
  {
    TMetafileCanvas canvas(page.meta);
    page.height = control.Draw(canvas, rect, flags);
    canvas.Close();
  }
  EnumerateMetafile(page.meta, [&](const TEmfRecord& rec, const TEmfState& state) {
    if (auto t = ReadEmfText(rec)) page.texts.push_back({t->Text, t->Reference, state.Font.Escapement});
    return true;
  });
  return page;
}

QImage Played(const TMetafile& meta) {
  QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PlayMetafile(meta, painter, QRectF(0, 0, kPageWidth, kPageHeight));
  painter.end();
  return image;
}

class RenderText : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
  }

  TZdqBand& Detail() { return *report.GetBand(report.GetIndexBand(TBandType::btDetail)); }

  TZdqLabel& Label(const std::string& text, int width, int height) {
    auto* label = new TZdqLabel(&Detail());
    label->SetDisplayName(text);
    label->SetWidth(width);
    label->SetHeight(height);
    label->UpdateCurValue();
    return *label;
  }

  static TRect Box(const TZdqControl& c) { return {10, 10, 10 + c.Width(), 10 + c.Height()}; }
  static TFont FontOf(const TZdqControl& c) { return c.Font().Value(); }

  void RunMode() { report.ReportState = TZdReportState::rsPrepare; }

  TZdReport report;
};

// ---- heights ----

TEST_F(RenderText, StretchDecidesBetweenDesignAndTextHeight) {
  TZdqLabel& label = Label("WWWW WWWW WWWW", 0, 20);
  const TFont font = FontOf(label);
  // Room for one word per line, not two.
  label.SetWidth(MeasureText(font, "WWWW").Width + 2 + 4);
  const int lineHeight = FontLineHeight(font);

  const TDrawnPage measured = DrawOnPage(label, Box(label), kDrawMeasure);
  EXPECT_EQ(measured.height, 3 * lineHeight + 2);
  EXPECT_TRUE(measured.texts.empty());
  const TDrawnPage drawn = DrawOnPage(label, Box(label));
  EXPECT_EQ(drawn.height, measured.height);
  ASSERT_EQ(drawn.texts.size(), 3u);
  EXPECT_EQ(drawn.texts[0].at, (TPoint{11, 11}));
  EXPECT_EQ(drawn.texts[2].at, (TPoint{11, 11 + 2 * lineHeight}));

  label.SetStretch(false);
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, 22);
  EXPECT_EQ(DrawOnPage(label, Box(label)).height, 22);
}

TEST_F(RenderText, EmptyTextTakesALineUnlessBlankLinesAreRemoved) {
  TZdqLabel& label = Label("", 80, 30);
  const int lineHeight = FontLineHeight(FontOf(label));
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, lineHeight + 2);

  label.ZdPrintWhen().SetRemoveBlankLine(true);
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, 2);
  const TDrawnPage drawn = DrawOnPage(label, Box(label));
  EXPECT_EQ(drawn.height, 2);
  EXPECT_TRUE(drawn.texts.empty());

  // Without stretching the design height stands either way.
  label.SetStretch(false);
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, 32);
}

TEST_F(RenderText, ARepeatedValueIsSuppressedOnlyWhenAskedInRunMode) {
  TZdqLabel& label = Label("Same", 80, 20);
  label.ZdPrintWhen().SetRepeatedValues(false);
  RunMode();

  const TDrawnPage first = DrawOnPage(label, Box(label));
  ASSERT_EQ(first.texts.size(), 1u);
  EXPECT_EQ(first.texts[0].text, "Same");
  EXPECT_GT(first.height, 0);
  EXPECT_EQ(label.GetPrevValue(), TVariant("Same"));

  label.UpdateCurValue();
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, 0);
  const TDrawnPage repeat = DrawOnPage(label, Box(label));
  EXPECT_EQ(repeat.height, 0);
  EXPECT_TRUE(repeat.texts.empty());
  EXPECT_EQ(label.GetPrevValue(), TVariant("Same"));

  label.SetDisplayName("Other");
  label.UpdateCurValue();
  const TDrawnPage changed = DrawOnPage(label, Box(label));
  ASSERT_EQ(changed.texts.size(), 1u);
  EXPECT_EQ(label.GetPrevValue(), TVariant("Other"));

  // The designer shows every control whatever its values.
  report.ReportState = TZdReportState::rsDesign;
  EXPECT_EQ(DrawOnPage(label, Box(label)).texts.size(), 1u);
  // Two Nulls are no repetition.
  label.SetPrevValue(TVariant());
  label.SetCurValue(TVariant());
  EXPECT_TRUE(label.ValueChanged());
}

TEST_F(RenderText, MeasuringLeavesThePreviousValueAlone) {
  TZdqLabel& label = Label("Once", 80, 20);
  RunMode();
  DrawOnPage(label, Box(label), kDrawMeasure);
  EXPECT_TRUE(label.GetPrevValue().isNull());
  DrawOnPage(label, Box(label));
  EXPECT_EQ(label.GetPrevValue(), TVariant("Once"));
}

// ---- placement ----

TEST_F(RenderText, AlignmentOffsetsKeepLeftAndRightInsideTheBox) {
  const std::string wide = "A caption far wider than its box";
  TZdqLabel& label = Label(wide, 60, 20);
  label.SetWordWrap(false);
  const TFont font = FontOf(label);
  const int inner = 60 - 2;  // frame of width 1 on both sides
  ASSERT_GT(MeasureText(font, wide).Width, inner);

  auto startX = [&]() {
    const TDrawnPage page = DrawOnPage(label, Box(label));
    EXPECT_EQ(page.texts.size(), 1u);
    return page.texts.empty() ? -1000 : page.texts[0].at.X;
  };
  EXPECT_EQ(startX(), 11);
  label.SetAlignment(TAlignment::taRightJustify);
  EXPECT_EQ(startX(), 11);
  label.SetAlignment(TAlignment::taCenter);
  EXPECT_EQ(startX(), 11 + inner / 2 - MeasureText(font, wide).Width / 2);
  EXPECT_LT(startX(), 10);

  label.SetDisplayName("Hi");
  const int tw = MeasureText(font, "Hi").Width;
  label.SetAlignment(TAlignment::taRightJustify);
  EXPECT_EQ(startX(), 11 + inner - tw);
  label.SetAlignment(TAlignment::taCenter);
  EXPECT_EQ(startX(), 11 + inner / 2 - tw / 2);
}

TEST_F(RenderText, RotatedTextIsPlacedForItsAngle) {
  TZdqLabel& label = Label("Upward", 40, 200);
  const TFont font = FontOf(label);
  const int tw = MeasureText(font, "Upward").Width, th = FontLineHeight(font);
  ASSERT_LE(tw, 200 - 2);
  ASSERT_LE(th, 40 - 2);

  label.SetAngle(90);
  TDrawnPage page = DrawOnPage(label, Box(label));
  ASSERT_EQ(page.texts.size(), 1u);
  // Reads upward from the lower left: the start lies one text width down.
  EXPECT_EQ(page.texts[0].at, (TPoint{11, 11 + tw}));
  EXPECT_EQ(page.texts[0].escapement, 900);
  EXPECT_EQ(page.height, th + 2);
  EXPECT_EQ(DrawOnPage(label, Box(label), kDrawMeasure).height, th + 2);

  // Reading downward, the start moves right by one line height.
  label.SetAngle(270);
  page = DrawOnPage(label, Box(label));
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].at, (TPoint{11 + th, 11}));
  EXPECT_EQ(page.texts[0].escapement, 2700);

  // The rotated font does not outlive the control's drawing.
  label.SetAngle(0);
  page = DrawOnPage(label, Box(label));
  ASSERT_EQ(page.texts.size(), 1u);
  EXPECT_EQ(page.texts[0].escapement, 0);
}

TEST_F(RenderText, AHighlightFillsEvenATransparentControl) {
  TZdqLabel& label = Label("", 80, 30);
  TZdqHighLight* highlight = label.HighLights().Add();
  highlight->SetExpression("Hot");
  highlight->SetColor(clYellow);
  TZdqParameter* hot = report.Parameters().Add();
  hot->SetName("Hot");
  hot->SetValue(TVariant(true));
  ASSERT_TRUE(label.Transparent());

  auto inside = [&]() { return Played(DrawOnPage(label, Box(label)).meta).pixel(80, 30) & 0xFFFFFF; };
  EXPECT_EQ(inside(), 0xFFFFFFu) << "highlights wait for run mode";
  RunMode();
  EXPECT_EQ(inside(), 0xFFFF00u);  // yellow as ARGB
  hot->SetValue(TVariant(false));
  EXPECT_EQ(inside(), 0xFFFFFFu);
}

// ---- values ----

class RenderValues : public RenderText {
 protected:
  void SetUp() override {
    RenderText::SetUp();
    orders = new TMemoryDataSet(&report);
    orders->SetName("Orders");
    orders->AddField("Amount", TFieldType::ftFloat);
    orders->AddField("Customer", TFieldType::ftString, 20);
    orders->AppendRecord({TVariant(1234.5), TVariant("Ann")});
    orders->AppendRecord({TVariant(2.0), TVariant("Bob")});
    orders->Open();
    report.SetDataSet(orders);
  }

  TZdqExpression& Expression(const std::string& text, const std::string& format) {
    auto* e = new TZdqExpression(&Detail());
    e->SetExpression(text);
    e->SetFormat(format);
    e->SetWidth(150);
    return *e;
  }

  std::string Printed(TZdqControl& control) {
    const TDrawnPage page = DrawOnPage(control, Box(control));
    return page.texts.size() == 1 ? page.texts[0].text : "<" + std::to_string(page.texts.size()) + " texts>";
  }

  TMemoryDataSet* orders = nullptr;
};

TEST_F(RenderValues, AnExpressionPrintsItsFieldThroughTheFormat) {
  TZdqExpression& amount = Expression("Amount", "@N @ND2 @NS. @NT, ");
  TZdqExpression& customer = Expression("Customer", "");
  RunMode();
  amount.UpdateCurValue();
  customer.UpdateCurValue();
  EXPECT_EQ(Printed(amount), "1,234.50");
  EXPECT_EQ(Printed(customer), "Ann");

  orders->Next();
  amount.UpdateCurValue();
  EXPECT_EQ(Printed(amount), "2.00");

  // The designer shows names, not values.
  report.ReportState = TZdReportState::rsDesign;
  EXPECT_EQ(Printed(amount), amount.DisplayName());
}

TEST_F(RenderValues, ACalculationAccumulatesOverRows) {
  TZdqExpression& total = Expression("Amount", "");
  total.Calculation().SetCalcType(TCalcType::ctSum);
  RunMode();
  total.UpdateCurValue();
  EXPECT_EQ(total.GetCurValue(), TVariant("0")) << "no row in hand, nothing taken in";
  report.TakeNextRow(true);
  total.UpdateCurValue();
  total.UpdateCurValue();  // the same row again replaces its value
  EXPECT_EQ(total.GetCurValue(), TVariant("1234.5"));
  orders->Next();
  report.TakeNextRow(true);
  total.UpdateCurValue();
  EXPECT_EQ(total.GetCurValue(), TVariant("1236.5"));
  EXPECT_EQ(Printed(total), "1236.5");
}

TEST_F(RenderValues, LeadingZerosFillTheCharactersInsideTheFrame) {
  TZdqExpression& number = Expression("Amount", "@N @ND0 @NL ");
  orders->Next();
  RunMode();
  number.UpdateCurValue();
  const int zero = MeasureText(FontOf(number), "0").Width;
  // Five digit cells once the frame (1) and a margin of 2 are taken off.
  number.SetWidth(5 * zero + 1 + 2);
  EXPECT_EQ(Printed(number), "00002");
}

TEST_F(RenderValues, SystemDataPrintsThePageNumberWithItsDefaultFormat) {
  auto* page = new TZdqSysData(&Detail());
  page->SetSysData(TZdqSysDataType::sdPageNo);
  report.SetPageNoStartAt(10);
  report.SetPageNoCountBy(2);
  report.Producer().SetCurrentPage(2, 0);
  RunMode();
  page->UpdateCurValue();
  EXPECT_EQ(page->GetCurValue(), TVariant("16"));
  EXPECT_EQ(Printed(*page), "16");
}

}  // namespace
