// Running calculations: each step takes the last result and the previous
// value back from its owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/Calculation.h"
#include "expr_fakes.h"

using namespace zd;
using namespace zd::test;

namespace {

// Feeds the values through one parsed expression, as the band engine does
// row by row, and collects the results.
std::vector<std::string> run(TCalcType type, const std::vector<TVariant>& values,
                             const std::string& format = {}) {
  TFakeData data;
  TFakeField& field = data.add("Value", TFieldType::ftFloat, TVariant());
  const TExprParser parser(&data, "[Value]");
  TVariant current, previous;
  std::vector<std::string> results;
  for (const TVariant& v : values) {
    field.value = v;
    previous = current;
    current = GetCalculatedValue(parser, format, type, current, previous);
    EXPECT_EQ(current.kind(), TVarKind::String);
    results.push_back(VarToStr(current));
  }
  return results;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(ExprCalculation, SumCountExtremesAndAverageAsARunningMeanOfResultAndValue) {
  EXPECT_EQ(run(TCalcType::ctSum, {1.5, 2, 3}), (Texts{"1.5", "3.5", "6.5"}));
  EXPECT_EQ(run(TCalcType::ctCount, {7, TVariant(), 9}), (Texts{"1", "2", "3"}));
  EXPECT_EQ(run(TCalcType::ctHighest, {-5, -3}), (Texts{"-5", "-3"}));
  EXPECT_EQ(run(TCalcType::ctHighest, {-3, -5}), (Texts{"-3", "-3"}));
  EXPECT_EQ(run(TCalcType::ctLowest, {4, 2, 8}), (Texts{"4", "2", "2"}));
  // A Null value adds nothing to a sum.
  EXPECT_EQ(run(TCalcType::ctSum, {1, TVariant(), 2}), (Texts{"1", "1", "3"}));
  EXPECT_EQ(run(TCalcType::ctAverage, {2, 4, 6}), (Texts{"2", "3", "4.5"}));
}

TEST(ExprCalculation, NothingGivesTheValueTextUnreadableTextCountsAsZeroAndNumbersFollowTheLocale) {
  EXPECT_EQ(run(TCalcType::ctNothing, {2.5, TVariant(), 3}), (Texts{"2.5", "", "3"}));
  const double d = StrToDate("7/4/2021");
  // Without a format a date is its date text, with one its serial number.
  EXPECT_EQ(run(TCalcType::ctNothing, {TVariant(TDateTime{d})}), Texts{"7/4/2021"});
  EXPECT_EQ(run(TCalcType::ctNothing, {TVariant(TDateTime{d + 0.5})}, "@D "),
            Texts{FloatToStr(d + 0.5)});
  EXPECT_EQ(VarToStr(NextCalculatedValue("abc", TCalcType::ctSum, TVariant("2"), TVariant())), "2");
  EXPECT_EQ(VarToStr(NextCalculatedValue("5", TCalcType::ctSum, TVariant("junk"), TVariant())), "5");
  EXPECT_EQ(VarToStr(NextCalculatedValue("5", TCalcType::ctSum, TVariant::empty(), TVariant())), "5");
  TLocaleScope scope(commaLocale());
  EXPECT_EQ(run(TCalcType::ctSum, {1.5, 2}), (Texts{"1,5", "3,5"}));
}

TEST(ExprCalculation, TextEntryPointParsesEachCall) {
  TFakeData data;
  data.add("Amount", TFieldType::ftFloat, 2.25);
  EXPECT_EQ(GetCalculatedValue(&data, "[Amount] * 2", "", TCalcType::ctSum, TVariant("1"), TVariant()),
            TVariant("5.5"));
  EXPECT_THROW(GetCalculatedValue(&data, "", "", TCalcType::ctNothing, TVariant(), TVariant()),
               EExprError);
  EXPECT_THROW(GetCalculatedValue(&data, "[Nope]", "", TCalcType::ctSum, TVariant(), TVariant()),
               EExprError);
}
