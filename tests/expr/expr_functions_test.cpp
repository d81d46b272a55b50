// The built-in function library, family by family.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "expr/ExprFunctions.h"
#include "expr_fakes.h"
#include "host/locale/Clock.h"

using namespace zd;
using namespace zd::test;

TEST(ExprFunctionTable, AllNamesKnownIgnoringAsciiCase) {
  const char* names[] = {
      "UPPER", "LOWER", "SUBSTRING", "IIF", "TRIM", "TRIMLEFT", "TRIMRIGHT", "YEAR", "MONTH", "DAY",
      "HOUR", "MINUTE", "SECOND", "GETDATE", "DATE", "STRTODATE", "TIME", "SUM", "MIN", "MAX", "AVG",
      "COUNT", "SIN", "ARCSIN", "COS", "ARCCOS", "TAN", "ARCTAN", "EXP", "FRAC", "INT", "ROUND", "DIV",
      "LN", "LOG", "SQR", "SQRT", "ABS", "POWER", "RANDOM", "ORD", "CHR", "STRTOINT", "STRTOFLOAT",
      "INTTOSTR", "DATETOSTR", "FLOATTOSTR"};
  for (const char* n : names) {
    EXPECT_TRUE(TExprParser::TokenSymbolIsFunc(n)) << n;
    EXPECT_TRUE(TExprParser::TokenSymbolIsFunc(LowerCase(n))) << n;
  }
  EXPECT_FALSE(TExprParser::TokenSymbolIsFunc("COUNT(*)"));
  EXPECT_FALSE(TExprParser::TokenSymbolIsFunc("MOD"));
  EXPECT_FALSE(TExprParser::TokenSymbolIsFunc("LEFT"));
}

TEST(ExprFunctions, Aggregates) {
  TFakeData data;
  data.add("NullField", TFieldType::ftInteger, TVariant());
  data.add("S", TFieldType::ftString, "b");
  EXPECT_EQ(num("MAX(3, 7, 5)"), 7);
  EXPECT_EQ(num("MIN(3, 7, 5)"), 3);
  EXPECT_EQ(num("MAX([NullField], 2)", &data), 2);
  EXPECT_EQ(num("MAX(2, [NullField])", &data), 2);
  EXPECT_EQ(num("MIN(1, [NullField], 3)", &data), 3);
  EXPECT_TRUE(eval("MIN(1, [NullField])", &data).isNull());
  EXPECT_EQ(str("MAX('a', [S], 'ab')", &data), "b");
  EXPECT_EQ(num("SUM(1, 2, 3)"), 6);
  EXPECT_TRUE(eval("SUM(1, [NullField])", &data).isNull());
  EXPECT_EQ(str("SUM('a', 'b')"), "ab");
  EXPECT_EQ(eval("AVG(1, 2, 3, 4)"), TVariant(2.5));
  EXPECT_EQ(eval("AVG(3)"), TVariant(3.0));
  // COUNT does not even read its arguments.
  TFakeField& counted = data.add("C", TFieldType::ftInteger, 1);
  EXPECT_EQ(eval("COUNT([C], [NullField], 1 / 0)", &data), TVariant(3));
  EXPECT_EQ(counted.reads, 0);
}

