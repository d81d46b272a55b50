#pragma once
// Exceptions of the expression language. Syntax, name and type errors are
// database errors, as the dataset layer raises them, so that callers catch
// one kind for both; conversion errors are the host's EConvertError.
#include "host/core/Component.h"  // EConvertError
#include "host/core/Errors.h"
#include "host/data/DataSet.h"    // EDatabaseError

namespace zd {

// Syntax, name and type errors of expressions, with their fixed English texts.
class EExprError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};
// Division by zero, domain errors, overflow.
class EMathError : public EZdError {
 public:
  using EZdError::EZdError;
};
// A function read an argument that the call does not supply.
class EListError : public EZdError {
 public:
  using EZdError::EZdError;
};

}  // namespace zd
