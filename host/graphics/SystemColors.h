#pragma once
// System colours, 0x80000000 + index as templates store them, and what they
// are on this machine: the nearest entry of the application's palette.
#include "host/graphics/Canvas.h"

namespace zd {

constexpr TColor kSystemColorBase = 0x80000000u;
constexpr int kSystemColorCount = 25;
constexpr TColor clWindow = kSystemColorBase + 5, clWindowText = kSystemColorBase + 8,
                 clBtnFace = kSystemColorBase + 15, clBtnShadow = kSystemColorBase + 16,
                 cl3DLight = kSystemColorBase + 22, clInfoBk = kSystemColorBase + 24;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == kSystemColorBase; }

// A system colour as 0x00BBGGRR through the palette (black for an index
// past the last); any other colour as it is. Needs a QGuiApplication.
TColor ResolveSystemColor(TColor c);

}  // namespace zd
