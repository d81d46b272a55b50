#pragma once
// The colour table the pickers offer, colour names as users see them, and
// the bridge from TColor (system colours included) to what the screen shows.
#include <QColor>
#include <array>
#include <string>

#include "host/graphics/Canvas.h"
#include "host/graphics/SystemColors.h"

namespace zd {

constexpr int kStandardColorCount = 16;

// black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime,
// yellow, blue, fuchsia, aqua, white
extern const std::array<TColor, kStandardColorCount> kStandardColors;

// "Red", "BtnFace"; other values as "$00BBGGRR".
std::string ColorDisplayName(TColor c);

// The colour as drawn: system colours resolve through the application palette.
QColor ScreenColor(TColor c);

// Each of red, green and blue replaced by 255 minus its value, after
// resolving a system colour.
TColor InverseColor(TColor c);

}  // namespace zd
