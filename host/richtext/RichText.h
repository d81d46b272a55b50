#pragma once
// The rich-text control's formatter: holds a document with the control's
// default font, alignment and background, and formats it onto a canvas.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/graphics/Canvas.h"
#include "host/richtext/RichDocument.h"

namespace zd {

class TRichText {
 public:
  // Throws ERtfError (the previous content is kept).
  void LoadFromRtf(std::string_view bytes);
  void LoadFromRtf(const std::vector<uint8_t>& bytes) { LoadFromRtf(asView(bytes)); }
  void LoadFromText(std::string_view utf8);
  // Rich text when the bytes start like it, plain text otherwise.
  void Load(std::string_view bytes);
  void Load(const std::vector<uint8_t>& bytes) { Load(asView(bytes)); }
  void Clear() { doc_ = {}; }
  const TRichDocument& Document() const { return doc_; }

  const TFont& DefaultFont() const { return font_; }
  void SetDefaultFont(const TFont& font) { font_ = font; }
  TParaAlignment DefaultAlignment() const { return alignment_; }
  // Applies to paragraphs that set no alignment of their own.
  void SetDefaultAlignment(TParaAlignment a) { alignment_ = a; }
  void SetBackground(std::optional<TColor> color) { background_ = color; }

  // Formats the whole text into rectTwips (canvas pixels x 15), drawing it
  // when render is set. Text below the rectangle is cut at a line boundary.
  // Returns the bottom of the formatted text in twips.
  int FormatRange(TCanvas& canvas, const TRect& rectTwips, bool render) const;

 private:
  TRichDocument doc_;
  TFont font_;
  TParaAlignment alignment_ = TParaAlignment::paLeft;
  std::optional<TColor> background_;
  static std::string_view asView(const std::vector<uint8_t>& b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
  }
};

}  // namespace zd
