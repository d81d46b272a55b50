#include "quickprint/ZdqStyle.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

#include "host/graphics/SystemColors.h"

namespace zd {
namespace {

struct TRowStyleInfo {
  TZdqRowStyle style;
  const char* name;
  TColor odd, even;  // 0x00BBGGRR; kInfo and kWindow stand for the platform's colours
};
constexpr TColor kInfo = 0xFF000001, kWindow = 0xFF000002;

constexpr std::array<TRowStyleInfo, 12> kRowStyles{{
    {TZdqRowStyle::rsNormal, "normal", clWhite, clWhite},
    {TZdqRowStyle::rsPriceList, "pricelist", kInfo, 0xFFFFFF},
    {TZdqRowStyle::rsMSMoney, "msmoney", 0xFFFBF0, kWindow},
    {TZdqRowStyle::rsBrick, "brick", 0xCFDFDF, 0xA0BFBF},
    {TZdqRowStyle::rsDesert, "desert", 0xB8CCD8, 0x688CA0},
    {TZdqRowStyle::rsEggplant, "eggplant", 0xA8B090, 0x788058},
    {TZdqRowStyle::rsLilac, "lilac", 0xD8A8B0, 0xB05058},
    {TZdqRowStyle::rsMaple, "maple", 0xA8D8EB, 0x48A8C8},
    {TZdqRowStyle::rsMarine, "marine", 0xB8C088, 0x889048},
    {TZdqRowStyle::rsRose, "rose", 0xB8B0D0, 0x7060A0},
    {TZdqRowStyle::rsSpruce, "spruce", 0xA8C8A0, 0x689858},
    {TZdqRowStyle::rsWheat, "wheat", 0xA0E0E0, 0x40BCC0},
}};

TColor PaletteColor(QPalette::ColorGroup group, QPalette::ColorRole role) {
  const QColor c = QGuiApplication::palette().color(group, role);
  return RGBColor(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

TColor Resolve(TColor color) {
  if (color == kInfo) return InfoBackgroundColor();
  if (color == kWindow) return WindowColor();
  return color;
}

}  // namespace

TColor InfoBackgroundColor() { return ResolveSystemColor(clInfoBk); }
TColor WindowColor() { return ResolveSystemColor(clWindow); }
TColor ButtonShadowColor() { return PaletteColor(QPalette::Active, QPalette::Dark); }

std::optional<TZdqRowStyle> RowStyleByName(const std::string& name) {
  for (const TRowStyleInfo& info : kRowStyles)
    if (name == info.name) return info.style;
  return std::nullopt;
}

std::string RowStyleName(TZdqRowStyle style) { return kRowStyles[size_t(style)].name; }

void TZdqStyle::SetRowStyle(TZdqRowStyle style) {
  if (style == rowStyle_) return;
  rowStyle_ = style;
  if (style == TZdqRowStyle::rsNormal) return;
  OddColor = Resolve(kRowStyles[size_t(style)].odd);
  EvenColor = Resolve(kRowStyles[size_t(style)].even);
}

}  // namespace zd
