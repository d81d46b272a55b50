#include "host/locale/SystemLocale.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(SystemLocale, GermanConventionsAndTheUnitedStatesMatchingTheFixedDefaultWhereItMatters) {
  const TLocale de = LocaleForName("de_DE");
  EXPECT_EQ(de.decimalSeparator, ',');
  EXPECT_EQ(de.thousandSeparator, '.');
  EXPECT_EQ(de.dateSeparator, '.');
  EXPECT_EQ(de.timeSeparator, ':');
  EXPECT_EQ(de.longMonthNames[2], "März");
  EXPECT_EQ(de.longDayNames[0], "Sonntag");  // ours start on Sunday
  EXPECT_EQ(de.currencyString, "€");
  EXPECT_EQ(de.currencyFormat, 3);  // "1 €"
  EXPECT_EQ(de.currencyDecimals, 2);
  EXPECT_EQ(de.primaryLanguageId, 0x07);
  EXPECT_EQ(de.ansiCodePage, 1252);
  EXPECT_EQ(de.shortTimeFormat.find("AMPM"), std::string::npos);  // 24-hour clock
  EXPECT_EQ(de.shortTimeFormat.find('H'), std::string::npos);
  const TLocale us = LocaleForName("en_US");
  const TLocale fixed;
  EXPECT_EQ(us.decimalSeparator, fixed.decimalSeparator);
  EXPECT_EQ(us.thousandSeparator, fixed.thousandSeparator);
  EXPECT_EQ(us.dateSeparator, fixed.dateSeparator);
  EXPECT_EQ(us.longMonthNames, fixed.longMonthNames);
  EXPECT_EQ(us.shortDayNames, fixed.shortDayNames);
  EXPECT_EQ(us.currencyString, "$");
  EXPECT_EQ(us.currencyFormat, 0);
  EXPECT_NE(us.shortTimeFormat.find("AMPM"), std::string::npos);
  EXPECT_EQ(us.shortTimeFormat.find(" t"), std::string::npos);
  EXPECT_EQ(us.primaryLanguageId, 0x09);
}

TEST(SystemLocale, OtherCodePagesUnknownNamesAndTheFixedDefaultUntilReplaced) {
  EXPECT_EQ(LocaleForName("ru_RU").ansiCodePage, 1251);
  EXPECT_EQ(LocaleForName("pl_PL").ansiCodePage, 1250);
  EXPECT_THROW(LocaleForName("zz_nonsense"), std::invalid_argument);
  EXPECT_NO_THROW(SystemLocale());
  EXPECT_EQ(currentLocale().decimalSeparator, '.');
  const TLocale before = currentLocale();
  setCurrentLocale(LocaleForName("de_DE"));
  EXPECT_EQ(currentLocale().decimalSeparator, ',');
  setCurrentLocale(before);
}

}  // namespace
}  // namespace zd
