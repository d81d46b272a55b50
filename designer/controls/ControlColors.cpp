#include "designer/controls/ControlColors.h"

#include <cstdio>

#include "host/core/ColorIdents.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

const std::array<TColor, kStandardColorCount> kStandardColors{
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

std::string ColorDisplayName(TColor c) {
  if (auto ident = ColorToIdent(c)) return ident->substr(2);
  char hex[12];
  std::snprintf(hex, sizeof hex, "$%08X", unsigned(c));
  return hex;
}

QColor ScreenColor(TColor c) { return ToQColor(ResolveSystemColor(c)); }

TColor InverseColor(TColor c) {
  return ResolveSystemColor(c) ^ 0x00FFFFFFu;  // 255 minus each of red, green and blue
}

}  // namespace zd
