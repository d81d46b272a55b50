#include "report/controls/detail/ControlDrawing.h"

#include <algorithm>
#include <cmath>

#include "expr/StrUtils.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "report/model/ZdqBase.h"

namespace zd {

namespace {

// Products of the placement rules are cut toward zero, not rounded.
int Cut(double v) { return int(v); }

}  // namespace

int DrawWrapText(TCanvas& canvas, const std::string& text, const TRect& rect, uint32_t flags, int angle,
                 bool removeBlankLine) {
  if (text.empty() && removeBlankLine) return 0;
  const std::string shown = text.empty() ? std::string(" ") : text;
  if (angle != 0) {
    if (!(flags & DT_CALCRECT)) canvas.TextOut(rect.Left, rect.Top, shown);
    return canvas.TextHeight(shown);
  }
  TRect layout = rect;
  return canvas.DrawText(layout, shown, flags);
}

TPoint RotatedTextOffset(TAlignment alignment, int angle, TSize text, TSize box) {
  const double radians = angle * 3.14159265358979323846 / 180;
  const double c = std::cos(radians), s = std::sin(radians);
  const int tw = text.Width, th = text.Height;
  int dx = 0;
  switch (alignment) {
    case TAlignment::taLeftJustify:
      if (angle >= 91 && angle <= 180) dx = -Cut(tw * c);
      else if (angle >= 181 && angle <= 270) dx = -Cut(tw * c) - Cut(th * s);
      else if (angle >= 271) dx = -Cut(th * s);
      dx = std::min(dx, box.Width);
      break;
    case TAlignment::taRightJustify:
      dx = box.Width;
      if (angle <= 90) dx -= Cut(tw * c) + Cut(th * s);
      else if (angle <= 180) dx -= Cut(th * s);
      else if (angle >= 271) dx -= Cut(tw * c);
      dx = std::max(dx, 0);
      break;
    case TAlignment::taCenter:
      dx = box.Width / 2 - Cut(tw / 2.0 * c) - Cut(th / 2.0 * s);
      break;
  }
  int dy = 0;
  if (angle <= 90) dy = Cut(tw * s);
  else if (angle <= 180) dy = Cut(tw * s) - Cut(th * c);
  else if (angle <= 270) dy = -Cut(th * c);
  dy = std::min(dy, box.Height);
  return {dx, dy};
}

int GetCharWidth(const TCanvas& canvas, int width) {
  const int zero = canvas.TextWidth("0");
  if (zero <= 0) return 0;
  return int(std::lround(double(width) / zero));
}

const TField* NamedField(const TZdqControl& control, const std::string& expression) {
  TDataSet* dataSet = control.GetDatasetByName(expression);
  if (!dataSet) return nullptr;
  std::string fieldName = GetFieldName(expression);
  if (fieldName.empty()) fieldName = expression;
  return &dataSet->FieldByName(fieldName);
}

void StretchDrawPicture(TCanvas& canvas, const TRect& rect, const TPicture& picture) {
  if (picture.Empty() || rect.IsEmpty()) return;
  if (picture.Kind() == TPictureKind::Metafile) {
    // Played at the size it is drawn, so it stays sharp.
    canvas.StretchDraw(rect, RasterizeMetafile(picture.Data(), rect.Width(), rect.Height()));
    return;
  }
  if (picture.Bitmap().Empty()) return;
  canvas.StretchDraw(rect, picture.Bitmap());
}

}  // namespace zd
