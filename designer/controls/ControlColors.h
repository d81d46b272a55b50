#pragma once
// The colour table the pickers offer, colour names as users see them, and
// the bridge from TColor (system colours included) to what the screen shows.
#include <QColor>
#include <array>
#include <string>

#include "host/graphics/Canvas.h"

namespace zd {

// System colours are 0x80000000 + index, as templates store them.
constexpr TColor kSystemColorBase = 0x80000000u;
constexpr int kStandardColorCount = 16;
constexpr int kSystemColorCount = 25;
constexpr TColor clBtnFace = kSystemColorBase + 15, clBtnShadow = kSystemColorBase + 16,
                 cl3DLight = kSystemColorBase + 22, clInfoBk = kSystemColorBase + 24,
                 clWindowText = kSystemColorBase + 8;

// black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime,
// yellow, blue, fuchsia, aqua, white
extern const std::array<TColor, kStandardColorCount> kStandardColors;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == kSystemColorBase; }

// "Red", "BtnFace"; other values as "$00BBGGRR".
std::string ColorDisplayName(TColor c);

// The colour as drawn: system colours resolve through the application palette.
QColor ScreenColor(TColor c);

// Each of red, green and blue replaced by 255 minus its value, after
// resolving a system colour.
TColor InverseColor(TColor c);

}  // namespace zd
