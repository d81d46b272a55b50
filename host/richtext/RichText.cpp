#include "host/richtext/RichText.h"


#include "host/richtext/RichTextLayout.h"
#include "host/richtext/RtfReader.h"
#include "host/richtext/TextMeasurer.h"

namespace zd {

void TRichText::LoadFromRtf(std::string_view bytes) { doc_ = TRtfReader::Read(bytes); }

void TRichText::LoadFromText(std::string_view utf8) { doc_ = ReadPlainText(utf8); }

void TRichText::Load(std::string_view bytes) {
  if (LooksLikeRtf(bytes)) LoadFromRtf(bytes);
  else LoadFromText(bytes);
}

int TRichText::FormatRange(TCanvas& canvas, const TRect& rectTwips, bool render) const {
  TTextMeasurer measurer;
  TRichTextLayout layout(doc_, font_, alignment_);
  layout.Layout(rectTwips, measurer);
  if (render) PaintRichTextLayout(canvas, layout, rectTwips, background_);
  return layout.Bottom();
}

}  // namespace zd
