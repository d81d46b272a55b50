#pragma once
// The seam through which controls, bands and the report turn expression
// texts into values. The report holds one evaluator.
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "host/core/Variant.h"

namespace zd {

class TExprParser;
class TZdReport;
class TZdqExprDataManager;

class TZdqEvaluator {
 public:
  virtual ~TZdqEvaluator() = default;
  // Raises for a text it cannot evaluate.
  virtual TVariant Evaluate(TZdReport& report, const std::string& expression) = 0;
  // Whether the text, when last evaluated, read the page, bar or column
  // number, so that its value changes when a page starts.
  virtual bool ReadsPageValues(const std::string& expression) const = 0;
  // Whether the text, when last evaluated, read a report variable.
  virtual bool ReadsVariables(const std::string& expression) const = 0;
};

// The full expression language: fields through the report's data manager,
// variables, parameters and system values through its ZdqGetVariable. An
// empty text is Empty. Each text is parsed once and its tree reused while
// the data manager's datasets stay the same; a text that names variables
// is parsed again at every evaluation, because parsing fixes their values.
class TZdqExprEvaluator : public TZdqEvaluator {
 public:
  TZdqExprEvaluator();
  ~TZdqExprEvaluator() override;
  TVariant Evaluate(TZdReport& report, const std::string& expression) override;
  bool ReadsPageValues(const std::string& expression) const override { return readsPageValues_.count(expression) > 0; }
  bool ReadsVariables(const std::string& expression) const override { return readsVariables_.count(expression) > 0; }

 private:
  // Trees of the texts that read no variables.
  std::unordered_map<std::string, std::unique_ptr<TExprParser>> parsed_;
  std::unique_ptr<TZdqExprDataManager> data_;
  std::unordered_set<std::string> readsPageValues_, readsVariables_;
};


// Whether a value counts as True for print conditions and highlights:
// Booleans, numbers other than 0 and the texts "True" or a non-zero number.
bool ReadsAsTrue(const TVariant& value);

}  // namespace zd
