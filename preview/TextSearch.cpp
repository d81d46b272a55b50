#include "preview/TextSearch.h"

#include <QString>

namespace zd {

bool TextMatches(const std::string& pageText, const TFindQuery& query) {
  if (query.Text.empty()) return false;
  // Case folding handles letters beyond ASCII as well.
  const auto fold = [&](const std::string& s) {
    const QString text = QString::fromStdString(s);
    return query.CaseSensitive ? text : text.toCaseFolded();
  };
  const QString text = fold(pageText), wanted = fold(query.Text);
  switch (query.Mode) {
    case TFindMode::AtBeginning: return text.startsWith(wanted);
    case TFindMode::Exactly: return text == wanted;
    case TFindMode::AnyPosition: return text.contains(wanted);
  }
  return false;
}

std::vector<TRect> FindTextOnPage(const TMetafile& page, const TFindQuery& query) {
  std::vector<TRect> found;
  EnumerateMetafile(page, [&](const TEmfRecord& record, const TEmfState&) {
    if (record.Type != EMR_EXTTEXTOUTA && record.Type != EMR_EXTTEXTOUTW) return true;
    const std::optional<TEmfText> text = ReadEmfText(record);
    if (!text) return true;
    const std::string trimmed = QString::fromStdString(text->Text).trimmed().toStdString();
    if (trimmed.empty() || !TextMatches(trimmed, query)) return true;
    found.push_back(text->Bounds.Inflated(1, 1));
    return true;
  });
  return found;
}

}  // namespace zd
