#pragma once
// Breaks one paragraph into lines: word wrap at spaces, overlong words split
// between characters, tab stops, forced line breaks, alignment and justify.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Canvas.h"
#include "host/richtext/RichDocument.h"
#include "host/richtext/TextMeasurer.h"

namespace zd {

// Horizontal positions and sizes in twips.
struct TLayoutPiece {
  int X = 0, Width = 0;
  std::string Text;  // UTF-8; empty for a tab, which only paints its background
  TFont Font;
  int Ascent = 0;
  std::optional<TColor> Background;
};

struct TLayoutLine {
  int Top = 0, Height = 0, Baseline = 0;  // twips; relative to the paragraph until stacked
  std::vector<TLayoutPiece> Pieces;
};

constexpr int kDefaultTabWidth = 720;  // half an inch

class TParagraphLayouter {
 public:
  TParagraphLayouter(const TRichParagraph& para, const TFont& defaultFont,
                     TParaAlignment defaultAlignment, TTextMeasurer& measurer);
  // Lines for a column from left to right (twips), tops starting at 0.
  std::vector<TLayoutLine> Layout(int left, int right);

 private:
  struct TAtom {
    enum Kind { Word, Space, Tab, Break } kind = Word;
    size_t run = 0;
    std::u16string text;
    size_t from = 0;  // start of what is still to place, once a long word is split
    int width = 0;
    std::u16string_view rest() const { return std::u16string_view(text).substr(from); }
  };
  struct TItem {
    TAtom::Kind kind;
    size_t run;
    std::u16string text;
    int x, width;
    bool stretched = false;  // a justified space, wider than measured
  };

  const TRichParagraph& para_;
  TParaAlignment alignment_;
  TTextMeasurer& measurer_;
  std::vector<TFont> fonts_;  // resolved per run
  TFont endFont_;
  std::vector<TAtom> atoms_;

  std::vector<TLayoutLine> lines_;
  std::vector<TItem> items_;
  std::optional<size_t> breakRun_;  // run of the forced break ending the line
  int indent_ = 0, origin_ = 0, avail_ = 0, x_ = 0;

  void splitIntoAtoms();
  int nextTabStop(int x) const;
  void place(const TAtom& a, std::u16string_view text, int width);
  bool placeWord(size_t& i);
  void finishLine(bool justifiable);
  void lineMetrics(TLayoutLine& line);
  void stretchSpaces(size_t end, int extra);
  void emitPieces(TLayoutLine& line, size_t end, int shift) const;
};

}  // namespace zd
