#pragma once
// Formatted text as paragraphs of runs. Properties a document leaves unset
// fall back to the control's default font and alignment at layout time, so
// plain text and sparse rich text follow the control's settings.
#include <optional>
#include <string>
#include <vector>

#include "host/core/Errors.h"
#include "host/graphics/Canvas.h"

namespace zd {

class ERtfError : public EZdError {
 public:
  using EZdError::EZdError;
};

enum class TParaAlignment : uint8_t { paLeft, paRight, paCenter, paJustify };

// Character format; nullopt means "as the default font".
struct TRunFormat {
  std::optional<std::string> FontName;
  std::optional<int> HalfPoints;
  std::optional<bool> Bold, Italic, Underline, StrikeOut;
  std::optional<TColor> Color;
  std::optional<TColor> Background;  // highlight; nullopt = none
  std::optional<uint8_t> Charset;
  bool operator==(const TRunFormat&) const = default;

  // The canvas font for this format over the given default.
  TFont Resolve(const TFont& base) const;
};

// Text is UTF-8; '\t' is a tab and '\n' a line break inside the paragraph.
struct TRichRun {
  std::string Text;
  TRunFormat Format;
};

enum class TLineSpacingRule : uint8_t { lsAuto, lsAtLeast, lsExactly, lsMultiple };

// Distances in twips.
struct TParaFormat {
  std::optional<TParaAlignment> Alignment;
  int LeftIndent = 0, RightIndent = 0, FirstIndent = 0;
  int SpaceBefore = 0, SpaceAfter = 0;
  TLineSpacingRule LineRule = TLineSpacingRule::lsAuto;
  int LineSpacing = 0;        // twips, or 240ths of a line for lsMultiple
  std::vector<int> TabStops;  // ascending, from the column's left edge
  bool operator==(const TParaFormat&) const = default;
};

struct TRichParagraph {
  TParaFormat Format;
  std::vector<TRichRun> Runs;
  TRunFormat EndFormat;  // gives an empty paragraph its height
  std::string PlainText() const;
};

struct TRichDocument {
  std::vector<TRichParagraph> Paragraphs;
  std::string PlainText() const;  // paragraphs joined by '\n'
};

}  // namespace zd
