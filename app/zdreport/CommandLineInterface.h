#pragma once
// The command line's user interface: no windows, progress drawn on standard
// error when it is a terminal, and parameters answered by --param alone.
#include "host/ui/UserInterface.h"

namespace zd::cli {

class TCommandLineInterface final : public THeadlessUserInterface {
 public:
  TCommandLineInterface();
  bool ShowParameterDialog(TZdReport& report, const std::vector<TZdqParameter*>& asked) override;
  std::unique_ptr<TProgressView> CreateProgressView() override;

 private:
  int terminalColumns_;  // 0: standard error is no terminal
};

}  // namespace zd::cli
