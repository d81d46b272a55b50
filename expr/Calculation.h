#pragma once
// Running calculations over the values of an expression: each call takes
// the result so far and returns the next one as text, so that the owner of
// the calculation keeps all of its state.
#include <string>

#include "expr/ExprParser.h"
#include "host/core/Variant.h"

namespace zd {

enum class TCalcType { ctNothing, ctCount, ctSum, ctAverage, ctLowest, ctHighest };

// The next result from the text of the new value. currentValue is the last
// result (Null or Empty before the first), previousValue the owner's
// previous value (Null before the first). Unreadable numbers count as 0.
// The average is a running mean of the last result and the new value.
TVariant NextCalculatedValue(const std::string& valueText, TCalcType calcType,
                             const TVariant& currentValue, const TVariant& previousValue);

// Evaluates an expression parsed once, turns its value into text by
// format (only whether it is empty matters) and applies calcType.
TVariant GetCalculatedValue(const TExprParser& parsed, const std::string& format,
                            TCalcType calcType, const TVariant& currentValue,
                            const TVariant& previousValue);

// The same for a text parsed for this one call; an empty text is a syntax error.
TVariant GetCalculatedValue(const TExprDataManager* dataManager, const std::string& expression,
                            const std::string& format, TCalcType calcType,
                            const TVariant& currentValue, const TVariant& previousValue,
                            TGetVariableEvent variableEvent = {});

}  // namespace zd
