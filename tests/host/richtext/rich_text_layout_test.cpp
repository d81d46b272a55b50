#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <set>
#include <sstream>

#include "host/emf/Metafile.h"
#include "host/graphics/QtGraphics.h"
#include "host/richtext/RichText.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {
struct TTextRecord {
  std::string Text;
  TPoint At;
  TFont Font;
  int Width = 0;  // measured in the recorded font
};

TRect twips(int l, int t, int r, int b) { return {l * 15, t * 15, r * 15, b * 15}; }

TFont arial(int size) {
  TFont f;
  f.Name = "Arial";
  f.Size = size;
  return f;
}

class RichTextLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureGuiApp();
    rt.SetDefaultFont(arial(12));
  }
  int lineHeight(const TFont& f) const { return FontLineHeight(f) * 15; }
  // Renders into a metafile and reads the text records back.
  std::vector<TTextRecord> render(const TRect& rectTwips, int* bottom = nullptr) {
    TMetafile m;
    {
      TMetafileCanvas c(m);
      const int b = rt.FormatRange(c, rectTwips, true);
      if (bottom) *bottom = b;
      c.Close();
    }
    std::vector<TTextRecord> out;
    EnumerateMetafile(m, [&](const TEmfRecord& r, const TEmfState& s) {
      if (auto t = ReadEmfText(r)) {
        TFont f = s.Font.ToFont(s.TextColor);
        out.push_back({t->Text, t->Reference, f, MeasureText(f, t->Text).Width});
      }
      return true;
    });
    return out;
  }
  int measure(const TRect& rectTwips) {
    TMetafile m;
    TMetafileCanvas c(m);
    return rt.FormatRange(c, rectTwips, false);
  }
  static std::set<int> rows(const std::vector<TTextRecord>& recs) {
    std::set<int> ys;
    for (const auto& r : recs) ys.insert(r.At.Y);
    return ys;
  }
  TRichText rt;
};

const char* kLongText =
    "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly "
    "and a wizard's job is to vex chumps quickly in fog";
}  // namespace

TEST_F(RichTextLayout, LineAndParagraphHeightsAndSpacing) {
  const int lh = lineHeight(arial(12));
  rt.LoadFromText("One");
  EXPECT_EQ(measure(twips(10, 20, 400, 10000)), 300 + lh);
  rt.LoadFromText("One\nTwo");
  EXPECT_EQ(measure(twips(10, 20, 400, 10000)), 300 + 2 * lh);
  rt.Clear();  // an empty control is one empty line
  EXPECT_EQ(measure(twips(0, 0, 400, 10000)), lh);
  // An empty paragraph takes the height of its mark's font.
  rt.LoadFromRtf("{\\rtf1\\fs48\\par\\fs24 x\\par}");
  EXPECT_EQ(measure(twips(0, 0, 400, 10000)), lineHeight(arial(24)) + lh);
  rt.LoadFromRtf("{\\rtf1\\sb300\\sa200 A\\par}");
  EXPECT_EQ(measure(twips(0, 0, 400, 1000)), 300 + lh + 200);
  rt.LoadFromRtf("{\\rtf1\\sl-600 A\\line B\\par}");
  int bottom = 0;
  auto recs = render(twips(0, 0, 400, 1000), &bottom);
  EXPECT_EQ(bottom, 1200);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[1].At.Y - recs[0].At.Y, 40);
  rt.LoadFromRtf("{\\rtf1\\sl480\\slmult1 A\\par}");
  EXPECT_EQ(measure(twips(0, 0, 400, 1000)), lh * 2);
  rt.LoadFromRtf("{\\rtf1\\sl60 A\\par}");  // "at least" smaller than the font
  EXPECT_EQ(measure(twips(0, 0, 400, 1000)), lh);
}

TEST_F(RichTextLayout, WrapsAtSpacesWithinTheWidth) {
  rt.LoadFromText(kLongText);
  int wideBottom = 0, narrowBottom = 0;
  const auto wide = render(twips(0, 0, 3000, 10000), &wideBottom);
  const auto narrow = render(twips(20, 0, 220, 10000), &narrowBottom);
  EXPECT_EQ(rows(wide).size(), 1u);
  EXPECT_EQ(wideBottom, lineHeight(arial(12)));
  const size_t lines = rows(narrow).size();
  EXPECT_GT(lines, 3u);
  EXPECT_EQ(narrowBottom, int(lines) * lineHeight(arial(12)));
  std::string joined;
  for (const auto& r : narrow) {
    EXPECT_GE(r.At.X, 20);
    EXPECT_LE(r.At.X + r.Width, 221) << r.Text;
    EXPECT_NE(r.Text.back(), ' ') << "trailing spaces are not drawn";
    joined += (joined.empty() ? "" : " ") + r.Text;
  }
  EXPECT_EQ(joined, kLongText);
}

