#include <gtest/gtest.h>

#include <string>

#include "expr/DisplayFormat.h"

using namespace zd;

namespace {

constexpr int kNoWidth = 0;
// Thursday, 31 December 2020.
const std::string kNewYearsEve = "44196";

std::string fmt(const std::string& value, const std::string& format, int width = kNoWidth) {
  return GetTextByFormat(value, format, width);
}

TLocale germanLocale() {
  TLocale loc;
  loc.decimalSeparator = ',';
  loc.thousandSeparator = '.';
  loc.dateSeparator = '.';
  loc.shortDateFormat = "dd/MM/yyyy";
  loc.longDateFormat = "dddd, d. MMMM yyyy";
  loc.shortTimeFormat = "hh:mm";
  loc.longTimeFormat = "hh:mm:ss";
  loc.longMonthNames = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  loc.shortMonthNames = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                         "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  loc.longDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                      "Donnerstag", "Freitag", "Samstag"};
  loc.shortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  loc.currencyString = "€";
  loc.currencyFormat = 3;
  loc.negCurrencyFormat = 8;
  return loc;
}

}  // namespace

TEST(DisplayFormat, WithoutFamilyCodeValueIsUnchanged) {
  EXPECT_EQ(fmt("abc", ""), "abc");
  EXPECT_EQ(fmt("1234.5", "@X @ND2 "), "1234.5");
  EXPECT_EQ(fmt("1234.5", "@N"), "1234.5");  // a code must end with its space
}

// ---- text ---------------------------------------------------------------

TEST(TextFormat, CaseChangesWithPrecedenceInUnicodeThenTrim) {
  EXPECT_EQ(fmt("abc", "@C @U "), "ABC");
  EXPECT_EQ(fmt("abc", "@C @L @U "), "ABC");
  EXPECT_EQ(fmt("aBC", "@C @P @L "), "abc");
  EXPECT_EQ(fmt("hELLO wORLD", "@C @P "), "Hello World");
  EXPECT_EQ(fmt("hELLO", "@C "), "hELLO");
  EXPECT_EQ(fmt("straße", "@C @U "), "STRASSE");
  EXPECT_EQ(fmt("ÄÖÜ", "@C @L "), "äöü");
  EXPECT_EQ(fmt("éCOLE nORMALE", "@C @P "), "École Normale");
  EXPECT_EQ(fmt(" \t ab \r\n", "@C @T "), "ab");
  EXPECT_EQ(fmt("  ab  cd ", "@C @T @U "), "AB  CD");
  // Proper case sees the leading blank as a word start only for a space.
  EXPECT_EQ(fmt("\tab", "@C @P @T "), "ab");
}

// ---- edit masks ---------------------------------------------------------

TEST(EditMaskFormat, PlacesCharactersAroundLiteralsAndABrokenMaskLeavesTheValue) {
  EXPECT_EQ(fmt("5551234567", "@C @M(000) 000-0000"), "(555) 123-4567");
  // A text that already carries the literals comes out the same.
  EXPECT_EQ(fmt("(555) 123-4567", "@C @M(000) 000-0000"), "(555) 123-4567");
  // Characters that fit no position are skipped.
  EXPECT_EQ(fmt("a1b2", "@C @M00"), "12");
  EXPECT_EQ(fmt("12", "@C @U @M00\\"), "12");
}

TEST(EditMaskFormat, CaseEscapesSeparatorsBlankAndTheMaskRunsLastOnTheRestOfTheFormat) {
  EXPECT_EQ(fmt("abCDE", "@C @M>LLL<ll"), "ABCde");
  EXPECT_EQ(fmt("abCD", "@C @M>L<>LLL"), "AbCD");
  EXPECT_EQ(fmt("12", "@C @M\\A00"), "A12");
  EXPECT_EQ(fmt("1", "@C @M000;0;*"), "1**");
  EXPECT_EQ(fmt("1", "@C @M000"), "1  ");
  EXPECT_EQ(fmt("1231", "@C @M00/00"), "12/31");
  EXPECT_EQ(GetTextByFormat("1231", "@C @M00/00", kNoWidth, germanLocale()), "12.31");
  // The "@U " inside the mask is mask text, not a case code.
  EXPECT_EQ(fmt("ab", "@C @Mll@U "), "ab@U ");
  EXPECT_EQ(fmt("  ab  ", "@C @T @U @M\\<LL\\>"), "<AB>");
}

