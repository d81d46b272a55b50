#include "host/richtext/ParagraphLayout.h"

#include <algorithm>

#include "host/locale/TextCodec.h"

namespace zd {

TParagraphLayouter::TParagraphLayouter(const TRichParagraph& para, const TFont& defaultFont,
                                       TParaAlignment defaultAlignment, TTextMeasurer& measurer)
    : para_(para),
      alignment_(para.Format.Alignment.value_or(defaultAlignment)),
      measurer_(measurer),
      endFont_(para.EndFormat.Resolve(defaultFont)) {
  fonts_.reserve(para.Runs.size());
  for (const auto& r : para.Runs) fonts_.push_back(r.Format.Resolve(defaultFont));
  splitIntoAtoms();
}

void TParagraphLayouter::splitIntoAtoms() {
  for (size_t r = 0; r < para_.Runs.size(); ++r) {
    const std::u16string text = Utf8ToUtf16(para_.Runs[r].Text);
    size_t i = 0;
    while (i < text.size()) {
      TAtom a;
      a.run = r;
      const char16_t c = text[i];
      size_t j = i + 1;
      if (c == u'\t') {
        a.kind = TAtom::Tab;
      } else if (c == u'\n') {
        a.kind = TAtom::Break;
      } else if (c == u' ') {
        a.kind = TAtom::Space;
        while (j < text.size() && text[j] == u' ') ++j;
      } else {
        a.kind = TAtom::Word;
        while (j < text.size() && text[j] != u' ' && text[j] != u'\t' && text[j] != u'\n') ++j;
      }
      if (a.kind == TAtom::Word || a.kind == TAtom::Space) {
        a.text = text.substr(i, j - i);
        a.width = measurer_.Width(fonts_[r], a.text);
      }
      atoms_.push_back(std::move(a));
      i = j;
    }
  }
}

std::vector<TLayoutLine> TParagraphLayouter::Layout(int left, int right) {
  const TParaFormat& f = para_.Format;
  const int li = std::max(0, f.LeftIndent), ri = std::max(0, f.RightIndent);
  indent_ = li;
  origin_ = left + li;
  avail_ = std::max(1, right - left - li - ri);
  x_ = std::max(f.FirstIndent, -li);  // a hanging first line stops at the column's edge
  lines_.clear();
  items_.clear();
  breakRun_.reset();
  std::vector<TAtom> pristine = atoms_;  // placeWord consumes split words
  bool endedWithBreak = false;
  size_t i = 0;
  while (i < atoms_.size()) {
    const TAtom& a = atoms_[i];
    endedWithBreak = a.kind == TAtom::Break;
    switch (a.kind) {
      case TAtom::Break:
        breakRun_ = a.run;
        finishLine(false);
        x_ = 0;
        ++i;
        break;
      case TAtom::Space:
        place(a, a.rest(), a.width);  // spaces hang past the edge rather than wrap
        ++i;
        break;
      case TAtom::Tab: {
        int stop = nextTabStop(x_);
        if (stop > avail_ && !items_.empty()) {
          finishLine(true);
          x_ = 0;
          stop = nextTabStop(0);
        }
        place(a, {}, stop - x_);
        ++i;
        break;
      }
      case TAtom::Word:
        if (!placeWord(i)) {
          finishLine(true);
          x_ = 0;
        }
        break;
    }
  }
  if (!items_.empty() || lines_.empty() || endedWithBreak) finishLine(false);
  atoms_ = std::move(pristine);
  return std::move(lines_);
}

// Stops are measured from the column's edge, as documents write them; x is
// relative to the left indent. A hanging first line tabs to the indent itself
// unless a stop of its own comes first.
int TParagraphLayouter::nextTabStop(int x) const {
  const long long col = (long long)indent_ + x;  // never negative: x >= -indent_
  std::optional<long long> custom;
  for (int t : para_.Format.TabStops)
    if (t > col) {
      custom = t;
      break;
    }
  long long stop;
  if (col < indent_) stop = custom && *custom < indent_ ? *custom : indent_;
  else if (custom) stop = *custom;
  else stop = (col / kDefaultTabWidth + 1) * kDefaultTabWidth;
  return int(stop - indent_);
}

void TParagraphLayouter::place(const TAtom& a, std::u16string_view text, int width) {
  items_.push_back(TItem{a.kind, a.run, std::u16string(text), x_, width});
  x_ = int(std::min<long long>((long long)x_ + width, 1 << 29));  // hanging spaces may run on
}

// Places the word starting at atom i (it may span runs). Returns false when
// the line must end first; i then points at what is left of the word.
bool TParagraphLayouter::placeWord(size_t& i) {
  size_t end = i;
  long long width = 0;
  while (end < atoms_.size() && atoms_[end].kind == TAtom::Word) width += atoms_[end++].width;
  if (x_ + width <= avail_) {
    for (; i < end; ++i) place(atoms_[i], atoms_[i].rest(), atoms_[i].width);
    return true;
  }
  if (!items_.empty()) return false;
  // Wider than a whole line: as many characters as fit, the rest goes below.
  for (size_t k = i; k < end; ++k) {
    TAtom& a = atoms_[k];
    if (x_ + a.width <= avail_) {
      place(a, a.rest(), a.width);
      continue;
    }
    const TFont& font = fonts_[a.run];
    const std::u16string_view rest = a.rest();
    int used = 0;
    size_t n = measurer_.FitCount(font, rest, avail_ - x_, used);
    if (n == 0 && items_.empty()) {  // not even one character fits: take one anyway
      n = (rest.size() > 1 && rest[0] >= 0xD800 && rest[0] <= 0xDBFF) ? 2 : 1;
      used = measurer_.Width(font, rest.substr(0, n));
    }
    if (n > 0) {
      place(a, rest.substr(0, n), used);
      a.from += n;
      a.width = std::max(0, a.width - used);
    }
    i = a.from >= a.text.size() ? k + 1 : k;
    return false;
  }
  i = end;
  return true;
}

void TParagraphLayouter::finishLine(bool justifiable) {
  TLayoutLine line;
  lineMetrics(line);
  size_t end = items_.size();
  while (end > 0 && items_[end - 1].kind == TAtom::Space) --end;  // trailing spaces hang
  const int contentEnd = end ? items_[end - 1].x + items_[end - 1].width : 0;
  const int room = avail_ - contentEnd;
  int shift = 0;
  switch (alignment_) {
    case TParaAlignment::paLeft: break;
    case TParaAlignment::paRight: shift = std::max(0, room); break;
    case TParaAlignment::paCenter: shift = std::max(0, room / 2); break;
    case TParaAlignment::paJustify:
      if (justifiable && room > 0) stretchSpaces(end, room);
      break;
  }
  emitPieces(line, end, shift);
  lines_.push_back(std::move(line));
  items_.clear();
  breakRun_.reset();
}

void TParagraphLayouter::lineMetrics(TLayoutLine& line) {
  int ascent = 0, descent = 0;
  auto take = [&](const TFont& f) {
    ascent = std::max(ascent, measurer_.Ascent(f));
    descent = std::max(descent, measurer_.Descent(f));
  };
  for (const auto& it : items_) take(fonts_[it.run]);
  if (breakRun_) take(fonts_[*breakRun_]);
  if (items_.empty() && !breakRun_) take(endFont_);
  const int natural = ascent + descent;
  const int v = para_.Format.LineSpacing;
  int height = natural;
  switch (para_.Format.LineRule) {
    case TLineSpacingRule::lsAuto: break;
    case TLineSpacingRule::lsAtLeast: height = std::max(natural, v); break;
    case TLineSpacingRule::lsExactly: height = v; break;
    case TLineSpacingRule::lsMultiple: height = int((long long)natural * v / 240); break;
  }
  line.Height = std::max(height, 1);
  line.Baseline = line.Height - descent;  // extra leading goes above the text
}

void TParagraphLayouter::stretchSpaces(size_t end, int extra) {
  // Only spaces after the last tab widen, so tabbed columns stay put.
  size_t first = 0;
  for (size_t k = 0; k < end; ++k)
    if (items_[k].kind == TAtom::Tab) first = k + 1;
  long long spaces = 0;
  for (size_t k = first; k < end; ++k) spaces += items_[k].kind == TAtom::Space;
  if (!spaces) return;
  long long seen = 0;
  int offset = 0;
  for (size_t k = first; k < end; ++k) {
    TItem& it = items_[k];
    it.x += offset;
    if (it.kind != TAtom::Space) continue;
    const int add = int(extra * (seen + 1) / spaces - extra * seen / spaces);
    ++seen;
    it.width += add;
    it.stretched = true;
    offset += add;
  }
}

void TParagraphLayouter::emitPieces(TLayoutLine& line, size_t end, int shift) const {
  const TItem* prev = nullptr;
  for (size_t k = 0; k < end; ++k) {
    const TItem& it = items_[k];
    const TFont& font = fonts_[it.run];
    const std::optional<TColor>& back = para_.Runs[it.run].Format.Background;
    const bool text = it.kind != TAtom::Tab;
    const bool merge = text && prev && prev->kind != TAtom::Tab && prev->run == it.run && !prev->stretched &&
                       !it.stretched && prev->x + prev->width == it.x;
    prev = &it;
    if (merge) {
      line.Pieces.back().Text += Utf16ToUtf8(it.text);
      line.Pieces.back().Width += it.width;
      continue;
    }
    if (!text && !back) continue;  // a tab only paints a highlight
    line.Pieces.push_back(TLayoutPiece{origin_ + shift + it.x, it.width, text ? Utf16ToUtf8(it.text) : std::string(),
                                       font, measurer_.Ascent(font), back});
  }
}

}  // namespace zd

