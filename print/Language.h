#pragma once
// Language of a component's texts and the lookup of texts by number.
#include <string>

#include "host/core/Component.h"

namespace zd {

enum class TZdqLangID {
  lnEnglish, lnRussian, lnUkrainian, lnGerman, lnFrench, lnSpanish, lnSwedish, lnCzech, lnDutch
};

class TZdqLanguage : public TPersistent {
 public:
  std::string ClassName() const override { return "TZdqLanguage"; }
  const TClassProperties* PublishedProperties() const override { return &ClassProperties(); }
  static const TClassProperties& ClassProperties();
  void Assign(const TPersistent& source) override;

  bool AutoDetect() const { return autoDetect_; }
  void SetAutoDetect(bool on) { autoDetect_ = on; }
  TZdqLangID LanguageID() const { return languageId_; }
  void SetLanguageID(TZdqLangID id) { languageId_ = id; }

  TZdqLangID GetLangID();    // the effective language
  void AutoDetectLangID();   // from the current locale's primary language id

 private:
  bool autoDetect_ = false;
  TZdqLangID languageId_ = TZdqLangID::lnEnglish;
  bool autoDetected_ = false;
  TZdqLangID langIdByAutoDetect_ = TZdqLangID::lnEnglish;
};

// Text number `id` (from 1001) in the language with the given shift, falling
// back to English; empty when no table has it.
std::string GetString(int languageShift, int id);

}  // namespace zd
