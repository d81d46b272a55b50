#include "report/model/FontObject.h"

#include <algorithm>

namespace zd {

void TZdqFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqFont*>(&source);
  if (!other) return TPersistent::Assign(source);
  *font_ = *other->font_;
}

const TClassProperties& TZdqFont::ClassProperties() {
  static const TClassProperties props =
      TPropertiesOf<TZdqFont>("TZdqFont", nullptr)
          .Integer("Charset", [](const TZdqFont& f) { return int(f.Value().Charset); },
                   [](TZdqFont& f, int v) { f.Edit().Charset = uint8_t(v); }, 1)
          .Color("Color", [](const TZdqFont& f) { return f.Value().Color; },
                 [](TZdqFont& f, uint32_t v) { f.Edit().Color = v; })
          .String("Name", [](const TZdqFont& f) { return f.Value().Name; },
                  [](TZdqFont& f, const std::string& v) { f.Edit().Name = v; })
          .Enum("Pitch", [](const TZdqFont& f) { return f.Value().Pitch; },
                [](TZdqFont& f, TFontPitch v) { f.Edit().Pitch = v; },
                TEnumNames{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}}, TFontPitch::fpDefault)
          .Integer("Size", [](const TZdqFont& f) { return f.Value().Size; },
                   [](TZdqFont& f, int v) { f.Edit().Size = std::clamp(v, -kMaxFontSize, kMaxFontSize); })
          .Set("Style", [](const TZdqFont& f) { return f.Value().Style.Bits; },
               [](TZdqFont& f, uint8_t v) { f.Edit().Style = TFontStyles(v); },
               TEnumNames{"TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}}, uint8_t(0))
          .Build();
  return props;
}

}  // namespace zd
