#pragma once
// Running calculations over the values of an expression: each call takes
// the result so far and returns the next one as text, so that the owner of
// the calculation keeps all of its state.
#include <cstdint>
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

// The result of a calculation over the rows of one span (the report, a page
// or a group), kept as totals rather than as a last result so that the
// lowest, highest and average are exact wherever they are shown. The row in
// hand is kept apart from the rows before it: a span that ends before that
// row is printed hands it on to the next span instead of losing it.
class TRunningCalculation {
 public:
  // Takes in the text of a row's value (unreadable numbers count as 0); a
  // second value for the same row replaces the first. Row 0 means no row.
  // ctNothing keeps no totals.
  void TakeIn(uint64_t row, const std::string& valueText, TCalcType calcType);
  // Starts a new span; the row in hand stays in it when it is currentRow.
  void Restart(uint64_t currentRow);
  void Clear() { *this = {}; }
  // The row of the last value taken in, 0 before any.
  uint64_t Row() const { return row_; }
  // Counts and sums over no rows are 0, other results Null; ctNothing
  // gives the last text taken in.
  TVariant Result(TCalcType calcType) const;

 private:
  struct TTotals {
    long long count = 0;
    double sum = 0, lowest = 0, highest = 0;
    void Add(double value);
  };
  double rowValue() const;  // read only when a total needs it

  TTotals before_;  // the rows of the span before the row in hand
  bool haveRow_ = false;
  std::string rowText_;
  uint64_t row_ = 0;
};

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
