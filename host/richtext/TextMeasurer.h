#pragma once
// Font metrics in twips for layout, from the same 96 dpi metrics the canvases
// draw with (1 pixel = 15 twips). Caches one metrics object per font.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Canvas.h"

namespace zd {

constexpr int kTwipsPerPixel = 15;

class TTextMeasurer {
 public:
  TTextMeasurer();
  ~TTextMeasurer();
  TTextMeasurer(const TTextMeasurer&) = delete;
  TTextMeasurer& operator=(const TTextMeasurer&) = delete;

  int Width(const TFont& font, std::u16string_view text);
  // How many leading code units fit in maxWidth (pairs are never split);
  // usedWidth receives their width. Measures no further than needed.
  size_t FitCount(const TFont& font, std::u16string_view text, int maxWidth, int& usedWidth);
  int Ascent(const TFont& font);   // whole pixels, in twips
  int Descent(const TFont& font);

 private:
  struct TEntry;
  std::vector<std::unique_ptr<TEntry>> entries_;
  TEntry& entryFor(const TFont& font);
};

}  // namespace zd