// ---- numbers ------------------------------------------------------------

TEST(NumberFormat, PlainNumberCodeIsTwoDecimalsGroupedAndSeparatorsChange) {
  EXPECT_EQ(fmt("1234.5", "@N "), "1,234.50");
  EXPECT_EQ(fmt("-1234567.891", "@N "), "-1,234,567.89");
  EXPECT_EQ(fmt("not a number", "@N "), "0.00");
  EXPECT_EQ(fmt("", "@N "), "0.00");
  EXPECT_EQ(fmt("1234.5", "@N @ND2 @NS, @NT. "), "1.234,50");
  EXPECT_EQ(fmt("1234567", "@N @ND0 @NT "), "1 234 567");  // empty argument: a space
  EXPECT_EQ(fmt("1234.5", "@N @ND1 @NS' "), "1234'5");
  EXPECT_EQ(fmt("999.999", "@N @ND2 @NT, "), "1,000.00");
}

TEST(NumberFormat, DecimalsRoundHalfToEvenWithNoMinusOnAShownZero) {
  EXPECT_EQ(fmt("2", "@N @ND3 "), "2.000");
  EXPECT_EQ(fmt("2.5", "@N @ND0 "), "2");
  EXPECT_EQ(fmt("3.5", "@N @ND0 "), "4");
  EXPECT_EQ(fmt("-2.5", "@N @ND0 "), "-2");
  EXPECT_EQ(fmt("1234.5", "@N @ND1 "), "1234.5");  // no grouping without "@NT"
  EXPECT_EQ(fmt("2", "@N @NDx "), "2.00");         // unreadable: the locale's decimals
  EXPECT_EQ(fmt("2", "@N @ND-3 "), "2");
  EXPECT_EQ(fmt("-0.4", "@N @ND0 "), "0");
  EXPECT_EQ(fmt("-0.004", "@N @ND2 "), "0.00");
  EXPECT_EQ(fmt("-0.006", "@N @ND2 "), "-0.01");
}

TEST(NumberFormat, RoundingStep) {
  EXPECT_EQ(fmt("1.3", "@N @ND2 @NR0.5 "), "1.50");
  EXPECT_EQ(fmt("13", "@N @ND0 @NR5 "), "15");
  EXPECT_EQ(fmt("12.5", "@N @ND0 @NR5 "), "10");  // 2.5 steps: to the even one
  EXPECT_EQ(fmt("1.3", "@N @NR0 "), "1.3");      // a step of 0 cannot divide
  EXPECT_EQ(fmt("1.3", "@N @ND1 @NRabc "), "1.0");  // unreadable step: whole numbers
  EXPECT_EQ(fmt("2.5", "@N @ND1 @NR "), "2.0");
  // The step is written with "."; with another decimal separator both read.
  EXPECT_EQ(fmt("1.3", "@N @ND2 @NS, @NR0.5 "), "1,50");
  EXPECT_EQ(fmt("1.3", "@N @ND2 @NS, @NR0,5 "), "1,50");
}

TEST(NumberFormat, BlankWhenZeroAndLeadingZerosToWidth) {
  EXPECT_EQ(fmt("0", "@N @NB "), "0");
  EXPECT_EQ(fmt("0.000", "@N @ND2 @NB "), "0.000");
  EXPECT_EQ(fmt("abc", "@N @NB "), "abc");  // not a number reads as zero
  EXPECT_EQ(fmt("5", "@N @NB "), "5.00");
  EXPECT_EQ(fmt("5", "@N @NB @ND1 "), "5.0");
  EXPECT_EQ(fmt("42", "@N @ND0 @NL ", 5), "00042");
  EXPECT_EQ(fmt("-42", "@N @ND0 @NL ", 5), "-00042");
  EXPECT_EQ(fmt("123456", "@N @ND0 @NL ", 5), "123456");
  EXPECT_EQ(fmt("42", "@N @ND0 @NL "), "42");
  EXPECT_EQ(fmt("42", "@N @ND0 ", 5), "42");
  EXPECT_EQ(fmt("1.5", "@N @ND1 @NL ", 6), "0001.5");
  // An absurd width is bounded instead of allocating gigabytes.
  EXPECT_LE(fmt("42", "@N @ND0 @NL ", 1 << 30).size(), 4096u);
}