TEST_F(RichTextLayout, OverlongWordsBreakBetweenCharacters) {
  const std::string word(80, 'W');
  rt.LoadFromText("a " + word);
  const auto recs = render(twips(0, 0, 60, 10000));
  ASSERT_GT(recs.size(), 3u);
  EXPECT_EQ(recs[0].Text, "a");  // the long word starts its own line
  std::string joined;
  for (size_t i = 1; i < recs.size(); ++i) {
    EXPECT_LE(recs[i].Width, 61);
    joined += recs[i].Text;
  }
  EXPECT_EQ(joined, word);
  // Even a column narrower than one character makes progress.
  rt.LoadFromText("abc");
  EXPECT_EQ(render(twips(0, 0, 1, 10000)).size(), 3u);
}

TEST_F(RichTextLayout, AlignmentPositionsLines) {
  const int w = MeasureText(arial(12), "Hello").Width;
  rt.LoadFromText("Hello");
  rt.SetDefaultAlignment(TParaAlignment::paCenter);
  auto recs = render(twips(10, 0, 310, 1000));
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_NEAR(recs[0].At.X, 10 + (300 - w) / 2, 1);
  rt.SetDefaultAlignment(TParaAlignment::paRight);
  recs = render(twips(10, 0, 310, 1000));
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_NEAR(recs[0].At.X + w, 310, 1);
  // A paragraph's own alignment wins over the default.
  rt.LoadFromRtf("{\\rtf1\\ql Hello\\par\\qc Hello\\par}");
  recs = render(twips(10, 0, 310, 1000));
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].At.X, 10);
  EXPECT_NEAR(recs[1].At.X, 10 + (300 - w) / 2, 1);
  // Right indent moves the right edge in.
  rt.LoadFromRtf("{\\rtf1\\qr\\ri1500 Hello}");
  recs = render(twips(10, 0, 310, 1000));
  EXPECT_NEAR(recs.at(0).At.X + w, 310 - 100, 1);
}

TEST_F(RichTextLayout, JustifiedLinesFillTheWidth) {
  rt.LoadFromRtf(std::string("{\\rtf1\\qj ") + kLongText + "}");
  const auto recs = render(twips(0, 0, 250, 10000));
  const auto ys = rows(recs);
  ASSERT_GT(ys.size(), 2u);
  for (int y : ys) {
    int left = 1 << 30, right = 0;
    for (const auto& r : recs)
      if (r.At.Y == y && r.Text != " ") {
        left = std::min(left, r.At.X);
        right = std::max(right, r.At.X + r.Width);
      }
    EXPECT_EQ(left, 0);
    if (y != *ys.rbegin()) EXPECT_NEAR(right, 250, 2) << "line at " << y;
    else EXPECT_LT(right, 240) << "the last line stays ragged";
  }
}

TEST_F(RichTextLayout, RunsOfDifferentSizesShareABaseline) {
  rt.LoadFromRtf("{\\rtf1\\fs20 small \\fs48 BIG\\fs20  small}");
  int bottom = 0;
  const auto recs = render(twips(0, 0, 1000, 1000), &bottom);
  ASSERT_EQ(recs.size(), 3u);
  const int baseline = recs[0].At.Y + FontAscent(recs[0].Font);
  EXPECT_EQ(recs[1].At.Y + FontAscent(recs[1].Font), baseline);
  EXPECT_EQ(recs[2].At.Y + FontAscent(recs[2].Font), baseline);
  EXPECT_LT(recs[1].At.Y, recs[0].At.Y);
  EXPECT_EQ(bottom, lineHeight(arial(24)));
  EXPECT_EQ(recs[1].At.X, recs[0].At.X + recs[0].Width);
}

