#pragma once
// Border, background and decorative picture of a rectangle: drawn around
// every page and around framed controls.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "host/core/Component.h"
#include "host/graphics/Bitmap.h"
#include "host/graphics/Canvas.h"

namespace zd {

enum TZdFrameType : uint8_t { ftTop = 1, ftBottom = 2, ftLeft = 4, ftRight = 8 };
struct TZdFrameTypes {
  uint8_t Bits = 0;
  TZdFrameTypes() = default;
  TZdFrameTypes(uint8_t bits) : Bits(bits & 0x0F) {}
  bool Has(TZdFrameType t) const { return Bits & t; }
  bool operator==(const TZdFrameTypes&) const = default;
};

enum class TZdPicType { btNone, btCenter, btStretch, btTile, btTileAsFrame, btCorners };

class TZdqFrame : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdqFrame"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();
  // Copies every persisted property; the parent stays.
  void Assign(const TPersistent& source) override;

  // Called after every change so the owner can repaint.
  void SetParent(std::function<void()> repaint) { parent_ = std::move(repaint); }

  TColor Color() const { return color_; }
  void SetColor(TColor c) { color_ = c; changed(); }
  TPenStyle Style() const { return penStyle_; }
  void SetStyle(TPenStyle s) { penStyle_ = s; changed(); }
  int Width() const { return width_; }
  // Pen widths beyond a few hundred units are no frame any more.
  void SetWidth(int w) {
    width_ = std::clamp(w, 0, 1000);
    changed();
  }
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor c) { backColor_ = c; changed(); }
  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& p) { picture_ = p; changed(); }
  TZdPicType PicType() const { return picType_; }
  void SetPicType(TZdPicType t) { picType_ = t; changed(); }

  TZdFrameTypes FrameType() const;
  void SetFrameType(TZdFrameTypes types);
  bool DrawTop() const { return top_; }
  void SetDrawTop(bool on) { top_ = on; changed(); }
  bool DrawBottom() const { return bottom_; }
  void SetDrawBottom(bool on) { bottom_ = on; changed(); }
  bool DrawLeft() const { return left_; }
  void SetDrawLeft(bool on) { left_ = on; changed(); }
  bool DrawRight() const { return right_; }
  void SetDrawRight(bool on) { right_ = on; changed(); }

  // Background (unless white), picture, then the sides top, bottom, left, right.
  void DrawFrame(TCanvas& canvas, const TRect& rect) const;
  bool AnyFrame() const { return top_ || bottom_ || left_ || right_; }
  // Pen width, plus the picture's larger side when the picture forms the frame.
  int GetFrameWidth() const;
  void SetPen(TPen& pen) const;

 private:
  void changed() {
    if (parent_) parent_();
  }
  void drawPicture(TCanvas& canvas, const TRect& rect) const;

  bool bottom_ = false, left_ = false, right_ = false, top_ = false;
  std::function<void()> parent_;
  TPenStyle penStyle_ = TPenStyle::psSolid;
  int width_ = 1;
  TColor color_ = clBlack;
  TColor backColor_ = clWhite;
  TPicture picture_;
  TZdPicType picType_ = TZdPicType::btNone;
};

}  // namespace zd
