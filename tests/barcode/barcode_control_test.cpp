// The barcode control in a report: its value and name, the bars it puts on
// a canvas (horizontal and turned, on a page and on a design surface), what
// it does with content it cannot encode, and templates that keep it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "barcode/ZdBarCode.h"
#include "host/data/MemoryDataSet.h"
#include "host/emf/Metafile.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "report/model/ZdReport.h"
#include "report/template/Template.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {

constexpr TColor kInk = RGBColor(0, 0, 128);

// A design surface: records the filled rectangles and the texts.
class TRecordingCanvas : public TCanvas {
 public:
  std::vector<TRect> Fills;
  std::vector<TColor> FillColors;
  std::vector<std::string> Texts;
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Rectangle(const TRect&) override {}
  void RoundRect(const TRect&, int, int) override {}
  void Ellipse(const TRect&) override {}
  void FillRect(const TRect& r) override {
    Fills.push_back(r);
    FillColors.push_back(Brush.Color);
  }
  void StretchDraw(const TRect&, const TBitmap&) override {}
  void TextOutClipped(int, int, const std::string& text, const TRect*) override { Texts.push_back(text); }
  using TCanvas::Rectangle;
};

// The bars a page recording holds.
std::vector<TRect> BarsOnPage(TZdBarCode& code, TRect rect) {
  TMetafile meta;
  meta.SetWidth(800);
  meta.SetHeight(600);
  {
    TMetafileCanvas canvas(meta);
    code.Draw(canvas, rect, 0);
    canvas.Close();
  }
  std::vector<TRect> bars;
  EnumerateMetafile(meta, [&](const TEmfRecord& r, const TEmfState& s) {
    if (r.Type == EMR_RECTANGLE && s.Pen.Style == 5) {
      const TRect b = r.RectAt(8);
      bars.push_back({b.Left, b.Top, b.Right - 1, b.Bottom - 1});  // recorded one past the fill
    }
    return true;
  });
  return bars;
}

class BarCodeControl : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    RegisterZdBarCode();
    code = new TZdBarCode(&Detail());
    code->Frame().SetWidth(0);
    code->Frame().SetColor(kInk);
  }
  TZdqBand& Detail() { return *report.GetBand(report.GetIndexBand(TBandType::btDetail)); }
  TRecordingCanvas Drawn(TRect rect) {
    TRecordingCanvas canvas;
    code->Draw(canvas, rect, 0);
    return canvas;
  }

  TZdReport report;
  TZdBarCode* code = nullptr;
};

}  // namespace

TEST_F(BarCodeControl, StartsAsPostnetAndANameShowingTheValueFollowsIt) {
  EXPECT_EQ(code->BarCodeType(), TBarCodeType::bcPostnet);
  EXPECT_EQ(code->Value(), "00000-0000");
  EXPECT_EQ(code->NarrowWidth(), 1);
  EXPECT_EQ(code->WideWidth(), 3);
  EXPECT_EQ(code->DisplayName(), "BarCode");

  code->SetValue("123");
  EXPECT_EQ(code->DisplayName(), "BarCode") << "a name that never showed the value stays";
  code->SetDisplayName("123");
  code->SetValue("456");
  EXPECT_EQ(code->DisplayName(), "456");
  code->SetExpression("Items.Code");
  EXPECT_EQ(code->DisplayName(), "456");
  code->SetDisplayName("Items.Code");
  code->SetExpression("Items.Other");
  EXPECT_EQ(code->DisplayName(), "Items.Other");
  code->SetDisplayName("Mine");
  code->SetValue("789");
  EXPECT_EQ(code->DisplayName(), "Mine");

  code->SetNarrowWidth(0);
  code->SetWideWidth(-4);
  EXPECT_EQ(code->NarrowWidth(), 1);
  EXPECT_EQ(code->WideWidth(), 1);
}

TEST_F(BarCodeControl, TakesTheNamedFieldUpperCasedOnlyForTheClassicSymbologies) {
  auto* items = new TMemoryDataSet(&report);
  items->SetName("Items");
  items->AddField("Code", TFieldType::ftString, 40);
  items->AppendRecord({TVariant(std::string("ab-1"))});
  items->Open();
  report.SetDataSet(items);

  code->SetValue("ignored");
  code->SetExpression("Items.Code");
  code->SetBarCodeType(TBarCodeType::bcCode39);
  EXPECT_EQ(code->GetBarCode(), "AB-1");
  code->SetBarCodeType(TBarCodeType::bcQRCode);
  EXPECT_EQ(code->GetBarCode(), "ab-1") << "QR Code carries lower case";

  code->SetExpression("Missing.Code");
  EXPECT_EQ(code->GetBarCode(), "");
  EXPECT_TRUE(report.Warnings().empty());
  code->SetExpression("Items.NoSuchField");
  EXPECT_EQ(code->GetBarCode(), "");
  ASSERT_EQ(report.Warnings().size(), 1u);
  EXPECT_NE(report.Warnings()[0].find("NoSuchField"), std::string::npos) << report.Warnings()[0];
}

