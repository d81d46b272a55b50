#include "app/zdreport/TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace zd::cli {
namespace {

constexpr int kBarCells = 30;
constexpr const char* kClearLine = "\r\033[K";

int TerminalColumns(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

TTerminalProgressView::~TTerminalProgressView() {
  if (drawn_) {
    std::fputs(kClearLine, out_);
    std::fflush(out_);
  }
}

void TTerminalProgressView::Show(const TProgressSettings& settings) {
  status_ = settings.status;
  min_ = settings.min;
  max_ = settings.max;
  position_ = settings.position;
  Draw();
}

void TTerminalProgressView::Update(const std::string& status, int position) {
  status_ = status;
  position_ = position;
  Draw();
}

void TTerminalProgressView::Draw() {
  std::fputs(kClearLine, out_);
  std::fputs(Line(status_, min_, max_, position_, columns_).c_str(), out_);
  std::fflush(out_);
  drawn_ = true;
}

std::string TTerminalProgressView::Line(const std::string& status, int min, int max, int position, int columns) {
  std::string bar;
  if (max > min) {
    // Positions outside the range (the engine passes 100 before it knows one) fill or empty the bar.
    const long clamped = std::clamp<long>(long(position), min, max);
    const int filled = int((clamped - min) * kBarCells / (long(max) - min));
    bar = "[" + std::string(size_t(filled), '#') + std::string(size_t(kBarCells - filled), '-') + "] ";
  }
  std::string line = bar + status;
  // The last column stays free: writing it makes some terminals wrap.
  const size_t width = size_t(std::max(columns - 1, 0));
  if (line.size() > width) line.resize(width);
  return line;
}

int StderrTerminalColumns() { return isatty(STDERR_FILENO) ? TerminalColumns(STDERR_FILENO) : 0; }

}  // namespace zd::cli
