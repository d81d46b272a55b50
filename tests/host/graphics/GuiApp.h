#pragma once
// Font metrics need a QGuiApplication; one per test process.
#include <QGuiApplication>

namespace zd::test {
inline void ensureGuiApp() {
  if (QGuiApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_host_graphics";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  static QGuiApplication app(argc, argv);
}
}  // namespace zd::test
