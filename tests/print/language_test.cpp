#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "host/core/Component.h"
#include "host/locale/Locale.h"
#include "print/Language.h"
#include "print/TextIds.h"
#include "resources/StringTables.h"

namespace zd {
namespace {

constexpr int kRussian = 1, kGerman = 3, kSpanish = 5;

int ResourceId(int shift, int number) { return number + 10000 + 2000 * shift; }

// printf conversions in order, e.g. "dds" for "%d ... %d ... %s"; "100%" and
// "100 %" are not conversions.
std::string Conversions(const std::string& text) {
  std::string letters;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') { i = j; continue; }
    while (j < text.size() && std::string("-+#0123456789.").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) letters += text[j];
    i = j - 1;
  }
  return letters;
}

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int follow = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2
                 : (lead >> 3) == 0x1E ? 3 : -1;
    if (follow < 0 || (follow > 0 && i + follow >= text.size())) return false;
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += follow + 1;
  }
  return true;
}

TEST(GetString, ShiftSelectsTheBlockFallingBackToEnglishOnlyForMissingTexts) {
  // Spanish has its own cancel button but no print dialog caption.
  EXPECT_EQ(GetString(kSpanish, txt::Cancel), "&Cancelar");
  ASSERT_EQ(FindResourceString(ResourceId(kSpanish, txt::PrintSetupCaption)), nullptr);
  EXPECT_EQ(GetString(kSpanish, txt::PrintSetupCaption), "Print setup dialog");
  // A language without any table still gets English.
  EXPECT_EQ(GetString(60, txt::OK), "&OK");

  EXPECT_EQ(GetString(0, 1999), "");
  EXPECT_EQ(GetString(kRussian, 1999), "");
  EXPECT_EQ(GetString(0, 1000), "");
  EXPECT_EQ(GetString(0, -5), "");
  // 3001 in English would be resource 13001, Russian text 1001: still unknown.
  ASSERT_NE(FindResourceString(13001), nullptr);
  EXPECT_EQ(GetString(0, 3001), "");
  EXPECT_EQ(GetString(-1, txt::OK), "");
  EXPECT_EQ(GetString(0, 2147483647), "");
  const char* german = FindResourceString(17104);
  ASSERT_NE(german, nullptr);
  EXPECT_EQ(GetString(kGerman, txt::Cancel), german);
  EXPECT_NE(GetString(kGerman, txt::Cancel), GetString(0, txt::Cancel));
  EXPECT_STREQ(FindResourceString(11104), "&Cancel");
  EXPECT_EQ(GetString(kRussian, txt::Cancel), FindResourceString(13104));
  EXPECT_STREQ(FindResourceString(12137), "Report wizard");
  EXPECT_EQ(FindResourceString(11000), nullptr);
  EXPECT_EQ(FindResourceString(ResourceId(9, txt::OK)), nullptr);  // no tenth language
  EXPECT_EQ(FindResourceString(-1), nullptr);
}

// A sample from each block, at its edges: the numbers code refers to by
// constant must still lead to these texts.
TEST(EnglishTable, HoldsTheQuotedTextsUnderTheirNumbersAndCoversEveryRange) {
  const std::vector<std::pair<int, std::string>> quoted = {
      {1006, "Copy"}, {1013, "NewZdqControl"}, {1049, "Band"}, {1060, "SubDetail"}, {1103, "&OK"},
      {1161, "Expression:"}, {1320, "string"}, {1323, "datetime"}, {1395, "teSt saMple"},
      {1828, "page #"}, {1961, "A4 210 x 297 mm"}, {1980, "Custom Size"}, {2000, "By Default"},
      {2051, "Preparing page %d on the bar %d..."}, {2056, "All files (*.*)|*.*"},
      {2150, "Print setup dialog"}, {2183, "MS Excel file (*.xls)"}, {2197, "JPEG files (*.jpg)"}};
  for (const auto& [number, text] : quoted) EXPECT_EQ(GetString(0, number), text) << number;
  auto expectAll = [](int first, int last) {
    for (int n = first; n <= last; ++n) EXPECT_NE(GetString(0, n), "") << n;
  };
  expectAll(txt::SysDataNames, txt::SysDataNames + 14);
  expectAll(txt::BandTypeNames, txt::BandTypeNames + 10);
  expectAll(txt::PaperSizeNames, txt::PaperSizeNames + 30);
  expectAll(txt::BinNames, txt::BinNames + 14);
  expectAll(txt::Preparing, txt::DatasetNotActive);
  expectAll(txt::PreviewCaption, txt::HintZoomToWidth);
  expectAll(txt::ExportTxt, txt::ExportJpg + 1);
}

