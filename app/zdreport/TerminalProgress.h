#pragma once
// The engine's progress dialog as one line on a terminal: the status text
// and, when the dialog has a range, a bar with the position.
#include <cstdio>
#include <string>

#include "host/ui/Progress.h"

namespace zd::cli {

class TTerminalProgressView : public TProgressView {
 public:
  TTerminalProgressView(std::FILE* out, int columns) : out_(out), columns_(columns) {}
  ~TTerminalProgressView() override;
  void Show(const TProgressSettings& settings) override;
  void Update(const std::string& status, int position) override;
  void RunModal(const std::function<void()>& callback) override { callback(); }

  // The line drawn for this state, at most `columns` characters wide.
  static std::string Line(const std::string& status, int min, int max, int position, int columns);

 private:
  void Draw();

  std::FILE* out_;
  int columns_;
  std::string status_;
  int min_ = 0, max_ = 0, position_ = 0;
  bool drawn_ = false;
};

// The width of standard error when it is a terminal; 0 when it is not.
int StderrTerminalColumns();

}  // namespace zd::cli
