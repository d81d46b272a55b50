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

 private:
  TFont own_;
  TFont* font_ = &own_;
};

}  // namespace zd
