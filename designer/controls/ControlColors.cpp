#include "designer/controls/ControlColors.h"

#include <QApplication>
#include <QPalette>
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

namespace {

struct TPaletteSlot {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The nearest palette entry for each system colour index.
constexpr std::array<TPaletteSlot, kSystemColorCount> kSystemSlots{{
    {QPalette::Active, QPalette::Mid},              // scroll bar
    {QPalette::Active, QPalette::Dark},             // desktop background
    {QPalette::Active, QPalette::Highlight},        // active caption
    {QPalette::Inactive, QPalette::Mid},            // inactive caption
    {QPalette::Active, QPalette::Window},           // menu
    {QPalette::Active, QPalette::Base},             // window
    {QPalette::Active, QPalette::Shadow},           // window frame
    {QPalette::Active, QPalette::WindowText},       // menu text
    {QPalette::Active, QPalette::Text},             // window text
    {QPalette::Active, QPalette::HighlightedText},  // caption text
    {QPalette::Active, QPalette::Window},           // active border
    {QPalette::Inactive, QPalette::Window},         // inactive border
    {QPalette::Active, QPalette::Dark},             // application workspace
    {QPalette::Active, QPalette::Highlight},        // highlight
    {QPalette::Active, QPalette::HighlightedText},  // highlight text
    {QPalette::Active, QPalette::Button},           // button face
    {QPalette::Active, QPalette::Mid},              // button shadow
    {QPalette::Disabled, QPalette::Text},           // gray text
    {QPalette::Active, QPalette::ButtonText},       // button text
    {QPalette::Inactive, QPalette::WindowText},     // inactive caption text
    {QPalette::Active, QPalette::Light},            // button highlight
    {QPalette::Active, QPalette::Shadow},           // 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 3-D light
    {QPalette::Active, QPalette::ToolTipText},      // info text
    {QPalette::Active, QPalette::ToolTipBase},      // info background
}};

}  // namespace

QColor ScreenColor(TColor c) {
  if (!IsSystemColor(c)) return ToQColor(c);
  const unsigned index = c - kSystemColorBase;
  if (index >= kSystemSlots.size()) return Qt::black;
  const TPaletteSlot slot = kSystemSlots[index];
  return QApplication::palette().color(slot.group, slot.role);
}

TColor InverseColor(TColor c) {
  const QColor shown = ScreenColor(c);
  return RGBColor(255 - shown.red(), 255 - shown.green(), 255 - shown.blue());
}

}  // namespace zd
