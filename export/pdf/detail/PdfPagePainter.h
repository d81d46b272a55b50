#pragma once
// The records of one page as PDF content: what the metafile player draws,
// drawn the same way as vectors. Content is written in page units with y
// downwards, like the records; the stream's first operator turns that into
// points.
#include <optional>
#include <string>
#include <vector>

#include "export/pdf/detail/PdfPageResources.h"
#include "host/emf/Metafile.h"

namespace zd {

class TPdfPagePainter {
 public:
  explicit TPdfPagePainter(TPdfSharedResources& shared) : shared_(shared) {}

  void Begin();
  // One record, with the drawing state before it.
  void Paint(const TEmfRecord& record, const TEmfState& state);
  // The content stream of a page of this height in page units; Resources()
  // names what it uses until the next Begin.
  std::string Finish(int height);
  const TPdfPageResources& Resources() const { return resources_; }

 private:
  // What the content has set so far, to leave out operators that would
  // change nothing; saved and restored with q and Q.
  struct TGraphics {
    std::optional<TColor> Fill = clBlack, Stroke = clBlack;  // none after a pattern fill
    double LineWidth = 1;
    uint32_t Dash = 0;  // pen style 0 to 4
    int Font = -1;
    double FontSize = 0;
  };

  void number(double value);
  void op(const char* name);
  void color(TColor color);
  void setFill(TColor color);
  void setStroke(TColor color);
  bool usePen(const TEmfPen& pen);
  bool useBrush(const TEmfBrush& brush);
  void paintPath(bool fill, bool stroke);
  void save();
  void restore();

  void line(const TPoint& from, const TPoint& to, const TEmfPen& pen);
  void rectangle(const TRect& rect, const TEmfState& state);
  void ellipse(const TRect& rect, const TEmfState& state);
  void roundRect(const TRect& rect, int cornerWidth, int cornerHeight, const TEmfState& state);
  void clip(const TRect& rect);
  void text(const TEmfRecord& record, const TEmfState& state);
  void glyphs(const TPdfTextLine& line, double x, double baseline, double emSize);
  void bitmap(const TEmfRecord& record);

  TPdfSharedResources& shared_;
  TPdfPageResources resources_;
  std::string out_;
  TGraphics g_;
  std::vector<TGraphics> saved_;
};

}  // namespace zd
