#include <gtest/gtest.h>

#include "expr/StrUtils.h"

using namespace zd;

TEST(StrUtils, CodeArgumentsPaddingAndFirstCharacters) {
  const std::string f = "@N @ND3 @NS,";
  EXPECT_EQ(GetNextSpace(f, 7), "3");
  EXPECT_EQ(GetNextSpace(f, 12), ",");  // to the end without a space
  EXPECT_EQ(GetNextSpace(f, 3), " ");   // empty text reads as one space
  EXPECT_EQ(GetNextSpace(f, 13), " ");
  EXPECT_EQ(GetNextSpace(f, 0), " ");
  EXPECT_EQ(GetNextSpace(f, -5), " ");
  EXPECT_EQ(AddLeadingZeros("123", 2), "123");
  EXPECT_EQ(AddLeadingZeros("7", 3), "007");
  EXPECT_EQ(AddLeadingZeros("7", -1), "7");
  EXPECT_EQ(PadLSpace("ab", 4), "  ab");
  EXPECT_EQ(PadRSpace("ab", 4), "ab  ");
  EXPECT_EQ(PadLSpace("abcdef", 4), "abcdef");
  EXPECT_EQ(FirstCharacter("€uro"), "€");
  EXPECT_EQ(FirstCharacter(",x"), ",");
  EXPECT_EQ(FirstCharacter(""), "");
  EXPECT_EQ(FirstCharacter("\xE2\x82"), "\xE2\x82");  // truncated sequence as it stands
  EXPECT_EQ(FirstCharacter("\xE2x"), "\xE2");
}

TEST(StrUtils, ProperStartsWordsOnlyAfterSpacesAndSystemCharsAreReplaced) {
  EXPECT_EQ(Proper("hELLO wORLD"), "Hello World");
  EXPECT_EQ(Proper("o'neil-smith mc\tdonald"), "O'neil-smith Mc\tdonald");
  EXPECT_EQ(Proper("  ab"), "  Ab");
  EXPECT_EQ(Proper("äPFEL ÜBER"), "Äpfel Über");
  EXPECT_EQ(Proper(""), "");
  EXPECT_EQ(ReplaceSystemChars("a<b & \"c\""), "a&lt;b &amp; &quot;c&quot;");
  EXPECT_EQ(ReplaceSystemChars("'x'>|"), "&apos;x&apos;&gt;&brvbar");
  EXPECT_EQ(ReplaceSystemChars("© 5° ±1 ¶ ™"), "&copy; 5&deg &plusmn1 &para &trade;");
  EXPECT_EQ(ReplaceSystemChars("Zürich"), "Zürich");  // other characters pass as they are
}

TEST(StrUtils, FieldReferencesAndNumberReadingWithDefaults) {
  EXPECT_EQ(GetFieldName("Orders.Amount"), "Amount");
  EXPECT_EQ(GetFieldName("Amount"), "");
  EXPECT_EQ(GetFieldName("Db.Orders.Amount"), "Orders.Amount");
  EXPECT_EQ(SetDSExpression("Orders", "Amount"), "Orders.Amount");
  EXPECT_EQ(SetDSExpression("", "Amount"), "Amount");
  EXPECT_DOUBLE_EQ(StrToFloatDef(" 2.5 ", 7), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef(" \t", 7), 7);
  EXPECT_DOUBLE_EQ(StrToFloatDef("2,5", 7), 7);
  TLocale comma;
  comma.decimalSeparator = ',';
  EXPECT_DOUBLE_EQ(StrToFloatDef("2,5", 7, comma), 2.5);
  EXPECT_EQ(StrToIntDef("99999999999", 1), 1);
}

