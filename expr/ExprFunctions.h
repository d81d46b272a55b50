#pragma once
// The library of built-in functions: their names, the logical type of a
// call and how a call is evaluated.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/core/Variant.h"

namespace zd {

// The arguments of one call, each evaluated when it is read, so that IIF
// evaluates only its chosen branch and COUNT none.
class TExprCallArgs {
 public:
  virtual ~TExprCallArgs() = default;
  virtual size_t Count() const = 0;
  // EListError for an index the call does not supply.
  virtual TVariant Value(size_t index) = 0;
};

struct TExprFunction {
  // Result types that depend on the call rather than the function.
  static constexpr int32_t kFirstArgType = -1;
  static constexpr int32_t kSecondArgType = -2;

  const char* Name;   // upper case
  int32_t ResultType; // a logical type code or one of the two above
  TVariant (*Evaluate)(TExprCallArgs& args);
};

// One of the 47 functions, by name ignoring ASCII case; nullptr otherwise.
const TExprFunction* FindExprFunction(const std::string& name);

// base to the power exponent; integral exponents by repeated squaring.
double Power(double base, double exponent);

}  // namespace zd
