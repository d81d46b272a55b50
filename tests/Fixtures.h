#pragma once
// What every test process that makes pages needs: a GUI application for font
// metrics, and the built-in virtual printer alone, so that pages are the same
// on every machine whatever printers it has.
#include <QGuiApplication>

#include "host/printing/Printer.h"

namespace zd::test {

inline void ensureGuiApp() {
  if (QGuiApplication::instance()) return;
  static int argc = 1;
  static char name[] = "zdreport-tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  static QGuiApplication app(argc, argv);
}

inline void useVirtualPrinter() {
  ensureGuiApp();
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetSystemPrintersHidden(true);
  printer.SetVirtualPrinterEnabled(true);
  printer.SetPrinterIndex(-1);
}

}  // namespace zd::test
