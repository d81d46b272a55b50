#pragma once
// What the preview tests share: a widgets application on the offscreen
// platform and a component whose pages carry known texts.
#include <string>
#include <vector>

#include "print/PrintZd.h"
#include "tests/WidgetTesting.h"

namespace zd::test {

// Pages of every bar carry "Page P of bar B" at the top and the texts of
// pageTexts (when given, for page P of bar 1) below it, one a line.
class TTextReport : public TZdPrintComponent {
 public:
  explicit TTextReport(int pages = 3, int bars = 1) : pageCount(pages), barCount(bars) {
    useWidgetsAndVirtualPrinter();
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
