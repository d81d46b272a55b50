#pragma once
// A font as a persistent object, so that controls, highlights and the report
// can publish their font and copy it by Assign.
#include <string>

#include "host/core/Component.h"
#include "host/core/Properties.h"
#include "host/graphics/Canvas.h"

namespace zd {

class TZdqFont : public TPersistent {
 public:
  TZdqFont() = default;
  // Edits a font kept elsewhere (the report's font lives in its base class).
  explicit TZdqFont(TFont& external) : font_(&external) {}
  TZdqFont(const TZdqFont&) = delete;
  TZdqFont& operator=(const TZdqFont&) = delete;

  std::string ClassName() const override { return "TZdqFont"; }
  void Assign(const TPersistent& source) override;
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();

  const TFont& Value() const { return *font_; }
  void SetValue(const TFont& font) { *font_ = font; }
  TFont& Edit() { return *font_; }

  int Charset() const { return font_->Charset; }
  void SetCharset(int charset) { font_->Charset = uint8_t(charset); }
  TColor Color() const { return font_->Color; }
  void SetColor(TColor color) { font_->Color = color; }
  const std::string& Name() const { return font_->Name; }
  void SetName(const std::string& name) { font_->Name = name; }
  TFontPitch Pitch() const { return font_->Pitch; }
  void SetPitch(TFontPitch pitch) { font_->Pitch = pitch; }
  int Size() const { return font_->Size; }
  // Points, limited to what a device can draw.
  void SetSize(int points);
  TFontStyles Style() const { return font_->Style; }
  void SetStyle(TFontStyles style) { font_->Style = style; }

 private:
  TFont own_;
  TFont* font_ = &own_;
};

}  // namespace zd
