#include "report/model/FontObject.h"

#include <algorithm>

namespace zd {

void TZdqFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqFont*>(&source);
  if (!other) return TPersistent::Assign(source);
  *font_ = *other->font_;
}

void TZdqFont::SetSize(int points) { font_->Size = std::clamp(points, -kMaxFontSize, kMaxFontSize); }

const TClassProperties& TZdqFont::ClassProperties() {
  using F = TZdqFont;
  static const TClassProperties props =
      TPropertiesOf<F>("TZdqFont", nullptr)
          .Integer("Charset", &F::Charset, &F::SetCharset, 1)
          .Color("Color", &F::Color, &F::SetColor)
          .String("Name", &F::Name, &F::SetName)
          .Enum("Pitch", &F::Pitch, &F::SetPitch, TEnumNames{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}},
                TFontPitch::fpDefault)
          .Integer("Size", &F::Size, &F::SetSize)
          .Set("Style", [](const F& f) { return f.Style().Bits; }, [](F& f, uint8_t v) { f.SetStyle(TFontStyles(v)); },
               TEnumNames{"TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}}, uint8_t(0))
          .Build();
  return props;
}

}  // namespace zd
