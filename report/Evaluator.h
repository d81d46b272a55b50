#pragma once
// The seam through which controls, bands and the report turn expression
// texts into values. The report holds one evaluator; the full expression
// engine replaces the field resolver below by installing its own.
#include <string>

#include "host/core/Variant.h"

namespace zd {

class TZdReport;

class TZdqEvaluator {
 public:
  virtual ~TZdqEvaluator() = default;
  // Raises for a text it cannot evaluate.
  virtual TVariant Evaluate(TZdReport& report, const std::string& expression) = 0;
};

// Understands one name: a field reference through the report's data manager
// (an optional [bracketed] name), else a variable, parameter or system value
// through the report's ZdqGetVariable. An empty text is Empty.
class TZdqFieldEvaluator : public TZdqEvaluator {
 public:
  TVariant Evaluate(TZdReport& report, const std::string& expression) override;
};

// Whether a value counts as True for print conditions and highlights:
// Booleans, numbers other than 0 and the texts "True" or a non-zero number.
bool ReadsAsTrue(const TVariant& value);

}  // namespace zd