TEST(NumberFormat, CurrencySymbolAndPosition) {
  EXPECT_EQ(fmt("3", "@N @ND2 @CT @CS$ @CP2 "), "$ 3.00");
  EXPECT_EQ(fmt("3", "@N @ND2 @CT @CSEUR @CP3 "), "3.00 EUR");
  EXPECT_EQ(fmt("3", "@N @ND2 @CT @CS$ @CP1 "), "3.00$");
  EXPECT_EQ(fmt("3", "@N @ND2 @CT @CS$ @CP0 "), "$3.00");
  EXPECT_EQ(fmt("3", "@N @ND2 @CT @CS$ @CP7 "), "3.00");
  EXPECT_EQ(fmt("3", "@N @ND0 @CT "), "$3");  // the locale's symbol and position
  EXPECT_EQ(fmt("3", "@N @ND0 @CT @CPx "), "$3");
  EXPECT_EQ(fmt("-42", "@N @ND0 @NL @CT @CS$ @CP0 ", 4), "$-0042");
  EXPECT_EQ(fmt("3", "@N @ND0 @CS$ @CP2 "), "3");  // symbol codes need "@CT "
}

TEST(NumberFormat, LocaleCurrencyFormatWithNegativeForms) {
  EXPECT_EQ(fmt("1234.5", "@N @CT "), "$1,234.50");
  EXPECT_EQ(fmt("-1234.5", "@N @CT "), "($1,234.50)");
  TLocale loc;
  const std::pair<int, const char*> forms[] = {
      {1, "-$1.50"}, {2, "$-1.50"}, {3, "$1.50-"}, {4, "(1.50$)"}, {5, "-1.50$"},
      {6, "1.50-$"}, {7, "1.50$-"}, {8, "-1.50 $"}, {9, "-$ 1.50"}, {10, "1.50 $-"},
      {11, "$ 1.50-"}, {12, "$ -1.50"}, {13, "1.50- $"}, {14, "($ 1.50)"}, {15, "(1.50 $)"}};
  for (const auto& [form, text] : forms) {
    loc.negCurrencyFormat = form;
    EXPECT_EQ(GetTextByFormat("-1.5", "@N @CT ", kNoWidth, loc), text) << "form " << form;
  }
  loc.currencyFormat = 2;
  EXPECT_EQ(GetTextByFormat("1.5", "@N @CT ", kNoWidth, loc), "$ 1.50");
  EXPECT_EQ(GetTextByFormat("0", "@N @NB @CT ", kNoWidth, loc), "0");
}

TEST(NumberFormat, Scientific) {
  EXPECT_EQ(fmt("1234.5", "@N @ND2 @NS "), "1.23E+3");
  EXPECT_EQ(fmt("-0.00012", "@N @ND1 @NS "), "-1.2E-4");
  EXPECT_EQ(fmt("0", "@N @ND2 @NS "), "0.00E+0");
  EXPECT_EQ(fmt("5", "@N @ND0 @NS "), "5E+0");
  // The separator code and the flag share letters; each is found on its own.
  EXPECT_EQ(fmt("1234.5", "@N @ND2 @NS @NS, "), "1,23E+3");
  EXPECT_EQ(fmt("1234.5", "@N @NS, @ND2 @NS "), "1,23E+3");
}

TEST(NumberFormat, CodesInAnyOrderFirstCountsAndHugeOrSpecialValues) {
  EXPECT_EQ(fmt("1234.5", "@ND2 @NT. @N @NS, "), "1.234,50");
  EXPECT_EQ(fmt("2", "@N @ND1 @ND3 "), "2.0");
  EXPECT_EQ(fmt("1234", "@N @ND0 @NT' @NT. "), "1'234");
  EXPECT_EQ(fmt("3", "@N @ND0 @CT @CP3 @CP0 @CS# @CS$ "), "3 #");
  EXPECT_EQ(fmt("1E300", "@N @ND0 ").size(), 301u);
  EXPECT_EQ(fmt("1E300", "@N @ND0 @NR1E-300 "), "1E300");  // overflows: unformatted
  EXPECT_EQ(fmt("INF", "@N @ND0 "), "0");
  EXPECT_EQ(fmt("2", "@N @ND999999999 ").size(), 20u);  // decimals are capped
}

// ---- dates and times ----------------------------------------------------

