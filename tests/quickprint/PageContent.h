#pragma once
// What a prepared page shows, read back from its drawing: the texts with
// their positions and the filled rectangles with their colours.
#include <string>
#include <vector>

#include "host/emf/Metafile.h"
#include "print/PageStore.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/WidgetTesting.h"

namespace zd::test {

struct TShownText {
  std::string text;
  int x = 0, y = 0;
};
struct TFill {
  TRect rect;
  TColor color = clWhite;
};

inline std::vector<TShownText> TextsOnPage(const TPageInfo& page) {
  std::vector<TShownText> texts;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState&) {
    if (auto text = ReadEmfText(rec)) texts.push_back({text->Text, text->Reference.X, text->Reference.Y});
    return true;
  });
  return texts;
}

// Rectangles drawn with the null pen: fills.
inline std::vector<TFill> FillsOnPage(const TPageInfo& page) {
  std::vector<TFill> fills;
  EnumerateMetafile(*page.Drawing(), [&](const TEmfRecord& rec, const TEmfState& state) {
    constexpr uint32_t kNullPen = 5;
    if (rec.Type == EMR_RECTANGLE && state.Pen.Style == kNullPen)
      fills.push_back({rec.RectAt(8), state.Brush.Color});
    return true;
  });
  return fills;
}

inline std::vector<std::string> Strings(const std::vector<TShownText>& texts) {
  std::vector<std::string> out;
  for (const TShownText& t : texts) out.push_back(t.text);
  return out;
}

// The texts of a page, by page and bar number.
inline std::vector<std::string> PageStrings(const TZdPrintBaseComponent& report, int page, int bar) {
  const TPageInfo* info = report.GetPage(page, bar);
  if (!info) return {};
  return Strings(TextsOnPage(*info));
}


// A page of the given tenths of millimetres (A4 by default); a new
// component would take the paper the last preparation left on the printer.
inline void UsePaper(TZdPrintBaseComponent& report, int width = 2100, int height = 2970) {
  TZdqPrinter& paper = report.PrinterSetting();
  paper.SetPaperSize(TZdqPaperSize::psCustom);
  paper.SetPaperSizeWidth(width);
  paper.SetPaperSizeHeight(height);
}

}  // namespace zd::test
