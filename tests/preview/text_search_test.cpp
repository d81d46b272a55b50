// Matching of page texts by the find dialog's modes, and the rectangles a
// search marks on a page.
#include <gtest/gtest.h>

#include "PreviewFixtures.h"
#include "host/emf/Metafile.h"
#include "preview/TextSearch.h"

namespace zd {
namespace {

TFindQuery Query(const std::string& text, TFindMode mode, bool caseSensitive = false) {
  return TFindQuery{text, mode, caseSensitive};
}

TEST(TextSearch, ModesAndCase) {
  // "total" against "Grand Total" and "TOTAL:".
  const auto matches = [](const TFindQuery& q) {
    return std::make_pair(TextMatches("Grand Total", q), TextMatches("TOTAL:", q));
  };
  EXPECT_EQ(matches(Query("total", TFindMode::AnyPosition)), std::make_pair(true, true));
  EXPECT_EQ(matches(Query("total", TFindMode::Exactly)), std::make_pair(false, false));
  EXPECT_EQ(matches(Query("total", TFindMode::AtBeginning)), std::make_pair(false, true));
  EXPECT_EQ(matches(Query("total", TFindMode::AnyPosition, true)), std::make_pair(false, false));
  EXPECT_TRUE(TextMatches("Grand Total", Query("Total", TFindMode::AnyPosition, true)));
  // Letters beyond ASCII fold as well.
  EXPECT_TRUE(TextMatches("STRASSE Ärger", Query("ärger", TFindMode::AnyPosition)));
  EXPECT_FALSE(TextMatches("anything", Query("", TFindMode::AnyPosition)));
}

TEST(TextSearch, MarksMatchingTextRecordsGrownByOne) {
  test::useWidgetsAndVirtualPrinter();
  TMetafile page;
  page.SetWidth(400);
  page.SetHeight(300);
  {
    TMetafileCanvas canvas(page);
    canvas.TextOut(10, 10, "Grand Total");
    canvas.TextOut(10, 100, "   ");
    canvas.TextOut(10, 200, "  TOTAL:  ");
  }
  const std::vector<TRect> found = FindTextOnPage(page, Query("total", TFindMode::AtBeginning));
  ASSERT_EQ(found.size(), 1u);  // blanks around "TOTAL:" do not count, a text of blanks never matches
  EXPECT_LE(found[0].Top, 199);
  EXPECT_GT(found[0].Bottom, 201);
  EXPECT_EQ(FindTextOnPage(page, Query("a", TFindMode::AnyPosition)).size(), 2u);
}

}  // namespace
}  // namespace zd