TEST_F(BarCodeControl, PostnetBarsStandOnTheBaselineOrTurnedFromTheLeft) {
  code->SetValue("12345-6789");
  code->SetNarrowWidth(2);
  // Full (f) and half (h) bars of each digit, check digit 5 last.
  const std::string digits[] = {"ffhhh", "hhhff", "hhfhf", "hhffh", "hfhhf",
                                "hfhfh", "hffhh", "fhhhf", "fhhfh", "fhfhh"};
  std::string expected = "f";
  for (char c : std::string("1234567895")) expected += digits[c - '0'];
  expected += "f";

  TRecordingCanvas canvas = Drawn({100, 50, 400, 70});
  ASSERT_EQ(canvas.Fills.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const TRect bar = canvas.Fills[i];
    EXPECT_EQ(bar.Left, 100 + 4 * int(i)) << i;  // a bar and a space of 2 each
    EXPECT_EQ(bar.Width(), 2);
    EXPECT_EQ(bar.Bottom, 70) << i;
    EXPECT_EQ(bar.Top, expected[i] == 'f' ? 50 : 62) << i;
  }
  EXPECT_TRUE(std::all_of(canvas.FillColors.begin(), canvas.FillColors.end(), [](TColor c) { return c == kInk; }))
      << "bars take the frame's pen colour";

  code->SetVertical(true);
  canvas = Drawn({100, 50, 120, 400});
  ASSERT_EQ(canvas.Fills.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const TRect bar = canvas.Fills[i];
    EXPECT_EQ(bar.Top, 50 + 4 * int(i)) << i;
    EXPECT_EQ(bar.Height(), 2);
    EXPECT_EQ(bar.Left, 100);
    EXPECT_EQ(bar.Right, expected[i] == 'f' ? 120 : 112) << i;
  }
}

TEST_F(BarCodeControl, OnlyAPageKeepsTheBarsPastTheControlsEdge) {
  code->SetBarCodeType(TBarCodeType::bcCode39);
  code->SetValue("AB");
  const TRect narrow{10, 10, 40, 30};
  // 4 characters of 6 narrow and 3 wide elements plus a gap: 4 * (6 + 9 + 1) units.
  const std::vector<TRect> page = BarsOnPage(*code, narrow);
  ASSERT_EQ(page.size(), 4u * 5);
  EXPECT_EQ(page.back().Right, 10 + 4 * 16 - 1);
  const TRecordingCanvas surface = Drawn(narrow);
  EXPECT_LT(surface.Fills.size(), page.size());
  for (const TRect& bar : surface.Fills) EXPECT_LT(bar.Left, narrow.Right);
  ASSERT_FALSE(surface.Fills.empty());
  EXPECT_EQ(surface.Fills.front(), page.front());

  code->SetVertical(true);
  const TRecordingCanvas turned = Drawn({10, 10, 30, 40});
  ASSERT_FALSE(turned.Fills.empty());
  for (const TRect& bar : turned.Fills) EXPECT_LT(bar.Top, 40);
}

TEST_F(BarCodeControl, ContentASymbologyCannotCarryDrawsNothingAndIsReportedWhilePrinting) {
  const std::pair<TBarCodeType, std::string> refused[] = {
      {TBarCodeType::bcInterleaved2of5, "12A4"}, {TBarCodeType::bcPostnet, "12345 6789"},
      {TBarCodeType::bcUPCA, "123456789"},       {TBarCodeType::bcCode39, "A#B"},
      {TBarCodeType::bcEAN13, "12345"},          {TBarCodeType::bcEAN13, "59012341234X"},
      {TBarCodeType::bcQRCode, std::string(9000, 'x')}};
  for (const auto& [type, value] : refused) {
    code->SetBarCodeType(type);
    code->SetValue(value);
    EXPECT_TRUE(Drawn({0, 0, 300, 50}).Fills.empty()) << value;
  }
  EXPECT_TRUE(report.Warnings().empty()) << "a design surface warns of nothing";

  report.ReportState = TZdReportState::rsPrepare;
  code->SetDisplayName("Lot");
  code->SetBarCodeType(TBarCodeType::bcInterleaved2of5);
  code->SetValue("12A4");
  code->UpdateCurValue();
  EXPECT_TRUE(Drawn({0, 0, 300, 50}).Fills.empty());
  ASSERT_EQ(report.Warnings().size(), 1u);
  EXPECT_NE(report.Warnings()[0].find("Lot"), std::string::npos);
  EXPECT_NE(report.Warnings()[0].find("Interleaved 2 of 5"), std::string::npos) << report.Warnings()[0];

  code->SetValue("");
  code->UpdateCurValue();
  EXPECT_TRUE(Drawn({0, 0, 300, 50}).Fills.empty());
  EXPECT_EQ(report.Warnings().size(), 1u) << "an empty value is no fault";
}

