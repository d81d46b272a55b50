#pragma once
// What the designer tests share besides tests/WidgetTesting.h.
#include <QApplication>
#include <QElapsedTimer>
#include <functional>

#include "tests/WidgetTesting.h"

namespace zd::test {

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
inline bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace zd::test
