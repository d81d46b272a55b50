#include "host/core/ColorIdents.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(ColorIdents, NamesAndValuesMapBothWays) {
  EXPECT_EQ(IdentToColor("clRed"), 0x0000FFu);  // red in the low byte
  EXPECT_EQ(IdentToColor("CLNAVY"), 0x800000u);
  EXPECT_EQ(IdentToColor("clBtnFace"), 0x8000000Fu);
  EXPECT_EQ(IdentToColor("clNone"), 0x1FFFFFFFu);
  EXPECT_EQ(IdentToColor("clPink"), std::nullopt);
  EXPECT_EQ(IdentToColor(""), std::nullopt);
  EXPECT_EQ(ColorToIdent(16777215), "clWhite");
  EXPECT_EQ(ColorToIdent(0x80000005), "clWindow");
  EXPECT_EQ(ColorToIdent(0x123456), std::nullopt);
  for (const char* name : {"clBlack", "clTeal", "clMoneyGreen", "clHighlightText", "clDefault", "clInfoBk"})
    EXPECT_EQ(ColorToIdent(*IdentToColor(name)), name);
}

}  // namespace
}  // namespace zd
