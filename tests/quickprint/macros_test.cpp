// Header and footer macros and the row styles' colours.
#include <gtest/gtest.h>

#include "quickprint/ZdqMacros.h"
#include "quickprint/ZdqStyle.h"

using namespace zd;

namespace {

TMacroValues Values() {
  TMacroValues v;
  v.date = "07.12.2026";
  v.time = "21:04:00";
  v.pageNo = 3;
  v.pageCount = 9;
  v.barNo = 2;
  v.barCount = 4;
  return v;
}

TEST(Macros, ExpandTextNumbersAndLayout) {
  const TExpandedLine footer = ExpandMacros("%A%Rpage #%PN/Sheet%BN", '%', Values());
  EXPECT_EQ(footer.text, "page #3/Sheet2");
  EXPECT_EQ(footer.alignment, TAlignment::taRightJustify);
  EXPECT_TRUE(footer.pageStart);

  const TExpandedLine header = ExpandMacros("%A%L%DT%FB", '%', Values());
  EXPECT_EQ(header.text, "07.12.2026 21:04:00");
  EXPECT_EQ(header.bevel, TBevel::bvBottomLine);
  EXPECT_EQ(header.alignment, TAlignment::taLeftJustify);

  const TExpandedLine counts = ExpandMacros("%C%O%D %T %PC %BC|%FF", '%', Values());
  EXPECT_EQ(counts.text, "07.12.2026 21:04:00 9 4|");
  EXPECT_EQ(counts.alignment, TAlignment::taCenter);
  EXPECT_EQ(counts.bevel, TBevel::bvFrame);
  EXPECT_FALSE(counts.pageStart);

  // Lower-case codes work as upper-case ones.
  EXPECT_EQ(ExpandMacros("%pn of %pc", '%', Values()).text, "3 of 9");
}

TEST(Macros, LiteralAndUnknownMacroCharacters) {
  EXPECT_EQ(ExpandMacros("100%% sure", '%', Values()).text, "100% sure");
  EXPECT_EQ(ExpandMacros("100%% sure", '#', Values()).text, "100%% sure");
  EXPECT_EQ(ExpandMacros("a##b #PN", '#', Values()).text, "a#b 3");
  // Before a character that starts no macro the macro character is dropped.
  EXPECT_EQ(ExpandMacros("%x%Pz%F?", '%', Values()).text, "xPzF?");
  EXPECT_EQ(ExpandMacros("end%", '%', Values()).text, "end");
}

TEST(Macros, PicturesTakeTheRestOfTheLine) {
  const TExpandedLine top = ExpandMacros("%L%IT  logo file.png  ", '%', Values());
  EXPECT_EQ(top.imageFile, "logo file.png");
  EXPECT_EQ(top.imageAlign, TImageAlign::iaTopPage);
  EXPECT_EQ(ExpandMacros("%IBb.png", '%', Values()).imageAlign, TImageAlign::iaBottomPage);
  EXPECT_EQ(ExpandMacros("%IPp.png", '%', Values()).imageAlign, TImageAlign::iaWholePage);
}

TEST(Macros, CountsNeedASecondPass) {
  EXPECT_TRUE(NeedsPageCounts("%PN/%PC", '%'));
  EXPECT_TRUE(NeedsPageCounts("sheets %bc", '%'));
  EXPECT_FALSE(NeedsPageCounts("%PN %BN", '%'));
  EXPECT_FALSE(NeedsPageCounts("%%PC", '%'));  // a literal % then the text PC
  EXPECT_FALSE(NeedsPageCounts("%PC", '#'));
}

TEST(RowStyles, EachStyleBringsItsColours) {
  struct TCase {
    const char* name;
    TColor odd, even;
  };
  const TCase cases[] = {{"brick", 0xCFDFDF, 0xA0BFBF},   {"desert", 0xB8CCD8, 0x688CA0},
                         {"eggplant", 0xA8B090, 0x788058}, {"lilac", 0xD8A8B0, 0xB05058},
                         {"maple", 0xA8D8EB, 0x48A8C8},    {"marine", 0xB8C088, 0x889048},
                         {"rose", 0xB8B0D0, 0x7060A0},     {"spruce", 0xA8C8A0, 0x689858},
                         {"wheat", 0xA0E0E0, 0x40BCC0}};
  for (const TCase& c : cases) {
    const std::optional<TZdqRowStyle> style = RowStyleByName(c.name);
    ASSERT_TRUE(style) << c.name;
    EXPECT_EQ(RowStyleName(*style), c.name);
    TZdqStyle s;
    s.SetRowStyle(*style);
    EXPECT_EQ(s.OddColor, c.odd) << c.name;
    EXPECT_EQ(s.EvenColor, c.even) << c.name;
  }
  EXPECT_FALSE(RowStyleByName("Brick"));

  TZdqStyle s;
  s.SetRowStyle(TZdqRowStyle::rsPriceList);
  EXPECT_EQ(s.OddColor, InfoBackgroundColor());
  EXPECT_EQ(s.EvenColor, 0xFFFFFFu);
  s.SetRowStyle(TZdqRowStyle::rsMSMoney);
  EXPECT_EQ(s.OddColor, 0xFFFBF0u);
  EXPECT_EQ(s.EvenColor, WindowColor());
  // Back to normal keeps the colours chosen last.
  s.OddColor = 0x123456;
  s.SetRowStyle(TZdqRowStyle::rsNormal);
  EXPECT_EQ(s.OddColor, 0x123456u);
}

}  // namespace