TEST(ExprFunctions, StringFunctionsAndCharacterCodes) {
  TFakeData data;
  data.add("NullField", TFieldType::ftInteger, TVariant());
  EXPECT_EQ(str("UPPER('abc \xC3\xA9')"), "ABC \xC3\xA9");  // ASCII letters only
  EXPECT_EQ(str("LOWER('ABC \xC3\x89')"), "abc \xC3\x89");
  EXPECT_EQ(str("UPPER(12)"), "12");
  EXPECT_EQ(str("SUBSTRING('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(str("SUBSTRING('abc', 0, 2)"), "ab");
  EXPECT_EQ(str("SUBSTRING('abc', -5, 1)"), "a");
  EXPECT_EQ(str("SUBSTRING('abc', 5, 1)"), "");
  EXPECT_EQ(str("SUBSTRING('abc', 2, 0)"), "");
  EXPECT_EQ(str("SUBSTRING('abc', 2, 99)"), "bc");
  EXPECT_EQ(str("SUBSTRING('abc', 'x', 2)"), "ab");
  EXPECT_EQ(str("SUBSTRING('abcdef', 2.6, 1)"), "c");  // rounded
  EXPECT_EQ(str("SUBSTRING('\xC3\xA4\xC3\xB6\xC3\xBC', 2, 1)"), "\xC3\xB6");
  EXPECT_THROW(eval("SUBSTRING('abc', 1)"), EListError);
  EXPECT_EQ(str("TRIM('  a b  ')"), "a b");
  EXPECT_EQ(str("TRIM(CHR(9) + 'a' + CHR(0))"), "a");
  EXPECT_EQ(str("TRIMLEFT('  a ')"), "a ");
  EXPECT_EQ(str("TRIMRIGHT('  a ')"), "  a");
  EXPECT_EQ(str("TRIM([NullField])", &data), "");
  EXPECT_EQ(eval("ORD('A')"), TVariant(65));
  EXPECT_EQ(num("ORD('\xE2\x82\xAC')"), 0x20AC);
  EXPECT_EQ(num("ORD('\xF0\x9F\x98\x80')"), 0xD83D);  // first 16-bit unit
  EXPECT_EQ(str("CHR(66)"), "B");
  EXPECT_EQ(str("CHR(8364)"), "\xE2\x82\xAC");
  EXPECT_EQ(str("CHR(65536 + 67)"), "C");  // low 16 bits
  EXPECT_EQ(str("CHR(ORD('z'))"), "z");
}

TEST(ExprFunctions, ConversionsAlsoUnderAnotherLocale) {
  TFakeData data;
  data.add("NullField", TFieldType::ftInteger, TVariant());
  EXPECT_EQ(eval("STRTOINT('-12')"), TVariant(-12));
  EXPECT_THROW(eval("STRTOINT(' 7')"), EConvertError);
  EXPECT_THROW(eval("STRTOINT('42 ')"), EConvertError);
  EXPECT_THROW(eval("STRTOINT('1.5')"), EConvertError);
  EXPECT_THROW(eval("STRTOINT('9999999999')"), EConvertError);
  EXPECT_THROW(eval("STRTOINT('')"), EConvertError);
  EXPECT_EQ(str("INTTOSTR(2.5)"), "2");
  EXPECT_EQ(str("INTTOSTR(3.5)"), "4");
  EXPECT_EQ(str("INTTOSTR('abc')"), "0");
  EXPECT_EQ(str("INTTOSTR('42')"), "42");
  EXPECT_EQ(str("INTTOSTR([NullField])", &data), "0");
  EXPECT_EQ(num("STRTOFLOAT('2.75')"), 2.75);
  EXPECT_THROW(eval("STRTOFLOAT('x')"), EConvertError);
  EXPECT_EQ(str("FLOATTOSTR(2.5)"), "2.5");
  EXPECT_EQ(str("FLOATTOSTR(1 / 3)"), "0.333333333333333");
  EXPECT_EQ(str("FLOATTOSTR('zz')"), "0");
  EXPECT_EQ(str("FLOATTOSTR([NullField])", &data), "0");
  // Under a locale with a decimal comma.
  TLocaleScope scope(commaLocale());
  EXPECT_EQ(str("FLOATTOSTR(2.5)"), "2,5");
  EXPECT_EQ(num("STRTOFLOAT('2,5')"), 2.5);
  EXPECT_THROW(eval("STRTOFLOAT('2.5')"), EConvertError);
  EXPECT_EQ(num("YEAR(STRTODATE('14.03.2021'))"), 2021);
  EXPECT_EQ(str("DATETOSTR(STRTODATE('14.03.2021'))"), "14.03.2021");
}

TEST(ExprFunctions, Conditional) {
  TFakeData data;
  TFakeField& a = data.add("A", TFieldType::ftString, "secret");
  data.add("NullField", TFieldType::ftInteger, TVariant());
  EXPECT_EQ(str("IIF(1 > 2, [A], 'no')", &data), "no");
  EXPECT_EQ(a.reads, 0);  // only the chosen branch is evaluated
  EXPECT_EQ(str("IIF(1 < 2, [A], 1 / 0)", &data), "secret");
  EXPECT_EQ(str("IIF('true', 'y', 'n')"), "y");
  EXPECT_EQ(str("IIF(0, 'y', 'n')"), "n");
  EXPECT_THROW(eval("IIF([NullField], 1, 2)", &data), EConvertError);
  EXPECT_THROW(eval("IIF('perhaps', 1, 2)"), EConvertError);
  EXPECT_THROW(eval("IIF(1 > 2, 1)"), EListError);
  EXPECT_EQ(num("IIF(1 < 2, 1)"), 1);  // the missing branch is never read
}

TEST(ExprFunctions, RoundingAndRandom) {
  EXPECT_EQ(eval("ROUND(2.5)"), TVariant(2));
  EXPECT_EQ(eval("ROUND(3.5)"), TVariant(4));
  EXPECT_EQ(eval("ROUND(-2.5)"), TVariant(-2));
  EXPECT_EQ(eval("ROUND(2.6)"), TVariant(3));
  EXPECT_EQ(eval("INT(-2.7)"), TVariant(-2.0));
  EXPECT_EQ(eval("FRAC(-2.5)"), TVariant(-0.5));
  EXPECT_EQ(eval("DIV(7, 2)"), TVariant(3));
  EXPECT_EQ(eval("DIV(-7, 2)"), TVariant(-3));
  EXPECT_EQ(errorOf("DIV(7, 0)"), "Division by zero");
  EXPECT_EQ(errorOf("DIV(7, 0.2)"), "Division by zero");  // 0.2 becomes the integer 0
  std::set<double> seen;
  for (int i = 0; i < 200; ++i) seen.insert(num("RANDOM(3)"));
  EXPECT_EQ(seen, (std::set<double>{0, 1, 2}));
  EXPECT_EQ(num("RANDOM(1)"), 0);
}

TEST(ExprFunctions, PowersAndLogarithms) {
  EXPECT_EQ(num("LOG(1000)"), 3);
  EXPECT_EQ(num("LOG(0.01)"), -2);
  EXPECT_NEAR(num("LN(EXP(2))"), 2, 1e-12);
  EXPECT_EQ(num("POWER(2, 10)"), 1024);
  EXPECT_EQ(num("POWER(2, -1)"), 0.5);
  EXPECT_EQ(num("POWER(0, 5)"), 0);
  EXPECT_EQ(num("POWER(5, 0)"), 1);
  EXPECT_EQ(num("POWER(0, 0)"), 1);
  EXPECT_EQ(num("POWER(-2, 3)"), -8);
  EXPECT_NEAR(num("POWER(4, 0.5)"), 2, 1e-12);
  EXPECT_THROW(eval("POWER(-4, 0.5)"), EMathError);
  EXPECT_THROW(eval("POWER(10, 400)"), EMathError);
  EXPECT_EQ(num("SQR(-3)"), 9);
  EXPECT_EQ(num("SQRT(16)"), 4);
  EXPECT_THROW(eval("SQRT(-1)"), EMathError);
  EXPECT_THROW(eval("LN(0)"), EMathError);
  EXPECT_THROW(eval("LOG(-1)"), EMathError);
  EXPECT_THROW(eval("EXP(1e6)"), EMathError);
  EXPECT_EQ(num("ABS(-4.5)"), 4.5);
  EXPECT_EQ(Power(3, 4), 81);
  EXPECT_EQ(Power(2, -2), 0.25);
}

TEST(ExprFunctions, TrigonometryAndNumberArguments) {
  EXPECT_NEAR(num("ARCCOS(-1)"), M_PI, 1e-12);
  EXPECT_NEAR(num("ARCCOS(0)"), M_PI / 2, 1e-12);
  EXPECT_EQ(num("ARCCOS(1)"), 0);
  EXPECT_THROW(eval("ARCCOS(1.5)"), EMathError);
  EXPECT_NEAR(num("ARCSIN(0.5)"), M_PI / 6, 1e-12);
  EXPECT_THROW(eval("ARCSIN(1)"), EMathError);
  EXPECT_THROW(eval("ARCSIN(-1)"), EMathError);
  EXPECT_NEAR(num("TAN(0.5)"), std::tan(0.5), 1e-12);
  EXPECT_NEAR(num("ARCTAN(1)"), M_PI / 4, 1e-12);
  EXPECT_NEAR(num("SIN(1) + COS(1)"), std::sin(1) + std::cos(1), 1e-12);
  EXPECT_THROW(eval("SIN('x')"), EConvertError);
  TFakeData data;
  data.add("N", TFieldType::ftFloat, TVariant());
  EXPECT_THROW(eval("SIN([N])", &data), EConvertError);
  EXPECT_THROW(eval("YEAR([N])", &data), EConvertError);
  EXPECT_EQ(num("ABS('-2')"), 2);  // a numeric text converts
}

TEST(ExprFunctions, DatesAndTimesAndGetDateReadsTheClock) {
  const double d = StrToDate("3/14/2021");
  const double t = (13 * 3600 + 5 * 60 + 9) / 86400.0;
  TFakeData data;
  data.add("T", TFieldType::ftDateTime, TVariant(TDateTime{d + t}));
  EXPECT_EQ(eval("YEAR(STRTODATE('3/14/2021'))"), TVariant(2021));
  EXPECT_EQ(num("MONTH(STRTODATE('3/14/2021'))"), 3);
  EXPECT_EQ(num("DAY(STRTODATE('3/14/2021'))"), 14);
  EXPECT_EQ(eval("STRTODATE('3/14/2021')"), TVariant(TDateTime{d}));
  EXPECT_EQ(num("HOUR([T])", &data), 13);
  EXPECT_EQ(num("MINUTE([T])", &data), 5);
  EXPECT_EQ(num("SECOND([T])", &data), 9);
  EXPECT_EQ(eval("DATE([T])", &data), TVariant(d));
  EXPECT_NEAR(num("TIME([T])", &data), t, 1e-9);
  EXPECT_EQ(str("DATETOSTR([T])", &data), "3/14/2021");
  EXPECT_EQ(num("YEAR(0)"), 1899);
  EXPECT_EQ(num("DAY(2.75)"), 1);
  EXPECT_EQ(num("HOUR(2.75)"), 18);
  EXPECT_THROW(eval("STRTODATE('2021-03-14')"), EConvertError);
  EXPECT_THROW(eval("YEAR(1e9)"), EConvertError);
  const double fixed = StrToDate("7/4/2021") + 0.25;
  TClockOverride clock(TDateTime{fixed});
  EXPECT_EQ(eval("GETDATE()"), TVariant(TDateTime{fixed}));
  TVariant today = eval("DATE(GETDATE())");
  EXPECT_EQ(today.kind(), TVarKind::Float);
  EXPECT_EQ(today.asFloat(), StrToDate("7/4/2021"));
  EXPECT_EQ(num("HOUR(GETDATE())"), 6);
  EXPECT_EQ(eval("GETDATE() + 1 > GETDATE()"), TVariant(true));
}

