// The classic four symbologies' element sequences against the published
// tables, check digits and what each refuses.
#include <gtest/gtest.h>

#include "barcode/detail/LinearSymbols.h"

using namespace zd;

namespace {

// One letter an element: b/B narrow/wide bar, s/S narrow/wide space.
std::string Pattern(const TBarElements& elements) {
  std::string s;
  for (const TBarElement& e : elements) s += e.Bar ? (e.Wide ? 'B' : 'b') : (e.Wide ? 'S' : 's');
  return s;
}

}  // namespace

TEST(LinearSymbols, Code39FramesTheTextWithStarsAndRefusesWhatItCannotCarry) {
  // * = bSbsBsBsb, A = BsbsbSbsB, a narrow gap after each character.
  EXPECT_EQ(Pattern(EncodeCode39("A")), "bSbsBsBsbs" "BsbsbSbsBs" "bSbsBsBsbs");
  const TBarElements symbol = EncodeCode39("CODE-39 $/+%.");
  EXPECT_EQ(symbol.size(), 15u * 10);
  // Every character has three wide elements of nine.
  for (size_t c = 0; c < 15; ++c) {
    int wide = 0;
    for (size_t i = 0; i < 9; ++i) wide += symbol[c * 10 + i].Wide;
    EXPECT_EQ(wide, 3) << "character " << c;
  }
  EXPECT_TRUE(EncodeCode39("").empty());
  EXPECT_TRUE(EncodeCode39("ab").empty());    // lower case is the control's job
  EXPECT_TRUE(EncodeCode39("A*B").empty());   // an inner stop character
  EXPECT_TRUE(EncodeCode39("A#B").empty());
}

TEST(LinearSymbols, Interleaved2of5PadsAnOddCountAndTakesDigitsOnly) {
  // 0 = nnwwn, 1 = wnnnw, 2 = nwnnw, 3 = wwnnn; 123 is the pairs 01 and 23.
  EXPECT_EQ(Pattern(EncodeInterleaved2of5("123")), "bsbs" "bSbsBsBsbS" "bSBSbsbsBs" "Bsb");
  EXPECT_EQ(Pattern(EncodeInterleaved2of5("0123")), Pattern(EncodeInterleaved2of5("123")));
  EXPECT_TRUE(EncodeInterleaved2of5("").empty());
  EXPECT_TRUE(EncodeInterleaved2of5("12a4").empty());
  EXPECT_TRUE(EncodeInterleaved2of5("12 4").empty());
}

TEST(LinearSymbols, PostnetAddsTheCheckDigitAndSkipsSeparators) {
  // The bars themselves are checked where the control draws them.
  EXPECT_EQ(PostnetCheckDigit("12345-6789"), 5);
  EXPECT_EQ(PostnetCheckDigit("00000-0000"), 0);
  EXPECT_EQ(EncodePostnet("12345-6789"), EncodePostnet("12345/6789"));
  EXPECT_EQ(EncodePostnet("123456789"), EncodePostnet("12345-6789"));
  EXPECT_EQ(EncodePostnet("12345-6789").size(), 2u * (1 + 10 * 5) + 1);
  EXPECT_TRUE(EncodePostnet("").empty());
  EXPECT_TRUE(EncodePostnet("12345 6789").empty());
}

TEST(LinearSymbols, UpcALeadsWithNumberSystemZeroAndEndsWithTheCheckDigit) {
  EXPECT_EQ(UpcADigits("0123456789"), "001234567895");
  EXPECT_EQ(UpcACheckDigit("3600029145"), 2);  // the printed code 0 36000 29145 2
  // Guards, then 0 (0001101) in the left half and 2 (complement of 0010011) ending the right.
  const std::string p = Pattern(EncodeUpcA("3600029145"));
  ASSERT_EQ(p.size(), 3u + 42 + 5 + 42 + 3);
  EXPECT_EQ(p.substr(0, 10), "bsb" "sssbbsb");
  EXPECT_EQ(p.substr(45, 5), "sbsbs");
  EXPECT_EQ(p.substr(p.size() - 10), "bbsbbss" "bsb");
  EXPECT_TRUE(EncodeUpcA("012345678").empty());
  EXPECT_TRUE(EncodeUpcA("01234567890").empty());
  EXPECT_TRUE(EncodeUpcA("01234A6789").empty());
}
