#include "app/zdreport/CommandLineInterface.h"

#include <cstdio>

#include "app/zdreport/ParameterValues.h"
#include "app/zdreport/TerminalProgress.h"

namespace zd::cli {

TCommandLineInterface::TCommandLineInterface() : terminalColumns_(StderrTerminalColumns()) {}

bool TCommandLineInterface::ShowParameterDialog(TZdReport&, const std::vector<TZdqParameter*>& asked) {
  RequireParameterValues(asked);
  return true;
}

std::unique_ptr<TProgressView> TCommandLineInterface::CreateProgressView() {
  if (terminalColumns_ == 0) return THeadlessUserInterface::CreateProgressView();
  return std::make_unique<TTerminalProgressView>(stderr, terminalColumns_);
}

}  // namespace zd::cli
