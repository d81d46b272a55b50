#include "host/graphics/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace zd {
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

TColor ResolveSystemColor(TColor c) {
  if (!IsSystemColor(c)) return c;
  const unsigned index = c - kSystemColorBase;
  if (index >= kSystemSlots.size()) return clBlack;
  const TPaletteSlot slot = kSystemSlots[index];
  const QColor shown = QGuiApplication::palette().color(slot.group, slot.role);
  return RGBColor(uint8_t(shown.red()), uint8_t(shown.green()), uint8_t(shown.blue()));
}

}  // namespace zd
