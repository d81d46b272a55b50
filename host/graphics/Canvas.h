#pragma once
// Device-neutral drawing surface: font, pen, brush and the primitive operations
// the report engine draws with. Coordinates are page units (96 per inch).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zd {

class TBitmap;

// 0x00BBGGRR, as stored in metafiles.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF,
                 clGreen = 0x008000, clLime = 0x00FF00, clBlue = 0xFF0000,
                 clSilver = 0xC0C0C0, clGray = 0x808080, clYellow = 0x00FFFF;
inline constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
inline constexpr uint8_t RedOf(TColor c) { return c & 0xFF; }
inline constexpr uint8_t GreenOf(TColor c) { return (c >> 8) & 0xFF; }
inline constexpr uint8_t BlueOf(TColor c) { return (c >> 16) & 0xFF; }

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};
struct TSize {
  int Width = 0, Height = 0;
  bool operator==(const TSize&) const = default;
};
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  TRect Inflated(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
struct TFontStyles {
  uint8_t Bits = 0;
  TFontStyles() = default;
  TFontStyles(uint8_t bits) : Bits(bits) {}
  bool Has(TFontStyle s) const { return Bits & s; }
  void Set(TFontStyle s, bool on = true) { Bits = on ? (Bits | s) : (Bits & ~s); }
  bool operator==(const TFontStyles&) const = default;
};
enum class TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

struct TFont {
  std::string Name = "Arial";
  int Size = 10;  // points
  TFontStyles Style;
  TColor Color = clBlack;
  int Orientation = 0;    // tenths of a degree, counter-clockwise
  uint8_t Charset = 1;    // DEFAULT_CHARSET
  TFontPitch Pitch = TFontPitch::fpDefault;
  // Character height in page units (positive), as a 96 dpi device rounds it.
  int PixelHeight() const { return int((int64_t(Size) * 96 + 36) / 72); }
  // Sets Size from a character height in page units (negative lfHeight).
  void SetPixelHeight(int px) { Size = int((int64_t(px) * 72 + 48) / 96); }
  bool operator==(const TFont&) const = default;
};

enum class TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  bool operator==(const TPen&) const = default;
};

enum class TBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
  bool operator==(const TBrush&) const = default;
};

// Positions and sizes that templates and metafiles give are kept within
// this many page units (some 270 metres), so that sums of a few of them
// never overflow; nothing sensible lies further out.
constexpr int kMaxPageCoordinate = 1 << 20;
inline int ClampCoordinate(int64_t v) {
  return int(std::clamp<int64_t>(v, -kMaxPageCoordinate, kMaxPageCoordinate));
}
// Font sizes in points, either way.
constexpr int kMaxFontSize = 4096;

// Text alignment of TextOut's reference point (values as in metafiles).
enum : uint32_t { TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum class TBkMode : uint8_t { bmTransparent = 1, bmOpaque = 2 };

// Multi-line layout flags (values as the classic DrawText flags).
enum : uint32_t {
  DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2,
  DT_TOP = 0x0, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
  DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
};

// Text measurement at 96 dpi (needs a QGuiApplication). Identical on every
// machine with the same fonts since the pixel size is fixed and hinting off.
TSize MeasureText(const TFont& font, const std::string& utf8);
int FontLineHeight(const TFont& font);  // ascent + descent
int FontAscent(const TFont& font);
// Advance of each UTF-16 code unit of the text, summing to MeasureText's width.
std::vector<int> CharAdvances(const TFont& font, const std::string& utf8);

// Splits text into lines no wider than width: breaks at line feeds and, with
// wordBreak, between words; a word wider than the width stays whole on its line.
std::vector<std::string> WrapText(const TFont& font, const std::string& utf8, int width, bool wordBreak);

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  TFont Font;
  TPen Pen;
  TBrush Brush;

  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Rectangle(const TRect& r) = 0;   // outline with Pen, filled with Brush
  virtual void RoundRect(const TRect& r, int cornerW, int cornerH) = 0;
  virtual void Ellipse(const TRect& r) = 0;
  virtual void FillRect(const TRect& r) = 0;    // Brush only, no outline
  virtual void StretchDraw(const TRect& r, const TBitmap& bmp) = 0;
  // Text at the reference point (per TextAlign), background per BkMode;
  // clip, when given, limits the drawing.
  virtual void TextOutClipped(int x, int y, const std::string& utf8, const TRect* clip) = 0;

  void TextOut(int x, int y, const std::string& utf8) { TextOutClipped(x, y, utf8, nullptr); }
  void TextRect(const TRect& clip, int x, int y, const std::string& utf8) { TextOutClipped(x, y, utf8, &clip); }
  void Rectangle(int l, int t, int r, int b) { Rectangle(TRect{l, t, r, b}); }
  void Ellipse(int l, int t, int r, int b) { Ellipse(TRect{l, t, r, b}); }

  TSize TextExtent(const std::string& utf8) const { return MeasureText(Font, utf8); }
  int TextWidth(const std::string& utf8) const { return TextExtent(utf8).Width; }
  int TextHeight(const std::string& utf8) const { return TextExtent(utf8).Height; }

  // Lays out text in rect per DT_ flags and returns the height used. With
  // DT_CALCRECT nothing is drawn and rect's right/bottom become the needed size.
  int DrawText(TRect& rect, const std::string& utf8, uint32_t flags);

  // Limits all drawing to the rectangle until cleared; DrawText leaves out
  // the lines that lie wholly outside it.
  void SetClipRect(const std::optional<TRect>& clip) {
    clip_ = clip;
    ClipChanged();
  }
  const std::optional<TRect>& ClipRect() const { return clip_; }

  uint32_t TextAlign() const { return textAlign_; }
  virtual void SetTextAlign(uint32_t align) { textAlign_ = align; }
  TBkMode BkMode() const { return bkMode_; }
  virtual void SetBkMode(TBkMode m) { bkMode_ = m; }

 protected:
  virtual void ClipChanged() {}

  uint32_t textAlign_ = TA_LEFT | TA_TOP;
  std::optional<TRect> clip_;
  TBkMode bkMode_ = TBkMode::bmTransparent;
};

}  // namespace zd
