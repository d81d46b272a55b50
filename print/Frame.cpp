#include "print/Frame.h"

#include <algorithm>
#include <cmath>

#include "host/core/Properties.h"
#include "host/emf/detail/MetafilePlayer.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

// The picture as pixels at its own size; metafile pictures are played once.
TBitmap BitmapForm(const TPicture& picture) {
  if (picture.Kind() != TPictureKind::Metafile) return picture.Bitmap();
  if (picture.Width() <= 0 || picture.Height() <= 0) return TBitmap();
  return RasterizeMetafile(picture.Data(), picture.Width(), picture.Height());
}

// Round half to even, as the tile counts need (2.5 -> 2, 3.5 -> 4).
int RoundEven(double v) { return int(std::nearbyint(v)); }

// Draws the tile at (x, y) relative to the rectangle, cut to the rectangle;
// the visible part comes from the bitmap's top-left corner.
void DrawTile(TCanvas& canvas, const TRect& rect, const TBitmap& bmp, int x, int y) {
  const int w = rect.Width(), h = rect.Height();
  const TRect part{std::max(x, 0), std::max(y, 0), std::min(x + bmp.Width(), w),
                   std::min(y + bmp.Height(), h)};
  if (part.IsEmpty()) return;
  const TRect dest{rect.Left + part.Left, rect.Top + part.Top, rect.Left + part.Right,
                   rect.Top + part.Bottom};
  if (part.Width() == bmp.Width() && part.Height() == bmp.Height()) {
    canvas.StretchDraw(dest, bmp);
    return;
  }
  canvas.StretchDraw(dest, FromQImage(ToQImage(bmp).copy(0, 0, part.Width(), part.Height())));
}

}  // namespace

void TZdqFrame::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqFrame*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  bottom_ = other->bottom_;
  left_ = other->left_;
  right_ = other->right_;
  top_ = other->top_;
  penStyle_ = other->penStyle_;
  width_ = other->width_;
  color_ = other->color_;
  backColor_ = other->backColor_;
  picture_ = other->picture_;
  picType_ = other->picType_;
  changed();
}

TZdFrameTypes TZdqFrame::FrameType() const {
  return TZdFrameTypes(uint8_t((top_ ? ftTop : 0) | (bottom_ ? ftBottom : 0) |
                               (left_ ? ftLeft : 0) | (right_ ? ftRight : 0)));
}

void TZdqFrame::SetFrameType(TZdFrameTypes types) {
  top_ = types.Has(ftTop);
  bottom_ = types.Has(ftBottom);
  left_ = types.Has(ftLeft);
  right_ = types.Has(ftRight);
  changed();
}

int TZdqFrame::GetFrameWidth() const {
  if (picType_ == TZdPicType::btTileAsFrame || picType_ == TZdPicType::btCorners)
    return width_ + std::max(picture_.Width(), picture_.Height());
  return width_;
}

void TZdqFrame::SetPen(TPen& pen) const {
  pen.Width = width_;
  pen.Style = penStyle_;
  pen.Color = color_;
}

void TZdqFrame::DrawFrame(TCanvas& canvas, const TRect& rect) const {
  canvas.Brush.Style = TBrushStyle::bsSolid;
  SetPen(canvas.Pen);
  const TColor savedBrushColor = canvas.Brush.Color;
  if (backColor_ != clWhite) {
    canvas.Brush.Color = backColor_;
    canvas.FillRect(rect);
  }
  if (picType_ != TZdPicType::btNone) drawPicture(canvas, rect);
  if (top_) { canvas.MoveTo(rect.Left, rect.Top); canvas.LineTo(rect.Right, rect.Top); }
  if (bottom_) { canvas.MoveTo(rect.Left, rect.Bottom); canvas.LineTo(rect.Right, rect.Bottom); }
  if (left_) { canvas.MoveTo(rect.Left, rect.Top); canvas.LineTo(rect.Left, rect.Bottom); }
  if (right_) { canvas.MoveTo(rect.Right, rect.Top); canvas.LineTo(rect.Right, rect.Bottom); }
  canvas.Brush.Color = savedBrushColor;
  canvas.Brush.Style = TBrushStyle::bsClear;
}

