#include "expr/Calculation.h"

#include <algorithm>

#include "expr/DisplayFormat.h"
#include "expr/ExprValue.h"
#include "expr/StrUtils.h"

namespace zd {

TVariant NextCalculatedValue(const std::string& valueText, TCalcType calcType,
                             const TVariant& currentValue, const TVariant& previousValue) {
  if (calcType == TCalcType::ctNothing) return TVariant(valueText);
  const double a = StrToFloatDef(VarToStr(currentValue), 0);
  const double b = StrToFloatDef(valueText, 0);
  const bool first = previousValue.isNull();
  double n = 0;
  switch (calcType) {
    case TCalcType::ctCount: n = a + 1; break;
    case TCalcType::ctSum: n = a + b; break;
    case TCalcType::ctAverage: n = first ? b : (a + b) / 2; break;
    case TCalcType::ctLowest: n = first ? b : std::min(a, b); break;
    case TCalcType::ctHighest: n = first ? b : std::max(a, b); break;
    case TCalcType::ctNothing: break;
  }
  return TVariant(FloatToStr(n));
}

void TRunningCalculation::TTotals::Add(double value) {
  lowest = count == 0 ? value : std::min(lowest, value);
  highest = count == 0 ? value : std::max(highest, value);
  sum += value;
  ++count;
}

double TRunningCalculation::rowValue() const { return StrToFloatDef(rowText_, 0); }

void TRunningCalculation::TakeIn(uint64_t row, const std::string& valueText, TCalcType calcType) {
  if (haveRow_ && row != row_ && calcType != TCalcType::ctNothing) before_.Add(rowValue());
  haveRow_ = true;
  row_ = row;
  rowText_ = valueText;
}

void TRunningCalculation::Restart(uint64_t currentRow) {
  before_ = {};
  if (row_ != currentRow || currentRow == 0) {
    haveRow_ = false;
    rowText_.clear();
  }
}

TVariant TRunningCalculation::Result(TCalcType calcType) const {
  if (calcType == TCalcType::ctNothing) return haveRow_ ? TVariant(rowText_) : TVariant();
  TTotals all = before_;
  if (haveRow_) all.Add(rowValue());
  double n = 0;
  switch (calcType) {
    case TCalcType::ctCount: n = double(all.count); break;
    case TCalcType::ctSum: n = all.sum; break;
    case TCalcType::ctAverage:
      if (all.count == 0) return TVariant();
      n = all.sum / double(all.count);
      break;
    case TCalcType::ctLowest:
      if (all.count == 0) return TVariant();
      n = all.lowest;
      break;
    case TCalcType::ctHighest:
      if (all.count == 0) return TVariant();
      n = all.highest;
      break;
    case TCalcType::ctNothing: break;
  }
  return TVariant(FloatToStr(n));
}

TVariant GetCalculatedValue(const TExprParser& parsed, const std::string& format,
                            TCalcType calcType, const TVariant& currentValue,
                            const TVariant& previousValue) {
  const TVariant value = parsed.Evaluate();
  const std::string text = value.isNull() ? std::string() : GetValueStr(value, format);
  return NextCalculatedValue(text, calcType, currentValue, previousValue);
}

TVariant GetCalculatedValue(const TExprDataManager* dataManager, const std::string& expression,
                            const std::string& format, TCalcType calcType,
                            const TVariant& currentValue, const TVariant& previousValue,
                            TGetVariableEvent variableEvent) {
  TExprParser parser(dataManager, expression, std::move(variableEvent));
  if (expression.empty()) parser.SetExprParams(expression);  // raises: nothing to evaluate
  return GetCalculatedValue(parser, format, calcType, currentValue, previousValue);
}

}  // namespace zd
