#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "host/core/TextUtil.h"
#include "print/SysData.h"

namespace zd {
namespace {

using K = TZdqSysDataType;

TZdqSysDataType KindAt(int ordinal) { return static_cast<TZdqSysDataType>(ordinal); }

TEST(SysData, EnglishNamesTypesAndFormatsOfKeyKinds) {
  EXPECT_STREQ(SysDataEnglishName(K::sdDate), "Date");
  EXPECT_EQ(SysDataFieldType(K::sdDate), TFieldType::ftDate);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdDate), "@D @DS ");

  EXPECT_EQ(SysDataFieldType(K::sdTime), TFieldType::ftTime);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdTime), "@T @TS ");

  EXPECT_STREQ(SysDataEnglishName(K::sdDateTime), "DateTime");
  EXPECT_EQ(SysDataFieldType(K::sdDateTime), TFieldType::ftDateTime);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdDateTime), "@D @DS @T @TS ");

  EXPECT_STREQ(SysDataEnglishName(K::sdReportTitle), "ReportTitle");
  EXPECT_EQ(SysDataFieldType(K::sdKeywords), TFieldType::ftString);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdAuthor), "@C ");

  EXPECT_STREQ(SysDataEnglishName(K::sdPageNo), "PageNo");
  EXPECT_EQ(SysDataFieldType(K::sdPageNo), TFieldType::ftInteger);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdPageNo), "@N @ND0 @NR1 ");

  EXPECT_STREQ(SysDataEnglishName(K::sdBandLineNo), "BandLineNo");
  EXPECT_EQ(SysDataFieldType(K::sdBandLineNo), TFieldType::ftInteger);
  EXPECT_STREQ(SysDataDefaultFormat(K::sdBandLineNo), "@N @ND0 @NR1 ");
}

TEST(SysData, EveryKindHasOneUnambiguousNameTheTablesAgreeAndOthersAreRejected) {
  std::set<std::string> seen;
  for (int i = 0; i < SysDataTypeCount; ++i) {
    const std::string name = SysDataEnglishName(KindAt(i));
    EXPECT_TRUE(seen.insert(UpperCase(name)).second) << name;  // expressions match without case
    EXPECT_EQ(GetSysDataName(0, KindAt(i)), name);
    EXPECT_NE(std::string(SysDataDefaultFormat(KindAt(i))), "") << name;
  }
  // Display names follow the language.
  for (int shift = 1; shift <= 8; ++shift)
    for (int i = 0; i < SysDataTypeCount; ++i) EXPECT_NE(GetSysDataName(shift, KindAt(i)), "");
  EXPECT_NE(GetSysDataName(3, K::sdPageCount), "PageCount");
  // The expression name never changes with the display language.
  EXPECT_STREQ(SysDataEnglishName(K::sdPageCount), "PageCount");
  const TZdqSysDataType bad = KindAt(SysDataTypeCount);
  EXPECT_THROW(SysDataEnglishName(bad), std::out_of_range);
  EXPECT_THROW(SysDataFieldType(bad), std::out_of_range);
  EXPECT_THROW(SysDataDefaultFormat(bad), std::out_of_range);
  EXPECT_THROW(GetSysDataName(0, bad), std::out_of_range);
  EXPECT_THROW(GetSysDataName(0, KindAt(-1)), std::out_of_range);
}

}  // namespace
}  // namespace zd
