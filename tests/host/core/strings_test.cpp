#include "host/core/Strings.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

using Items = std::vector<std::string>;

TEST(StringsText, EveryLineEndsWithCrLfAndSetTextSplitsOnAnyLineEndAndRoundTrips) {
  TStringList l;
  l.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(l.Items(), (Items{"a", "b", "c", "d"}));
  l.SetText("a\r\n");  // a final line end adds no empty line
  EXPECT_EQ(l.Items(), Items{"a"});
  l.SetText("\r\n\r\n");
  EXPECT_EQ(l.Items(), (Items{"", ""}));
  l.SetText("a\n\rb");  // LF then CR are two line ends
  EXPECT_EQ(l.Items(), (Items{"a", "", "b"}));
  l.SetText("");
  EXPECT_TRUE(l.Empty());
  TStringList original{"first", "", "  indented", "last"};
  TStringList copy;
  copy.SetText(original.Text());
  EXPECT_EQ(copy, original);
  EXPECT_EQ(TStringList({"a", "", "b"}).Text(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TStringList().Text(), "");
  EXPECT_EQ(TStringList({""}).Text(), "\r\n");
}

TEST(StringsCommaText, QuotesOnlyWhatNeedsItSplitsOnCommasAndBlanksAndRoundTrips) {
  TStringList l;
  l.SetCommaText("1, 2 3,,\"x, y\"");
  EXPECT_EQ(l.Items(), (Items{"1", "2", "3", "", "x, y"}));
  l.SetCommaText("a,");
  EXPECT_EQ(l.Items(), (Items{"a", ""}));
  l.SetCommaText("  ");
  EXPECT_TRUE(l.Empty());
  l.SetCommaText("\"unterminated");
  EXPECT_EQ(l.Items(), Items{"unterminated"});
  l.SetCommaText(std::string("a\0b", 3));  // a NUL counts as a blank
  EXPECT_EQ(l.Items(), (Items{"a", "b"}));
  for (const TStringList& original :
       {TStringList{""}, TStringList{"", ""}, TStringList{"\"", ",", " ", "a\"b"},
        TStringList{"1", "", "3"}, TStringList{}}) {
    TStringList copy;
    copy.SetCommaText(original.CommaText());
    EXPECT_EQ(copy, original) << original.CommaText();
  }
  EXPECT_EQ(TStringList({"a", "b c", "d,e", "say \"hi\"", ""}).CommaText(),
            "a,\"b c\",\"d,e\",\"say \"\"hi\"\"\",\"\"");
  EXPECT_EQ(TStringList({"tab\there"}).CommaText(), "\"tab\there\"");
  EXPECT_EQ(TStringList().CommaText(), "");
}

TEST(StringsEditing, IndexChecks) {
  TStringList l{"a", "b"};
  l.Insert(2, "c");
  EXPECT_EQ(l.IndexOf("c"), 2);
  EXPECT_EQ(l.IndexOf("C"), -1);
  EXPECT_THROW(l.Insert(4, "x"), std::out_of_range);
  EXPECT_THROW(l.Delete(3), std::out_of_range);
  EXPECT_THROW(l.Delete(-1), std::out_of_range);
  l.Delete(0);
  EXPECT_EQ(l.Items(), (Items{"b", "c"}));
}

}  // namespace
}  // namespace zd