TEST(DateFormat, ComposedPartsInEveryOrder) {
  const std::pair<int, const char*> orders[] = {{0, "31.12.2020"}, {1, "31.2020.12"},
                                                {2, "12.31.2020"}, {3, "12.2020.31"},
                                                {4, "2020.12.31"}, {5, "2020.31.12"}};
  for (const auto& [order, text] : orders)
    EXPECT_EQ(fmt(kNewYearsEve, "@D @DD1 @DM1 @DY1 @DO" + std::to_string(order) + " @DR. "), text)
        << "order " << order;
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DO9 @DR. "), "31.12.2020");
}

TEST(DateFormat, PartChoicesAndWeekday) {
  const std::string jan4 = "44200";  // 4 January 2021
  EXPECT_EQ(fmt(jan4, "@D "), "04/01/2021");  // defaults: two-digit day and month, locale separator
  EXPECT_EQ(fmt(jan4, "@D @DD0 @DM0 @DY0 "), "4/1/21");
  EXPECT_EQ(fmt(jan4, "@D @DM2 "), "04/Jan/2021");
  EXPECT_EQ(fmt(jan4, "@D @DM3 @DR- "), "04-January-2021");
  EXPECT_EQ(fmt(jan4, "@D @DM4 "), "04/2021");
  EXPECT_EQ(fmt(jan4, "@D @DD2 @DY2 "), "01");
  EXPECT_EQ(fmt(jan4, "@D @DR' "), "04'01'2021");  // a quote as separator stays literal
  EXPECT_EQ(fmt(jan4, "@D @DRd "), "04d01d2021");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DW1 @DV, "), "Thursday,31/12/2020");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DW0 "), "Thu 31/12/2020");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DW "), "Thursday 31/12/2020");  // unreadable: long name
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DW2 @DV, "), "31/12/2020");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DW0 @DVd @DD2 @DM4 @DY2 "), "Thud");
}

TEST(DateFormat, LocaleFormatsWinOverPartsEmptyMasksAndNonSerialValues) {
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DL @DO4 @DR. "), "Thursday, December 31, 2020");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DS @DO4 @DR. "), "12/31/2020");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DS @DL "), "Thursday, December 31, 2020");
  EXPECT_EQ(fmt("44196.75", "@D @DD2 @DM4 @DY2 "), "12/31/2020 6:00:00 PM");
  EXPECT_EQ(fmt(kNewYearsEve, "@D @DD2 @DM4 @DY2 "), "12/31/2020");
  EXPECT_EQ(fmt("0.75", "@T @TH2 @TM2 @TS2 "), "12/30/1899 6:00:00 PM");
  // Values that are not serial numbers stay as they are.
  EXPECT_EQ(fmt("12/31/2020", "@D @DR. "), "12/31/2020");
  EXPECT_EQ(fmt("", "@D @DR. "), "");
  EXPECT_EQ(fmt("1E9", "@D "), "1E9");  // beyond the calendar
  EXPECT_EQ(fmt("44196,5", "@D "), "44196,5");
}

TEST(TimeFormat, TwentyFourHourPartsAndDateThenTime) {
  EXPECT_EQ(fmt("0.75", "@T "), "18:00:00");
  EXPECT_EQ(fmt("0.3", "@T @TH0 @TM1 @TS2 "), "7:12");
  EXPECT_EQ(fmt("0.3", "@T @TH1 @TM0 @TS2 "), "07:12");
  EXPECT_EQ(fmt("0.30005787037", "@T @TM0 @TS0 @TH2 "), "12:5");  // 07:12:05
  EXPECT_EQ(fmt("0.75", "@T @TD. @T24 "), "18.00.00");
  EXPECT_EQ(fmt("44196.75", "@D @DR- @T @TH1 @TM1 @TS2 "), "31-12-2020 18:00");
  EXPECT_EQ(fmt("44196.75", "@T @TH1 @TM1 @TS2 @D @DR- "), "31-12-2020 18:00");
  EXPECT_EQ(fmt("44196.75", "@D @DL @T @TL "), "Thursday, December 31, 2020 6:00:00 PM");
  // A time part switched off entirely leaves no trailing space.
  EXPECT_EQ(fmt("44196.75", "@D @DR- @T @TH2 @TM2 @TS2 "), "31-12-2020");
}