void TZdqFrame::drawPicture(TCanvas& canvas, const TRect& rect) const {
  const TBitmap bmp = BitmapForm(picture_);
  const int pw = bmp.Width(), ph = bmp.Height();
  if (pw <= 0 || ph <= 0) return;  // nothing to draw, and no tile size to divide by
  const int w = rect.Width(), h = rect.Height();
  switch (picType_) {
    case TZdPicType::btNone:
      break;
    case TZdPicType::btCenter: {
      const int x = rect.Left + (w - pw) / 2, y = rect.Top + (h - ph) / 2;
      canvas.StretchDraw({x, y, x + pw, y + ph}, bmp);
      break;
    }
    case TZdPicType::btStretch:
      canvas.StretchDraw(rect, bmp);
      break;
    case TZdPicType::btTile: {
      const int across = RoundEven(double(w) / pw), down = RoundEven(double(h) / ph);
      for (int i = 0; i <= across; ++i)
        for (int j = 0; j <= down; ++j) DrawTile(canvas, rect, bmp, i * pw, j * ph);
      break;
    }
    case TZdPicType::btTileAsFrame: {
      const int across = RoundEven(double(w) / pw), down = RoundEven(double(h) / ph);
      for (int i = 0; i <= across; ++i) {
        DrawTile(canvas, rect, bmp, i * pw, 0);
        DrawTile(canvas, rect, bmp, i * pw, h - ph);
      }
      for (int j = 1; j <= down; ++j) {
        DrawTile(canvas, rect, bmp, 0, j * ph);
        DrawTile(canvas, rect, bmp, w - pw, j * ph);
      }
      break;
    }
    case TZdPicType::btCorners:
      canvas.StretchDraw({rect.Left, rect.Top, rect.Left + pw, rect.Top + ph}, bmp);
      canvas.StretchDraw({rect.Right - pw, rect.Top, rect.Right, rect.Top + ph}, bmp);
      canvas.StretchDraw({rect.Left, rect.Bottom - ph, rect.Left + pw, rect.Bottom}, bmp);
      canvas.StretchDraw({rect.Right - pw, rect.Bottom - ph, rect.Right, rect.Bottom}, bmp);
      break;
  }
}

const TClassProperties& TZdqFrame::ClassProperties() {
  using F = TZdqFrame;
  static const TClassProperties props =
      TPropertiesOf<F>("TZdqFrame", nullptr)
          .Color("Color", [](const F& f) { return f.Color(); }, [](F& f, uint32_t v) { f.SetColor(v); }, clBlack)
          .Enum("Style", [](const F& f) { return f.Style(); }, [](F& f, TPenStyle v) { f.SetStyle(v); },
                TEnumNames{"TPenStyle",
                           {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}},
                TPenStyle::psSolid)
          .Integer("Width", [](const F& f) { return f.Width(); }, [](F& f, int v) { f.SetWidth(v); }, 1)
          .Set("FrameType", [](const F& f) { return f.FrameType().Bits; },
               [](F& f, uint8_t v) { f.SetFrameType(TZdFrameTypes(v)); },
               TEnumNames{"TZdFrameTypes", {"ftTop", "ftBottom", "ftLeft", "ftRight"}}, uint8_t(0))
          .Color("BackColor", [](const F& f) { return f.BackColor(); }, [](F& f, uint32_t v) { f.SetBackColor(v); },
                 clWhite)
          // The picture's file bytes; a raster picture is kept as BMP.
          .Binary("Picture",
                  [](const F& f) -> TBytes {
                    if (f.picture_.Empty()) return {};
                    if (f.picture_.Kind() == TPictureKind::Bitmap)
                      return f.picture_.Bitmap().SaveToBytes(TImageFormat::Bmp);
                    return f.picture_.Data();
                  },
                  [](F& f, const TBytes& v) {
                    TPicture loaded;
                    if (!v.empty()) loaded.LoadFromBytes(v);  // raises before anything changes
                    f.SetPicture(loaded);
                  })
          .Enum("PicType", [](const F& f) { return f.PicType(); }, [](F& f, TZdPicType v) { f.SetPicType(v); },
                TEnumNames{"TZdPicType", {"btNone", "btCenter", "btStretch", "btTile", "btTileAsFrame", "btCorners"}},
                TZdPicType::btNone)
          .Build();
  return props;
}

}  // namespace zd
