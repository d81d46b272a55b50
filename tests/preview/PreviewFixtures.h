#pragma once
// What the preview tests share: a widgets application on the offscreen
// platform and a component whose pages carry known texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "host/printing/Printer.h"
#include "print/PrintZd.h"

namespace zd::test {

inline void ensureWidgetsApp() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "zdreport-preview-tests";
  static char* argv[] = {name, nullptr};
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: at exit Qt's own statics (the input devices QTest made)
  // may already be gone.
  new QApplication(argc, argv);
  TSystemPrinter& printer = TSystemPrinter::Instance();
  printer.SetSystemPrintersHidden(true);
  printer.SetVirtualPrinterEnabled(true);
  printer.SetPrinterIndex(-1);
}

// Runs action on the modal dialog of type TDialog once it shows. Polled: a
// loaded machine can take longer to open a dialog than a zero timer waits.
// After ten seconds it gives up and closes whatever is modal, so that the
// test fails instead of hanging.
template <class TDialog, class TAction>
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

// Pages of every bar carry "Page P of bar B" at the top and the texts of
// pageTexts (when given, for page P of bar 1) below it, one a line.
class TTextReport : public TZdPrintComponent {
 public:
  explicit TTextReport(int pages = 3, int bars = 1) : pageCount(pages), barCount(bars) {
    ensureWidgetsApp();
    SetAnimatedStatus(false);
  }
  int pageCount, barCount;
  std::vector<std::vector<std::string>> pageTexts;
  std::vector<TZdqOutline> outlines;
  // Called after each page is begun, with the page's 0-based index.
  std::function<void(int page)> onPage;

  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int b = 0; b < barCount && !PrepareCancelled(); ++b) {
      for (int p = 0; p < pageCount && !PrepareCancelled(); ++p) {
        NewPage(b > 0 && p == 0);
        TCanvas& canvas = *Producer().MFCanvas();
        canvas.TextOut(60, 60, "Page " + std::to_string(p + 1) + " of bar " + std::to_string(b + 1));
        if (b == 0 && p < int(pageTexts.size()))
          for (size_t i = 0; i < pageTexts[size_t(p)].size(); ++i)
            canvas.TextOut(60, 120 + int(i) * 40, pageTexts[size_t(p)][i]);
        if (onPage) onPage(p);
      }
    }
    for (const TZdqOutline& o : outlines) Outlines().Add() = o;
    EndDoc();
  }
};

}  // namespace zd::test
