#include "host/graphics/Canvas.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "host/core/TextUtil.h"
#include "host/graphics/QtGraphics.h"
#include "host/graphics/detail/FontCache.h"

namespace zd {

namespace {
void requireGui() {
  if (!QGuiApplication::instance())
    throw std::runtime_error("text measurement needs a QGuiApplication");
}
int widthOf(const QFontMetricsF& fm, const QString& s) {
  return int(std::ceil(fm.horizontalAdvance(s) - 1e-6));
}

TCachedFont& cachedFont(const TFont& f) {
  static TFontCache cache;
  return cache.Get(f);
}

// The width of a text already converted to UTF-16.
int cachedWidth(TCachedFont& cached, const std::string& utf8, const QString& text) {
  return cached.widths.Get(utf8, [&] { return widthOf(cached.metrics, text); });
}
}  // namespace

QFont ToQFont(const TFont& f) {
  QFont q(QString::fromStdString(f.Name));
  q.setPixelSize(std::max(1, f.PixelHeight()));
  q.setBold(f.Style.Has(fsBold));
  q.setItalic(f.Style.Has(fsItalic));
  q.setUnderline(f.Style.Has(fsUnderline));
  q.setStrikeOut(f.Style.Has(fsStrikeOut));
  q.setHintingPreference(QFont::PreferNoHinting);
  q.setKerning(false);  // advances must add up per character
  if (f.Pitch == TFontPitch::fpFixed) q.setFixedPitch(true);
  return q;
}

TSize MeasureText(const TFont& font, const std::string& utf8) {
  requireGui();
  TCachedFont& cached = cachedFont(font);
  const int width =
      cached.widths.Get(utf8, [&] { return widthOf(cached.metrics, QString::fromStdString(utf8)); });
  return {width, cached.lineHeight};
}

int FontLineHeight(const TFont& font) {
  requireGui();
  return cachedFont(font).lineHeight;
}

int FontAscent(const TFont& font) {
  requireGui();
  return cachedFont(font).ascent;
}

namespace {

// Qt finds a caret by walking its line from the start, so a long text is
// shaped in pieces of about this many characters, cut after a blank or
// else between graphemes, where shaping does not reach across.
constexpr qsizetype kShapedPiece = 256;

qsizetype PieceEnd(const QString& s, qsizetype start) {
  const qsizetype end = start + kShapedPiece;
  if (end >= s.size()) return s.size();
  const qsizetype blank = s.lastIndexOf(QChar(' '), end - 1);
  if (blank >= start + kShapedPiece / 2) return blank + 1;
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, s);
  graphemes.setPosition(end);
  const qsizetype boundary = graphemes.isAtBoundary() ? end : graphemes.toPreviousBoundary();
  return boundary > start ? boundary : end;
}

}  // namespace

std::vector<int> CharAdvances(const TFont& font, const std::string& utf8) {
  requireGui();
  TCachedFont& cached = cachedFont(font);
  return cached.advances.Get(utf8, [&] {
    const QString s = QString::fromStdString(utf8);
    std::vector<int> out;
    if (s.isEmpty()) return out;
    out.reserve(size_t(s.size()));
    // Rounded cumulative positions so the sum equals the measured width.
    const int width = cachedWidth(cached, utf8, s);
    double pieceLeft = 0;
    int prev = 0;
    for (qsizetype start = 0; start < s.size();) {
      const qsizetype end = PieceEnd(s, start);
      // One shaping pass gives every caret position of the piece.
      QTextLayout layout(s.mid(start, end - start), cached.font);
      layout.beginLayout();
      QTextLine line = layout.createLine();
      line.setLineWidth(1e9);
      layout.endLayout();
      for (qsizetype i = start; i < end; ++i) {
        const int cur =
            i + 1 == s.size() ? width : int(std::lround(pieceLeft + line.cursorToX(int(i + 1 - start))));
        out.push_back(cur - prev);
        prev = cur;
      }
      pieceLeft += line.naturalTextWidth();
      start = end;
    }
    return out;
  });
}

