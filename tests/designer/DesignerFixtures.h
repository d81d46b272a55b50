#pragma once
// What the designer tests share: a widgets application on the offscreen
// platform and a way to answer the modal dialog a call is about to open.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zd::test {

inline void ensureDesignerApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "zdreport-designer-tests";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QApplication(argc, argv);  // never destroyed: QTest's statics may outlive it
}

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

// Calls `answer` with the first modal dialog that opens; the caller then
// runs whatever opens it.
inline void answerNextModal(std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start();
}

}  // namespace zd::test
