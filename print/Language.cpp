#include "print/Language.h"

#include <climits>

#include "host/core/Properties.h"
#include "host/locale/Locale.h"
#include "resources/StringTables.h"

namespace zd {

namespace {

// Windows primary language ids of the languages that auto-detection picks;
// Spanish is deliberately absent, its table is too small to be chosen unasked.
TZdqLangID LanguageOfPrimaryId(int primaryLanguageId) {
  switch (primaryLanguageId) {
    case 0x19: return TZdqLangID::lnRussian;
    case 0x22: return TZdqLangID::lnUkrainian;
    case 0x07: return TZdqLangID::lnGerman;
    case 0x0C: return TZdqLangID::lnFrench;
    case 0x1D: return TZdqLangID::lnSwedish;
    case 0x05: return TZdqLangID::lnCzech;
    case 0x13: return TZdqLangID::lnDutch;
    default: return TZdqLangID::lnEnglish;
  }
}

std::string LoadText(int languageShift, int id) {
  const long long resourceId = ResourceIdBase + static_cast<long long>(id) +
                               TextNumbersPerLanguage * static_cast<long long>(languageShift);
  if (resourceId < ResourceIdBase || resourceId > INT_MAX) return {};
  const char* text = FindResourceString(static_cast<int>(resourceId));
  return text ? text : "";
}

}  // namespace

void TZdqLanguage::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TZdqLanguage*>(&source)) {
    autoDetect_ = other->autoDetect_;
    languageId_ = other->languageId_;
    return;
  }
  TPersistent::Assign(source);
}

TZdqLangID TZdqLanguage::GetLangID() {
  if (!autoDetect_) return languageId_;
  AutoDetectLangID();  // every time: the locale may have changed since
  return langIdByAutoDetect_;
}

void TZdqLanguage::AutoDetectLangID() {
  langIdByAutoDetect_ = LanguageOfPrimaryId(currentLocale().primaryLanguageId);
  autoDetected_ = true;
}

std::string GetString(int languageShift, int id) {
  // A number outside one table's span would address another language's text.
  if (id < FirstTextNumber || id >= FirstTextNumber + TextNumbersPerLanguage) return {};
  std::string text = LoadText(languageShift, id);
  if (text.empty() && languageShift >= 1) text = LoadText(0, id);
  return text;
}

const TClassProperties& TZdqLanguage::ClassProperties() {
  using L = TZdqLanguage;
  static const TClassProperties props =
      TPropertiesOf<L>("TZdqLanguage", nullptr)
          .Boolean("AutoDetect", [](const L& l) { return l.AutoDetect(); }, [](L& l, bool v) { l.SetAutoDetect(v); },
                   false)
          .Enum("LanguageID", [](const L& l) { return l.LanguageID(); },
                [](L& l, TZdqLangID v) { l.SetLanguageID(v); },
                TEnumNames{"TZdqLangID", {"lnEnglish", "lnRussian", "lnUkrainian", "lnGerman", "lnFrench", "lnSpanish",
                                          "lnSwedish", "lnCzech", "lnDutch"}},
                TZdqLangID::lnEnglish)
          .Build();
  return props;
}

}  // namespace zd