std::vector<std::string> WrapText(const TFont& font, const std::string& utf8, int width, bool wordBreak) {
  requireGui();
  // Most texts are one line that fits: the width cache answers that without
  // shaping the text again for every row.
  const bool oneParagraph = utf8.find_first_of("\r\n") == std::string::npos;
  if (oneParagraph && (!wordBreak || MeasureText(font, utf8).Width <= width))
    return {IsAscii(utf8) ? utf8 : QString::fromStdString(utf8).toStdString()};  // as UTF-16 gives it back
  const QFontMetricsF& fm = cachedFont(font).metrics;
  QString text = QString::fromStdString(utf8);
  text.remove(QChar('\r'));
  std::vector<std::string> lines;
  const QStringList paras = text.split(QChar('\n'));
  for (const QString& para : paras) {
    // A lone paragraph is already known not to fit; measuring it again would
    // shape it again on every row (a number wider than its column).
    if (!wordBreak || (!oneParagraph && widthOf(fm, para) <= width)) {
      lines.push_back(para.toStdString());
      continue;
    }
    // Greedy fill; spaces at a break are dropped, a too-long word stays whole.
    QString line;
    qsizetype i = 0;
    const qsizetype n = para.size();
    while (i < n) {
      qsizetype j = i;
      while (j < n && para[j] != ' ') ++j;
      QString word = para.mid(i, j - i);
      qsizetype k = j;
      while (k < n && para[k] == ' ') ++k;
      QString spaces = para.mid(j, k - j);
      if (line.isEmpty()) {
        line = word;
      } else if (widthOf(fm, line + word) <= width) {
        line += word;
      } else {
        while (line.endsWith(' ')) line.chop(1);
        lines.push_back(line.toStdString());
        line = word;
      }
      line += spaces;
      i = k;
    }
    while (line.endsWith(' ')) line.chop(1);
    lines.push_back(line.toStdString());
  }
  return lines;
}

int TCanvas::DrawText(TRect& rect, const std::string& utf8, uint32_t flags) {
  const bool single = flags & DT_SINGLELINE;
  std::vector<std::string> lines;
  if (single) {
    std::string s = utf8;
    for (char& c : s)
      if (c == '\n' || c == '\r') c = ' ';
    lines.push_back(s);
  } else {
    lines = WrapText(Font, utf8, rect.Width(), flags & DT_WORDBREAK);
  }
  const int lh = FontLineHeight(Font);
  const int total = lh * int(lines.size());
  if (flags & DT_CALCRECT) {
    int w = 0;
    for (const auto& l : lines) w = std::max(w, MeasureText(Font, l).Width);
    rect.Right = rect.Left + w;
    rect.Bottom = rect.Top + total;
    return total;
  }
  int y = rect.Top;
  if (single && (flags & DT_VCENTER)) y = rect.Top + (rect.Height() - lh) / 2;
  else if (single && (flags & DT_BOTTOM)) y = rect.Bottom - lh;
  const uint32_t savedAlign = TextAlign();
  SetTextAlign(TA_LEFT | TA_TOP);
  const TRect* clip = (flags & DT_NOCLIP) ? nullptr : &rect;
  for (const auto& l : lines) {
    if (clip_ && (y >= clip_->Bottom || y + lh <= clip_->Top)) {
      y += lh;
      continue;
    }
    int x = rect.Left;  // a left-aligned line needs no measuring
    if (flags & DT_CENTER) x = rect.Left + (rect.Width() - MeasureText(Font, l).Width) / 2;
    else if (flags & DT_RIGHT) x = rect.Right - MeasureText(Font, l).Width;
    if (!l.empty()) TextOutClipped(x, y, l, clip);
    y += lh;
  }
  SetTextAlign(savedAlign);
  return total;
}

}  // namespace zd
