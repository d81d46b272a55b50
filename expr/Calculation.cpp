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
