#include <gtest/gtest.h>

#include <cmath>

#include "expr/ExprValue.h"

using namespace zd;

TEST(FloatToStr, ShortestFormWithFifteenDigitsExponentsForExtremesAndLocaleSeparator) {
  EXPECT_EQ(FloatToStr(2.5), "2.5");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FloatToStr(-1234.5), "-1234.5");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(1.5e20), "1.5E20");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(0.00001), "1E-5");
  EXPECT_EQ(FloatToStr(-2.25e-7), "-2.25E-7");
  TLocale loc;
  loc.decimalSeparator = ',';
  EXPECT_EQ(FloatToStr(1.5, loc), "1,5");
  EXPECT_EQ(FloatToStr(1.5e-9, loc), "1,5E-9");
}

TEST(StrToNumber, StrictReadingOfFloatsAndIntegers) {
  EXPECT_DOUBLE_EQ(StrToFloat(" 1.25 "), 1.25);
  EXPECT_DOUBLE_EQ(StrToFloat("-3e2"), -300);
  EXPECT_DOUBLE_EQ(StrToFloat("+.5"), 0.5);
  for (const char* bad : {"", "-", "2-1", "1.2.3", "e5", "1e", "abc", "1e999"})
    EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
  TLocale loc;
  loc.decimalSeparator = ',';
  EXPECT_DOUBLE_EQ(StrToFloat("1,5", loc), 1.5);
  EXPECT_THROW(StrToFloat("1.5", loc), EConvertError);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
  EXPECT_EQ(StrToInt("+42"), 42);
  for (const char* bad : {"4 2", "+", ""}) EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  EXPECT_THROW(StrToInt("2147483648"), EConvertError);
  EXPECT_THROW(StrToInt("1.5"), EConvertError);
  EXPECT_THROW(StrToInt("99999999999999999999999"), EConvertError);
}

TEST(Dates, SerialRoundTripAndText) {
  double s;
  ASSERT_TRUE(TryEncodeDate(2024, 2, 29, s));
  TDateTimeParts p = DecodeDateTime(s + 0.75);
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 18);
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, s));
  ASSERT_TRUE(TryEncodeDate(1899, 12, 30, s));
  EXPECT_EQ(s, 0);
  EXPECT_EQ(StrToDate("3/14/2021"), [] { double d; TryEncodeDate(2021, 3, 14, d); return d; }());
  EXPECT_THROW(StrToDate("13/14/2021"), EConvertError);
  EXPECT_THROW(StrToDate("x"), EConvertError);
  EXPECT_DOUBLE_EQ(StrToDateTime("1/2/2020 6:00 PM") - StrToDate("1/2/2020"), 0.75);
  EXPECT_DOUBLE_EQ(StrToTime("12:00 AM"), 0);
  TLocale de;
  de.shortDateFormat = "dd.MM.yyyy";
  de.dateSeparator = '.';
  EXPECT_EQ(StrToDate("14.03.2021", de), StrToDate("3/14/2021"));
}

TEST(VarToStr, EachKind) {
  EXPECT_EQ(VarToStr(TVariant()), "");
  EXPECT_EQ(VarToStr(TVariant::empty()), "");
  EXPECT_EQ(VarToStr(TVariant(-7)), "-7");
  EXPECT_EQ(VarToStr(TVariant(0.5)), "0.5");
  EXPECT_EQ(VarToStr(TVariant(true)), "True");
  double d = StrToDate("7/4/2021");
  EXPECT_EQ(VarToStr(TVariant(TDateTime{d})), "7/4/2021");
  EXPECT_EQ(VarToStr(TVariant(TDateTime{d + 0.5 + 1.0 / 86400})), "7/4/2021 12:00:01 PM");
  TLocale loc;
  EXPECT_EQ(FormatDateTimeText(loc.longDateFormat, d, loc), "Sunday, July 4, 2021");
  EXPECT_EQ(FormatDateTimeText("dd.MM.yy HH:mm", d + 0.75, loc), "04.07.21 18:00");
}

TEST(VarArith, KindsOfResultsAndDivisionByZero) {
  EXPECT_EQ(VarAdd(2, 3), TVariant(int64_t(5)));
  EXPECT_EQ(VarAdd(2, 0.5), TVariant(2.5));
  EXPECT_EQ(VarAdd("ab", "cd"), TVariant("abcd"));
  EXPECT_EQ(VarAdd("2", 3), TVariant(5.0));
  EXPECT_EQ(VarMul(4, 5), TVariant(int64_t(20)));
  EXPECT_EQ(VarDiv(1, 4), TVariant(0.25));
  EXPECT_EQ(VarDiv(4, 2).kind(), TVarKind::Float);
  EXPECT_TRUE(VarAdd(TVariant(), 1).isNull());
  EXPECT_TRUE(VarDiv(1, TVariant()).isNull());
  EXPECT_THROW(VarAdd("x", 1), EConvertError);
  TVariant day(TDateTime{100});
  EXPECT_EQ(VarAdd(day, 2), TVariant(TDateTime{102}));
  EXPECT_EQ(VarSub(day, TVariant(TDateTime{40})), TVariant(60.0));
  // Integer overflow falls back to a Float instead of wrapping.
  EXPECT_EQ(VarMul(int64_t(1) << 62, 4).kind(), TVarKind::Float);
  EXPECT_THROW(VarDiv(1, 0), EMathError);
  EXPECT_THROW(VarDiv(1.0, 0.0), EMathError);
  EXPECT_THROW(VarIntDiv(1, 0), EMathError);
  EXPECT_THROW(VarMod(5, 0), EMathError);
  EXPECT_EQ(VarIntDiv(-7, 2), TVariant(int64_t(-3)));
  EXPECT_EQ(VarMod(-7, 2), TVariant(int64_t(-1)));
}

TEST(VarCompare, NullOrderingAndConversionsToBooleanAndNumber) {
  EXPECT_TRUE(VarEqual(TVariant(), TVariant()));
  EXPECT_FALSE(VarEqual(TVariant(), 0));
  EXPECT_FALSE(VarEqual(TVariant(), ""));
  EXPECT_LT(VarCompare(TVariant(), -1e300), 0);
  EXPECT_GT(VarCompare(1, TVariant()), 0);
  EXPECT_TRUE(VarEqual(2, 2.0));
  EXPECT_LT(VarCompare("abc", "abd"), 0);
  EXPECT_TRUE(VarEqual("10", 10));
  EXPECT_GT(VarCompare("10", 9), 0);  // numerically, not as text
  EXPECT_THROW(VarCompare("ten", 9), EConvertError);
  EXPECT_TRUE(VarEqual("1/2/2020", TVariant(TDateTime{StrToDate("1/2/2020")})));
  EXPECT_TRUE(VarToBool(1));
  EXPECT_FALSE(VarToBool(0.0));
  EXPECT_TRUE(VarToBool("true"));
  EXPECT_FALSE(VarToBool("False"));
  EXPECT_THROW(VarToBool(TVariant()), EConvertError);
  EXPECT_THROW(VarToBool("maybe"), EConvertError);
  EXPECT_THROW(VarToFloat(TVariant()), EConvertError);
  EXPECT_EQ(VarToNum(TVariant(), true), 0);
  EXPECT_EQ(VarToNum("abc", true), 0);
  EXPECT_EQ(VarToNum(2.5, false), 2);
  EXPECT_EQ(VarToNum(3.5, false), 4);
  EXPECT_EQ(VarToNum(1e20, false), 0);
}

