#pragma once
// The fonts text is measured with, each built once: building a QFont and its
// metrics costs more than measuring a short text, and a report measures the
// same few fonts for every row.
#include <QFont>
#include <QFontMetricsF>
#include <memory>
#include <string>
#include <vector>

#include "host/graphics/Canvas.h"
#include "host/graphics/detail/TextTable.h"

namespace zd {

struct TCachedFont {
  explicit TCachedFont(const TFont& f);

  QFont font;
  QFontMetricsF metrics;
  int ascent;      // rounded up, as are descent and so line height
  int lineHeight;  // ascent + descent
  TTextTable<int> widths;
  TTextTable<std::vector<int>> advances;
};

// Cached fonts by the fields a QFont is made from: name, pixel height, style
// and pitch. An open-addressed table looked up by a hash of those fields, so
// that no key has to be built per lookup.
class TFontCache {
 public:
  TCachedFont& Get(const TFont& f);

 private:
  struct TSlot {
    size_t hash = 0;
    std::unique_ptr<TCachedFont> cached;  // empty slot when null
    std::string name;
    int pixelHeight = 0;
    TFontStyles style;
    TFontPitch pitch = TFontPitch::fpDefault;
  };
  static constexpr size_t kMaxFonts = 256;       // bounded; fonts in use come back at once
  static constexpr size_t kSlots = 2 * kMaxFonts;  // power of two, half full at most

  static size_t hashOf(const TFont& f);
  static bool holds(const TSlot& slot, const TFont& f);

  std::vector<TSlot> slots_{kSlots};
  size_t count_ = 0;
  // Measuring a text asks for its font several times in a row.
  const TSlot* last_ = nullptr;
};

}  // namespace zd
