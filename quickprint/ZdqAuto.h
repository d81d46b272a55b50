#pragma once
// The base of the components that print data without a template: header
// and footer lines with macros on every page, highlights and a hook for
// every text drawn, and the row style of tables.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/graphics/Canvas.h"
#include "print/PrintZd.h"
#include "quickprint/ZdqMacros.h"
#include "quickprint/ZdqStyle.h"
#include "report/model/ZdqTypes.h"

namespace zd {

class TDataSet;
class TZdqDataManager;

// Called for every text drawn: may change the text and the layout flags, or
// draw it itself (drawDefault false), reporting the height it used.
using TOnDrawTextEvent = std::function<void(TCanvas& canvas, std::string& text, const TRect& rect,
                                            uint32_t& flags, int& resultHeight, bool& drawDefault)>;

class TZdAutoPrint : public TZdPrintComponent {
 public:
  explicit TZdAutoPrint(TComponent* owner = nullptr);
  ~TZdAutoPrint() override;
  std::string ClassName() const override { return "TZdAutoPrint"; }

  TZdqStyle& Style() { return style_; }
  const TZdqStyle& Style() const { return style_; }
  char MacroChar() const { return macroChar_; }
  void SetMacroChar(char c);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on) { wordWrap_ = on; }
  /// Lines at the top of the page; by default the date and time over a
  /// line on every page, then one blank line at the start of the report.
  const std::vector<std::string>& Header() const { return header_; }
  void SetHeader(std::vector<std::string> lines);
  /// Lines at the bottom of the page; by default the page and sheet numbers.
  const std::vector<std::string>& Footer() const { return footer_; }
  void SetFooter(std::vector<std::string> lines);
  const TFont& HeaderFont() const { return headerFont_; }
  void SetHeaderFont(const TFont& font) { headerFont_ = font; }
  const TFont& FooterFont() const { return footerFont_; }
  void SetFooterFont(const TFont& font) { footerFont_ = font; }
  /// Conditional font and background of the data drawn (not of titles,
  /// totals, header and footer); the first whose expression reads as true wins.
  TZdqHighLights& HighLights() { return highLights_; }
  const TPen& GridLine() const { return gridLine_; }
  void SetGridLine(const TPen& pen) { gridLine_ = pen; }
  TOnDrawTextEvent OnDrawText;

  /// Starts the page with the page-start header and footer lines; the
  /// room left lies between them.
  void NewPage(bool isNewBar = false) override;

 protected:
  TCanvas& Canvas() const { return *Producer().MFCanvas(); }
  int LeftOffset() const { return CurrentPage()->OffsetLeft; }
  int RightEdge() const { return CurrentPage()->PageWidth() - CurrentPage()->OffsetRight; }
  int UsableWidth() const { return RightEdge() - LeftOffset(); }

  /// Prints (or with measure, only measures) the lines that belong to the
  /// pass, from the current height down; returns the height used.
  int PrintStrings(const std::vector<std::string>& lines, const TFont& font, bool pageStart, bool measure);
  /// The report-pass header lines, at the start of every bar.
  void PrintReportHeader() { PrintStrings(header_, headerFont_, false, false); }
  /// The report-pass footer lines, on a new page when they do not fit.
  void PrintReportFooter();
  void PrintBevel(TBevel bevel, const TRect& rect);
  /// Draws the text in rect with the DT_ flags (only measures with
  /// DT_CALCRECT) through OnDrawText, and for data (a record's cell, a line
  /// of the file) through the highlights; returns its height.
  int ZdqDrawText(const std::string& text, const TRect& rect, uint32_t flags, bool isData = false);
  /// The dataset highlight expressions read their fields from.
  void SetHighLightDataSet(TDataSet* dataset);
  /// Whether a page was started and its column titles are not printed yet.
  bool needPrintHeaderGrid_ = false;

 private:
  TMacroValues MacroValues();
  const TZdqHighLight* ActiveHighLight();
  void UpdateTwoPass();

  TZdqStyle style_;
  char macroChar_ = '%';
  bool wordWrap_ = false;
  std::vector<std::string> header_, footer_;
  TFont headerFont_, footerFont_;
  TZdqHighLights highLights_{this};
  TPen gridLine_;
  // Highlight expressions, parsed once per set of datasets.
  struct THighLightData;
  std::unique_ptr<THighLightData> highLightData_;
};

}  // namespace zd
