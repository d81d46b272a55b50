#pragma once
// What tests of windows and dialogs share: a widgets application on the
// offscreen platform, and answering a modal dialog that a call opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <typeinfo>

#include "tests/Fixtures.h"

namespace zd::test {

// Made before anything makes a QGuiApplication; never destroyed, since
// QTest's statics may outlive it.
inline void ensureWidgetsApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "zdreport-widget-tests";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QApplication(argc, argv);
}

// Widgets, and pages the same on every machine: the virtual printer alone.
inline void useWidgetsAndVirtualPrinter() {
  ensureWidgetsApp();
  useVirtualPrinter();
}

// Runs action on the modal dialog of type TDialog once it shows. Polled: a
// loaded machine can take longer to open a dialog than a zero timer waits.
// After ten seconds it gives up and closes whatever is modal, so that the
// test fails instead of hanging.
template <class TDialog = QWidget, class TAction>
void WhenModal(TAction action) {
  auto* timer = new QTimer;
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  QObject::connect(timer, &QTimer::timeout, [timer, waited, action] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* dialog = dynamic_cast<TDialog*>(modal);
    if (!(dialog && dialog->isVisible()) && waited->elapsed() < 10000) return;
    timer->stop();
    timer->deleteLater();
    if (dialog && dialog->isVisible()) {
      action(dialog);
      return;
    }
    ADD_FAILURE() << "no " << typeid(TDialog).name() << " was shown";
    if (modal) modal->close();
  });
  timer->start(5);
}

}  // namespace zd::test
