#pragma once
// Finding a text among the text records of a page's drawing.
#include <string>
#include <vector>

#include "host/emf/Metafile.h"

namespace zd {

// How the searched text must sit in a page text, as the find dialog lists them.
enum class TFindMode { AtBeginning, Exactly, AnyPosition };

struct TFindQuery {
  std::string Text;  // UTF-8
  TFindMode Mode = TFindMode::AtBeginning;
  bool CaseSensitive = false;
};

// Whether pageText (blanks around it already removed) matches the query.
bool TextMatches(const std::string& pageText, const TFindQuery& query);

// The bounds, grown by one unit on every side, of the page's text records
// that match, in drawing order. Texts of blanks alone never match.
std::vector<TRect> FindTextOnPage(const TMetafile& page, const TFindQuery& query);

}  // namespace zd
