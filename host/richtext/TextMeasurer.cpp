#include "host/richtext/TextMeasurer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "host/graphics/QtGraphics.h"

namespace zd {

struct TTextMeasurer::TEntry {
  TFont Font;
  QFontMetricsF Metrics;
};

namespace {
QString view(std::u16string_view s) {
  return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
// Widths saturate far beyond any page, so sums of them stay in range.
constexpr qreal kMaxTwips = 1 << 29;
int toTwips(qreal px) { return int(std::lround(std::clamp(px * kTwipsPerPixel, qreal(0), kMaxTwips))); }
}  // namespace

TTextMeasurer::TTextMeasurer() {
  if (!QGuiApplication::instance()) throw std::runtime_error("rich-text layout needs a QGuiApplication");
}
TTextMeasurer::~TTextMeasurer() = default;

TTextMeasurer::TEntry& TTextMeasurer::entryFor(const TFont& font) {
  for (auto& e : entries_)
    if (e->Font == font) return *e;
  entries_.push_back(std::make_unique<TEntry>(TEntry{font, QFontMetricsF(ToQFont(font))}));
  return *entries_.back();
}

int TTextMeasurer::Width(const TFont& font, std::u16string_view text) {
  if (text.empty()) return 0;
  return toTwips(entryFor(font).Metrics.horizontalAdvance(view(text)));
}

size_t TTextMeasurer::FitCount(const TFont& font, std::u16string_view text, int maxWidth, int& usedWidth) {
  const QFontMetricsF& fm = entryFor(font).Metrics;
  qreal total = 0;
  usedWidth = 0;
  size_t i = 0;
  while (i < text.size()) {
    const bool pair = QChar::isHighSurrogate(text[i]) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]);
    const size_t n = pair ? 2 : 1;
    total += pair ? fm.horizontalAdvance(view(text.substr(i, n))) : fm.horizontalAdvance(QChar(text[i]));
    const int w = toTwips(total);
    if (w > maxWidth) break;
    usedWidth = w;
    i += n;
  }
  return i;
}

int TTextMeasurer::Ascent(const TFont& font) {
  return int(std::ceil(entryFor(font).Metrics.ascent() - 1e-6)) * kTwipsPerPixel;
}

int TTextMeasurer::Descent(const TFont& font) {
  return int(std::ceil(entryFor(font).Metrics.descent() - 1e-6)) * kTwipsPerPixel;
}

}  // namespace zd