TEST_F(BarCodeControl, TheTextLineSitsUnderTheBarsWhenAskedFor) {
  code->SetBarCodeType(TBarCodeType::bcUPCA);
  code->SetValue("0123456789");
  TRecordingCanvas plain = Drawn({0, 0, 300, 80});
  EXPECT_TRUE(plain.Texts.empty());
  ASSERT_FALSE(plain.Fills.empty());
  EXPECT_EQ(plain.Fills[0].Bottom, 80);

  code->SetShowText(true);
  TRecordingCanvas labelled = Drawn({0, 0, 300, 80});
  EXPECT_EQ(labelled.Texts, (std::vector<std::string>{"001234567895"}));
  ASSERT_EQ(labelled.Fills.size(), plain.Fills.size());
  EXPECT_LT(labelled.Fills[0].Bottom, 80);
  EXPECT_GT(labelled.Fills[0].Bottom, 50);

  code->SetBarCodeType(TBarCodeType::bcEAN13);
  code->SetValue("590123412345");
  EXPECT_EQ(Drawn({0, 0, 300, 80}).Texts, (std::vector<std::string>{"5901234123457"}));
}

TEST_F(BarCodeControl, LibzintSymbolsScaleIntoTheRectangle) {
  code->SetBarCodeType(TBarCodeType::bcQRCode);
  code->SetValue("HELLO");  // version 1: 21 modules
  const TRecordingCanvas qr = Drawn({10, 20, 110, 90});
  ASSERT_FALSE(qr.Fills.empty());
  int left = 1 << 20, top = left, right = 0, bottom = 0;
  for (const TRect& m : qr.Fills) {
    left = std::min(left, m.Left), top = std::min(top, m.Top);
    right = std::max(right, m.Right), bottom = std::max(bottom, m.Bottom);
  }
  // Modules of 70 / 21 = 3 units from the corner, the finder patterns at three corners.
  EXPECT_EQ((TRect{left, top, right, bottom}), (TRect{10, 20, 10 + 63, 20 + 63}));

  code->SetBarCodeType(TBarCodeType::bcCode128);
  code->SetNarrowWidth(2);
  const TRecordingCanvas across = Drawn({0, 0, 400, 50});
  code->SetVertical(true);
  const TRecordingCanvas turned = Drawn({0, 0, 50, 400});
  ASSERT_EQ(turned.Fills.size(), across.Fills.size());
  for (size_t i = 0; i < across.Fills.size(); ++i) {
    EXPECT_EQ(turned.Fills[i].Top, across.Fills[i].Left) << i;
    EXPECT_EQ(turned.Fills[i].Height(), across.Fills[i].Width()) << i;
    EXPECT_EQ(turned.Fills[i].Width(), 50) << i;
  }
}

TEST_F(BarCodeControl, TemplatesKeepEveryProperty) {
  code->SetBarCodeType(TBarCodeType::bcDataMatrix);
  code->SetValue("P-0001");
  code->SetExpression("Items.Sku");
  code->SetNarrowWidth(2);
  code->SetWideWidth(5);
  code->SetVertical(true);
  code->SetShowText(true);
  code->SetDisplayName("Sku");
  const TBytes binary = SaveReportToBytes(report);
  for (TTemplateFormat format : {TTemplateFormat::Binary, TTemplateFormat::Text}) {
    TZdReport loaded;
    LoadReportFromBytes(loaded, TemplateTreeToBytes(ReadTemplateTree(binary), format));
    TZdqBand* detail = loaded.GetBand(loaded.GetIndexBand(TBandType::btDetail));
    ASSERT_TRUE(detail);
    ASSERT_EQ(detail->Objects().size(), 1u);
    auto* back = dynamic_cast<TZdBarCode*>(detail->Objects()[0]);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->BarCodeType(), TBarCodeType::bcDataMatrix);
    EXPECT_EQ(back->Value(), "P-0001");
    EXPECT_EQ(back->Expression(), "Items.Sku");
    EXPECT_EQ(back->NarrowWidth(), 2);
    EXPECT_EQ(back->WideWidth(), 5);
    EXPECT_TRUE(back->Vertical());
    EXPECT_TRUE(back->ShowText());
    EXPECT_EQ(back->DisplayName(), "Sku");
  }
}

TEST(BarCodeExample, TheExampleShowsEverySymbologyAndItsTextIsTheSameTemplate) {
  test::ensureGuiApp();
  RegisterZdBarCode();
  const auto contents = [](const std::string& name) {
    std::ifstream in(std::string(ZD_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const TBytes binary = contents("barcodes.zdq"), text = contents("barcodes.zdqt");
  ASSERT_FALSE(binary.empty());
  EXPECT_EQ(TemplateTreeToBytes(ReadTemplateTree(text), TTemplateFormat::Binary), binary);

  TZdReport report;
  LoadReportFromBytes(report, binary);
  std::set<TBarCodeType> shown;
  for (const TZdqBand* band : report.Bands())
    for (const TZdqControl* control : band->Objects())
      if (auto* code = dynamic_cast<const TZdBarCode*>(control)) {
        shown.insert(code->BarCodeType());
        EXPECT_EQ(code->Expression().rfind("ProductLabels.", 0), 0u) << code->Expression();
      }
  EXPECT_EQ(shown.size(), 8u);
}
