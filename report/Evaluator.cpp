#include "report/Evaluator.h"

#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "report/ZdReport.h"

namespace zd {

TVariant TZdqFieldEvaluator::Evaluate(TZdReport& report, const std::string& expression) {
  std::string name = Trim(expression);
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  if (name.empty()) return TVariant::empty();
  if (const TField* field = GetFieldByName(&report.GetDataManager(), name)) return field->Value();
  bool accept = false;
  TFieldType type = TFieldType::ftString;
  TVariant value = TVariant::empty();
  report.ZdqGetVariable(nullptr, name, accept, type, value);
  if (!accept) throw EExprError("Field '" + name + "' not found");
  return value;
}

bool ReadsAsTrue(const TVariant& value) {
  switch (value.kind()) {
    case TVarKind::Null:
    case TVarKind::Empty: return false;
    case TVarKind::String: {
      bool b = false;
      return TryStrToBool(value.asString(), b) && b;
    }
    default: return VarToBool(value);
  }
}

}  // namespace zd