TEST(TimeFormat, TwelveHourClockMarkersAndLocaleFormats) {
  EXPECT_EQ(fmt("0.75", "@T @TH1 @TM1 @TS2 @T12 @TI1 "), "06:00 PM");
  EXPECT_EQ(fmt("0.75", "@T @TH1 @TM1 @TS2 @T12 "), "06:00 PM");
  EXPECT_EQ(fmt("0.75", "@T @TH0 @TM1 @TS2 @T12 @TI0 "), "PM 6:00");
  EXPECT_EQ(fmt("0.25", "@T @TH1 @TM1 @TS2 @T12 @TAvorm. @TPnachm. "), "06:00 vorm.");
  EXPECT_EQ(fmt("0.75", "@T @TH1 @TM1 @TS2 @T12 @TAvorm. @TPnachm. "), "06:00 nachm.");
  EXPECT_EQ(fmt("0.75", "@T @TH1 @TM2 @TS2 @T12 @TI7 "), "06");  // twelve hours, no marker
  EXPECT_EQ(fmt("0", "@T @TH0 @TM2 @TS2 @T12 "), "12 AM");
  EXPECT_EQ(fmt("0.75", "@T @TL @TH0 @TD. "), "6:00:00 PM");
  EXPECT_EQ(fmt("0.75", "@T @TS @TH0 @TD. "), "6:00 PM");
}

// ---- another locale -----------------------------------------------------

TEST(LocalisedFormat, GermanSeparatorsAndNames) {
  const TLocale de = germanLocale();
  auto f = [&](const std::string& value, const std::string& format) {
    return GetTextByFormat(value, format, kNoWidth, de);
  };
  EXPECT_EQ(f("1234,5", "@N "), "1.234,50");
  EXPECT_EQ(f("1234.5", "@N "), "0,00");  // "." is no decimal separator here
  EXPECT_EQ(f("1234,5", "@N @ND1 @NT. "), "1.234,5");
  EXPECT_EQ(f("1,3", "@N @ND2 @NR0.5 "), "1,50");
  EXPECT_EQ(f("-1234,5", "@N @CT "), "-1.234,50 €");
  EXPECT_EQ(f("3", "@N @ND2 @CT "), "3,00 €");
  EXPECT_EQ(f(kNewYearsEve, "@D @DL "), "Donnerstag, 31. Dezember 2020");
  EXPECT_EQ(f(kNewYearsEve, "@D "), "31.12.2020");
  EXPECT_EQ(f(kNewYearsEve, "@D @DM2 @DW0 "), "Do 31.Dez.2020");
  EXPECT_EQ(f("44196,75", "@D @DM3 @DR  @T @TS "), "31 Dezember 2020 18:00");
  EXPECT_EQ(f("44196.75", "@D "), "44196.75");
  // Codes changed nothing lasting: the next call sees the locale as it was.
  EXPECT_EQ(f("1234,5", "@N @ND2 @NS; @NT_ "), "1_234;50");
  EXPECT_EQ(f("1234,5", "@N @ND2 @NT "), "1 234,50");
}

// ---- raw value text -----------------------------------------------------

TEST(ValueStr, GeneralNumberTextWithFormatPlainTextWithoutAndRoundTrip) {
  EXPECT_EQ(GetValueStr(TVariant(42), "@N "), "42");
  EXPECT_EQ(GetValueStr(TVariant(2.5), "@N "), "2.5");
  EXPECT_EQ(GetValueStr(TVariant(TDateTime{44196.5}), "@D "), "44196.5");
  EXPECT_EQ(GetValueStr(TVariant(2.5), "@N ", germanLocale()), "2,5");
  EXPECT_EQ(GetValueStr(TVariant(true), "@N "), "True");
  EXPECT_EQ(GetValueStr(TVariant("x"), "@C "), "x");
  EXPECT_EQ(GetValueStr(TVariant(), "@N "), "");
  EXPECT_EQ(fmt(GetValueStr(TVariant(1234.5), "@N "), "@N "), "1,234.50");
  EXPECT_EQ(fmt(GetValueStr(TVariant(TDateTime{44196.75}), "@D "), "@D @T "), "31/12/2020 18:00:00");
  EXPECT_EQ(GetValueStr(TVariant(TDateTime{44196.5}), ""), "12/31/2020 12:00:00 PM");
  EXPECT_EQ(GetValueStr(TVariant(TDateTime{44196}), ""), "12/31/2020");
  EXPECT_EQ(GetValueStr(TVariant(TDateTime{1e9}), ""), "1000000000");  // outside the calendar
  EXPECT_EQ(GetValueStr(TVariant::empty(), ""), "");
}

