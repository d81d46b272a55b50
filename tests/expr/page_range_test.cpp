#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/PageRange.h"

using namespace zd;

namespace {

constexpr int kManyPages = 1000;

std::vector<std::string> pages(const std::string& text, int maxPages = kManyPages) {
  TStringList list;
  GetValidPages(text, list, maxPages);
  return list.Items();
}

using V = std::vector<std::string>;

}  // namespace

TEST(PageRange, ListsRangesDuplicatesAndOverlaps) {
  EXPECT_EQ(pages("1,3,5-7"), (V{"1", "3", "5", "6", "7"}));
  EXPECT_EQ(pages("1,3,5-12").size(), 10u);
  EXPECT_EQ(pages("10-12,2"), (V{"2", "10", "11", "12"}));  // numeric order, not text order
  EXPECT_EQ(pages("5-7-9"), (V{"5", "6", "7", "9"}));        // a closed range starts nothing
  EXPECT_EQ(pages("4 - 6"), (V{"4", "5", "6"}));
  EXPECT_EQ(pages("3 3 2"), (V{"2", "3"}));
  EXPECT_EQ(pages("1-5,3-8,4"), (V{"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(pages("2-4,1-9").size(), 9u);
}

TEST(PageRange, ReversedAndOpenRangesAndGarbage) {
  EXPECT_EQ(pages("7-5"), (V{"5", "7"}));
  EXPECT_EQ(pages("5-"), (V{"5"}));
  EXPECT_EQ(pages("-5"), (V{"5"}));
  EXPECT_EQ(pages("-"), V{});
  EXPECT_EQ(pages(""), V{});
  EXPECT_EQ(pages("abc"), V{});
  EXPECT_EQ(pages("x2y;4"), (V{"2", "4"}));
  EXPECT_EQ(pages("0"), V{});  // pages count from 1
  EXPECT_EQ(pages("0-3"), (V{"1", "2", "3"}));
}

TEST(PageRange, BoundedByMaximumPageCountCheaplyAndReplacingPreviousContent) {
  std::vector<std::string> all = pages("1-999999999", 50);
  ASSERT_EQ(all.size(), 50u);
  EXPECT_EQ(all.front(), "1");
  EXPECT_EQ(all.back(), "50");
  EXPECT_EQ(pages("3,60", 50), V{"3"});
  EXPECT_EQ(pages("48-99999999999999999999999999", 50), (V{"48", "49", "50"}));
  EXPECT_EQ(pages("99999999999999999999999999", 50), V{});
  EXPECT_EQ(pages("1-5", 0), V{});
  TStringList list{"old", "entries"};
  GetValidPages("2", list, kManyPages);
  EXPECT_EQ(list.Items(), V{"2"});
  GetValidPages("none", list, kManyPages);
  EXPECT_TRUE(list.Empty());
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "1-2000000000,";
  EXPECT_EQ(pages(text, 100000).size(), 100000u);
}

