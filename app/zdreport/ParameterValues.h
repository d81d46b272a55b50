#pragma once
// Report parameters answered from the command line instead of a dialog.
#include <string>
#include <utility>
#include <vector>

#include "host/core/Variant.h"

namespace zd {
class TZdReport;
class TZdqParameter;
}  // namespace zd

namespace zd::cli {

class TCommandLineParameters {
 public:
  explicit TCommandLineParameters(std::vector<std::pair<std::string, std::string>> values)
      : values_(std::move(values)) {}

  // Stores the given values in the report's parameters. Raises
  // std::runtime_error for a name the report does not know or a value that
  // does not read as the parameter's kind.
  void Apply(TZdReport& report);

 private:
  std::vector<std::pair<std::string, std::string>> values_;
};

// What the command line answers when a report asks for parameters: the
// values stored by Apply. Raises std::runtime_error for one without a value.
void RequireParameterValues(const std::vector<TZdqParameter*>& asked);

// The text as a value of the kind of `current`, or as a number or text when
// current has no kind; checkBox reads it as true or false. Raises
// std::runtime_error naming `what` when it does not read so.
TVariant ParameterValueFromText(const std::string& text, const TVariant& current, bool checkBox,
                                const std::string& what);

}  // namespace zd::cli
