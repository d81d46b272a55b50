#include "host/graphics/detail/FontCache.h"

#include <cmath>

#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {
constexpr size_t kTextsPerGeneration = 4096;

int roundedUp(qreal v) { return int(std::ceil(v - 1e-6)); }
}  // namespace

TCachedFont::TCachedFont(const TFont& f)
    : font(ToQFont(f)),
      metrics(font),
      ascent(roundedUp(metrics.ascent())),
      lineHeight(ascent + roundedUp(metrics.descent())),
      widths(kTextsPerGeneration),
      advances(kTextsPerGeneration) {}

size_t TFontCache::hashOf(const TFont& f) {
  // FNV-1a over the name, then the numeric fields.
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint64_t byte) {
    h ^= byte;
    h *= 1099511628211ull;
  };
  for (char c : f.Name) mix(uint8_t(c));
  mix(uint32_t(f.PixelHeight()));
  mix(f.Style.Bits);
  mix(uint8_t(f.Pitch));
  return size_t(h ^ (h >> 29));
}

bool TFontCache::holds(const TSlot& slot, const TFont& f) {
  return slot.pixelHeight == f.PixelHeight() && slot.style == f.Style && slot.pitch == f.Pitch &&
         slot.name == f.Name;
}

TCachedFont& TFontCache::Get(const TFont& f) {
  if (last_ && holds(*last_, f)) return *last_->cached;
  const size_t hash = hashOf(f);
  size_t i = hash & (kSlots - 1);
  for (; slots_[i].cached; i = (i + 1) & (kSlots - 1)) {
    if (slots_[i].hash == hash && holds(slots_[i], f)) {
      last_ = &slots_[i];
      return *slots_[i].cached;
    }
  }
  if (count_ == kMaxFonts) {
    for (TSlot& slot : slots_) slot = TSlot{};
    count_ = 0;
    i = hash & (kSlots - 1);
  }
  TSlot& slot = slots_[i];
  slot = TSlot{hash, std::make_unique<TCachedFont>(f), f.Name, f.PixelHeight(), f.Style, f.Pitch};
  ++count_;
  last_ = &slot;
  return *slot.cached;
}

}  // namespace zd