TEST_F(RichTextLayout, IndentsAndTabStops) {
  rt.LoadFromRtf(
      "{\\rtf1\\li720 A\\par\\pard\\fi1440 B\\par\\pard A\\tab B\\par\\pard\\tx1500 A\\tab B\\tab C\\par"
      "\\pard\\li1440\\fi-1440 H\\tab T\\par}");
  const auto recs = render(twips(10, 0, 600, 2000));
  ASSERT_EQ(recs.size(), 9u);
  EXPECT_EQ(recs[0].At.X, 10 + 48);
  EXPECT_EQ(recs[1].At.X, 10 + 96);
  EXPECT_EQ(recs[2].At.X, 10);
  EXPECT_EQ(recs[3].At.X, 10 + 48);   // default stops every half inch
  EXPECT_EQ(recs[5].At.X, 10 + 100);  // custom stop at 1500 twips
  EXPECT_EQ(recs[6].At.X, 10 + 144);  // then the default stops continue
  EXPECT_EQ(recs[7].At.X, 10);        // hanging indent: first line at the edge
  EXPECT_EQ(recs[8].At.X, 10 + 96);   // its tab reaches the left indent
}

TEST_F(RichTextLayout, ContentBelowTheRectangleIsCutAtALine) {
  const int lh = lineHeight(arial(12));
  rt.LoadFromText("1\n2\n3\n4\n5");
  const TRect cut{0, 150, 6000, 150 + lh * 5 / 2};
  int bottom = 0;
  const auto recs = render(cut, &bottom);
  EXPECT_EQ(recs.size(), 2u);
  EXPECT_EQ(bottom, 150 + 2 * lh);
  EXPECT_EQ(measure(cut), bottom);
  EXPECT_EQ(measure(TRect{0, 150, 6000, 1 << 29}), 150 + 5 * lh);
  // Measuring draws nothing.
  TMetafile m;
  {
    TMetafileCanvas c(m);
    rt.FormatRange(c, cut, false);
  }
  int texts = 0;
  EnumerateMetafile(m, [&](const TEmfRecord& r, const TEmfState&) { texts += bool(ReadEmfText(r)); return true; });
  EXPECT_EQ(texts, 0);
}

TEST_F(RichTextLayout, RunFormattingReachesTheCanvasAndLoadDetectsRtf) {
  rt.SetDefaultFont(arial(10));
  rt.LoadFromRtf(
      "{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red200\\green0\\blue0;}"
      "plain {\\b\\ul\\cf1 loud} {\\f0\\i\\strike quiet}}");
  const auto recs = render(twips(0, 0, 600, 1000));
  ASSERT_EQ(recs.size(), 4u);
  EXPECT_EQ(recs[0].Font.Name, "Arial");
  EXPECT_EQ(recs[0].Font.Size, 10);
  EXPECT_EQ(recs[1].Text, "loud");
  EXPECT_TRUE(recs[1].Font.Style.Has(fsBold));
  EXPECT_TRUE(recs[1].Font.Style.Has(fsUnderline));
  EXPECT_EQ(recs[1].Font.Color, RGBColor(200, 0, 0));
  EXPECT_EQ(recs[3].Text, "quiet");
  EXPECT_EQ(recs[3].Font.Name, "Times New Roman");
  EXPECT_TRUE(recs[3].Font.Style.Has(fsItalic));
  EXPECT_TRUE(recs[3].Font.Style.Has(fsStrikeOut));
  EXPECT_FALSE(recs[3].Font.Style.Has(fsBold));
  rt.Load(std::string("{\\rtf1 {\\b bold}}"));
  EXPECT_EQ(rt.Document().Paragraphs.at(0).Runs.at(0).Format.Bold, true);
  rt.Load(std::string("not {\\rtf1"));
  EXPECT_EQ(rt.Document().PlainText(), "not {\\rtf1");
  EXPECT_THROW(rt.LoadFromRtf(std::string("plain")), ERtfError);
}

TEST_F(RichTextLayout, HighlightAndBackgroundArePainted) {
  QImage img(300, 100, QImage::Format_RGB32);
  img.fill(Qt::white);
  rt.LoadFromRtf("{\\rtf1{\\colortbl;\\red0\\green255\\blue0;}A{\\highlight1           }B}");
  rt.SetBackground(RGBColor(255, 255, 0));
  const int wA = MeasureText(arial(12), "A").Width;
  {
    QPainter p(&img);
    TPainterCanvas c(p);
    rt.FormatRange(c, twips(10, 10, 290, 90), true);
  }
  const int mid = 10 + FontLineHeight(arial(12)) / 2;
  EXPECT_EQ(img.pixel(10 + wA + 5, mid), qRgb(0, 255, 0));   // highlighted spaces
  EXPECT_EQ(img.pixel(280, mid), qRgb(255, 255, 0));        // background right of the text
  EXPECT_EQ(img.pixel(280, 80), qRgb(255, 255, 255));       // below the text's bottom
  EXPECT_EQ(img.pixel(5, mid), qRgb(255, 255, 255));        // outside the rectangle
}

