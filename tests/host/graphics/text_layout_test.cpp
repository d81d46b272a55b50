#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <numeric>

#include "host/graphics/Canvas.h"
#include "tests/Fixtures.h"

using namespace zd;

namespace {
// Records what DrawText asks to be drawn.
class TRecordingCanvas : public TCanvas {
 public:
  struct Out { int x, y; std::string text; bool clipped; };
  std::vector<Out> outs;
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Rectangle(const TRect&) override {}
  void RoundRect(const TRect&, int, int) override {}
  void Ellipse(const TRect&) override {}
  void FillRect(const TRect&) override {}
  void StretchDraw(const TRect&, const TBitmap&) override {}
  void TextOutClipped(int x, int y, const std::string& s, const TRect* clip) override {
    outs.push_back({x, y, s, clip != nullptr});
  }
};
}  // namespace

TEST(TextMeasure, SizesScaleWithPointsAndAreStable) {
  test::ensureGuiApp();
  TFont f;
  f.Name = "Arial";
  f.Size = 10;
  TSize a = MeasureText(f, "Hello world");
  EXPECT_GT(a.Width, 40);
  EXPECT_LT(a.Width, 120);
  EXPECT_EQ(a, MeasureText(f, "Hello world"));
  f.Size = 20;
  TSize b = MeasureText(f, "Hello world");
  EXPECT_NEAR(b.Width, 2 * a.Width, 4);
  EXPECT_GT(b.Height, a.Height);
  // Advances add up to the measured width.
  auto adv = CharAdvances(f, "Hello world");
  ASSERT_EQ(adv.size(), 11u);
  int sum = 0;
  for (int d : adv) sum += d;
  EXPECT_EQ(sum, b.Width);
  EXPECT_EQ(f.PixelHeight(), 27);
}

TEST(TextLayout, AdvancesOfLongTextsComeInLinearTimeAndStillAddUp) {
  test::ensureGuiApp();
  TFont f;
  std::string words, word;
  for (int i = 0; i < 20000; ++i) words += "word" + std::to_string(i % 97) + " ";
  for (int i = 0; i < 100000; ++i) word += char('a' + i % 26);  // one word, nowhere to cut at a blank
  // Processor time: a loaded machine stretches the wall clock, not this.
  const std::clock_t start = std::clock();
  for (const std::string& text : {words, word}) {
    const std::vector<int> advances = CharAdvances(f, text);
    ASSERT_EQ(advances.size(), text.size());
    EXPECT_EQ(std::accumulate(advances.begin(), advances.end(), 0), MeasureText(f, text).Width);
    // Pieces drift from the measured width by a few pixels in 600,000.
    EXPECT_LT(std::abs(advances.back()), 40);
  }
  // Pieces are shaped apart, yet the same letters take the same room.
  const std::vector<int> advances = CharAdvances(f, word);
  const auto room = [&](int from) { return std::accumulate(advances.begin() + from, advances.begin() + from + 260, 0); };
  EXPECT_NEAR(room(130), room(26000), 1);
  // Measuring from the line start for every character took seconds per text.
  EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 3.0);
}

TEST(TextLayout, WrapsAtWordsAndLineFeeds) {
  test::ensureGuiApp();
  TFont f;
  const int w = std::max(MeasureText(f, "alpha beta").Width, MeasureText(f, "gamma delta").Width);
  auto lines = WrapText(f, "alpha beta  gamma delta", w, true);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "alpha beta");
  EXPECT_EQ(lines[1], "gamma delta");
  for (auto& l : lines) EXPECT_LE(MeasureText(f, l).Width, w);

  lines = WrapText(f, "one\ntwo\r\n\nthree", 1000, true);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "three");
  // Without word break a long line stays whole.
  EXPECT_EQ(WrapText(f, "alpha beta gamma", 10, false).size(), 1u);
  // A word wider than the box stays whole on its own line.
  lines = WrapText(f, "a Supercalifragilistic b", MeasureText(f, "a").Width + 2, true);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Supercalifragilistic");
}

TEST(TextLayout, DrawTextCalcRectAndAlignment) {
  test::ensureGuiApp();
  TRecordingCanvas c;
  const int lh = FontLineHeight(c.Font);
  const int w = c.TextWidth("alpha beta");
  TRect r{10, 20, 10 + w, 1000};
  int h = c.DrawText(r, "alpha beta alpha beta alpha beta", DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(h, 3 * lh);
  EXPECT_EQ(r.Bottom, 20 + 3 * lh);
  EXPECT_LE(r.Width(), w);
  EXPECT_TRUE(c.outs.empty());

  TRect box{0, 0, 200, 100};
  h = c.DrawText(box, "right", DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(h, lh);
  ASSERT_EQ(c.outs.size(), 1u);
  EXPECT_EQ(c.outs[0].x, 200 - c.TextWidth("right"));
  EXPECT_EQ(c.outs[0].y, (100 - lh) / 2);
  EXPECT_TRUE(c.outs[0].clipped);
  c.outs.clear();
  c.DrawText(box, "a\nb", DT_CENTER | DT_NOCLIP);
  ASSERT_EQ(c.outs.size(), 2u);
  EXPECT_EQ(c.outs[1].y, lh);
  EXPECT_EQ(c.outs[0].x, (200 - c.TextWidth("a")) / 2);
  EXPECT_FALSE(c.outs[0].clipped);
}