// Every table is valid UTF-8; a translation uses only numbers English has,
// with the same printf conversions.
TEST(TranslatedTables, AreValidUtf8AndKeepTheNumbersAndPlaceholdersOfEnglish) {
  EXPECT_EQ(Conversions("Printing page %d on the bar %d (copy #%d)..."), "ddd");
  EXPECT_EQ(Conversions("Zoom 100% and 100 % and 50%%"), "");
  EXPECT_EQ(Conversions("Property %s wasn't specified."), "s");
  for (int shift = 0; shift < LanguageCount; ++shift)
    for (const ResourceString& entry : LanguageStrings(shift)) {
      SCOPED_TRACE("shift " + std::to_string(shift) + " number " + std::to_string(entry.number));
      EXPECT_TRUE(IsValidUtf8(entry.text));
      if (shift == 0) continue;
      EXPECT_NE(GetString(0, entry.number), "");
      EXPECT_EQ(Conversions(entry.text), Conversions(GetString(0, entry.number))) << entry.text;
    }
}

TEST(TranslatedTables, FullLanguagesTranslateTheRuntimeTexts) {
  const std::vector<int> runtime = {
      txt::OK, txt::Cancel, txt::PreviewCaption, txt::HintPrint, txt::HintLastPage,
      txt::PageNumberLabel, txt::Sheet, txt::Preparing, txt::PreparingPage,
      txt::PrintingPage, txt::ExportingPage, txt::NoPrinter, txt::PrintSetupCaption,
      txt::ExportSetupCaption, txt::RangePrompt, txt::ExportPdf, txt::ExportPdf + 1,
      txt::BinNames, txt::PaperSizeNames + 30};
  for (int shift = 1; shift < LanguageCount; ++shift) {
    if (shift == kSpanish) continue;
    for (int number : runtime)
      EXPECT_NE(FindResourceString(ResourceId(shift, number)), nullptr)
          << "shift " << shift << " number " << number;
  }
  // Spanish stays small, so the English fallback is what most numbers get.
  EXPECT_LT(LanguageStrings(kSpanish).size(), 100u);
  EXPECT_GT(LanguageStrings(0).size(), 2 * LanguageStrings(kSpanish).size());
}

class LanguageDetection : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = currentLocale(); }
  void TearDown() override { setCurrentLocale(saved_); }
  static void UseLanguageId(int primaryLanguageId) {
    TLocale locale;
    locale.primaryLanguageId = primaryLanguageId;
    setCurrentLocale(locale);
  }
  TLocale saved_;
};

TEST_F(LanguageDetection, MapsPrimaryLanguageIds) {
  const std::vector<std::pair<int, TZdqLangID>> cases = {
      {0x19, TZdqLangID::lnRussian}, {0x22, TZdqLangID::lnUkrainian},
      {0x07, TZdqLangID::lnGerman},  {0x0C, TZdqLangID::lnFrench},
      {0x1D, TZdqLangID::lnSwedish}, {0x05, TZdqLangID::lnCzech},
      {0x13, TZdqLangID::lnDutch},   {0x09, TZdqLangID::lnEnglish},
      {0x0A, TZdqLangID::lnEnglish},  // Spanish is never detected
      {0x11, TZdqLangID::lnEnglish}, {0, TZdqLangID::lnEnglish}};
  for (const auto& [id, expected] : cases) {
    UseLanguageId(id);
    TZdqLanguage language;
    language.SetAutoDetect(true);
    EXPECT_EQ(language.GetLangID(), expected) << "primary language id " << id;
  }
  // A German system looks up the German block.
  UseLanguageId(0x07);
  TZdqLanguage german;
  german.SetAutoDetect(true);
  EXPECT_EQ(static_cast<int>(german.GetLangID()) & 0x7F, kGerman);
}

TEST_F(LanguageDetection, FixedLanguageIgnoresTheLocaleAndDetectionFollowsIt) {
  UseLanguageId(0x07);
  TZdqLanguage language;
  language.SetLanguageID(TZdqLangID::lnSpanish);
  EXPECT_EQ(language.GetLangID(), TZdqLangID::lnSpanish);
  language.SetAutoDetect(true);
  EXPECT_EQ(language.GetLangID(), TZdqLangID::lnGerman);
  UseLanguageId(0x0C);
  EXPECT_EQ(language.GetLangID(), TZdqLangID::lnFrench);
  EXPECT_EQ(language.LanguageID(), TZdqLangID::lnSpanish);
}

TEST(TZdqLanguage, AssignCopiesThePersistedSettings) {
  TZdqLanguage source;
  source.SetAutoDetect(true);
  source.SetLanguageID(TZdqLangID::lnCzech);
  TZdqLanguage target;
  target.Assign(source);
  EXPECT_TRUE(target.AutoDetect());
  EXPECT_EQ(target.LanguageID(), TZdqLangID::lnCzech);

  TPersistent other;
  EXPECT_ANY_THROW(target.Assign(other));
  EXPECT_EQ(target.LanguageID(), TZdqLangID::lnCzech);
}

}  // namespace
}  // namespace zd
