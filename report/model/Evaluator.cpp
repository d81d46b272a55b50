#include "report/model/Evaluator.h"

#include "expr/ExprParser.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"
#include "print/SysData.h"
#include "report/model/ExprAdapter.h"
#include "report/model/ZdReport.h"

namespace zd {

TZdqExprEvaluator::TZdqExprEvaluator() : data_(std::make_unique<TZdqExprDataManager>()) {}
TZdqExprEvaluator::~TZdqExprEvaluator() = default;

TVariant TZdqExprEvaluator::Evaluate(TZdReport& report, const std::string& expression) {
  if (Trim(expression).empty()) return TVariant::empty();
  // Trees parsed against other datasets may name fields that are gone.
  if (data_->Bind(&report.GetDataManager())) parsed_.clear();
  if (auto found = parsed_.find(expression); found != parsed_.end()) return found->second->Evaluate();
  bool readsVariables = false;
  auto parser = std::make_unique<TExprParser>(
      data_.get(), expression,
      [this, &report, &readsVariables, &expression](TComponent* sender, const std::string& name, bool& accept,
                                                    TFieldType& type, TVariant& value) {
        report.ZdqGetVariable(sender, name, accept, type, value);
        if (!accept) return;
        readsVariables = true;
        if (const auto kind = SysDataByEnglishName(name)) {
          if (IsPageValue(*kind)) readsPageValues_.insert(expression);
        } else if (report.Variables().Find(name)) {
          readsVariables_.insert(expression);
        }
      });
  const TVariant value = parser->Evaluate();
  // The callback refers to this call's flag, but a kept tree never parses again.
  if (!readsVariables) parsed_[expression] = std::move(parser);
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
