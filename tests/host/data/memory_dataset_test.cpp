// Cursor movement, bookmarks, field lookup and editing, checked on the
// in-memory dataset since the cursor logic is common to every dataset.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "host/data/MemoryDataSet.h"

using namespace zd;

namespace {

std::unique_ptr<TMemoryDataSet> MakeDataSet(int rows) {
  auto ds = std::make_unique<TMemoryDataSet>();
  ds->SetName("People");
  ds->AddField("Id", TFieldType::ftInteger);
  ds->AddField("Name", TFieldType::ftString, 12);
  ds->AddField("Score", TFieldType::ftFloat);
  for (int i = 1; i <= rows; ++i)
    ds->AppendRecord({i, "P" + std::to_string(i), i * 1.5});
  ds->Open();
  return ds;
}

std::vector<int64_t> IdsForward(TDataSet& ds) {
  std::vector<int64_t> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(ds.FieldByName("id").AsInteger());
  return ids;
}

}  // namespace

TEST(DataSetNavigation, WalksBothWaysWithClassicEndFlagsAlsoOverOneRow) {
  auto ds = MakeDataSet(3);
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(IdsForward(*ds), (std::vector<int64_t>{1, 2, 3}));
  // Next past the end stays on the last row, so Prior lands on the one before it.
  EXPECT_TRUE(ds->Eof());
  EXPECT_FALSE(ds->Bof());
  EXPECT_EQ(ds->RecNo(), 3);
  ds->Prior();
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->FieldByName("Id").AsInteger(), 2);
  ds->Prior();
  ds->Prior();  // before the first row
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->FieldByName("Id").AsInteger(), 1);
  ds->Prior();  // no effect at Bof
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->RecNo(), 1);

  ds->Last();
  EXPECT_TRUE(ds->Eof());
  EXPECT_FALSE(ds->Bof());
  EXPECT_EQ(ds->FieldByName("Id").AsInteger(), 3);
  EXPECT_EQ(ds->RecordCount(), 3);
  ds = MakeDataSet(1);  // a single row sets both flags in turn
  ds->First();
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  ds->Next();
  EXPECT_TRUE(ds->Eof());
  EXPECT_FALSE(ds->Bof());
  EXPECT_EQ(ds->FieldByName("Name").AsString(), "P1");
}

TEST(DataSetNavigation, EmptyDataSetIsAtBothEndsAndReadsNull) {
  auto ds = MakeDataSet(0);
  EXPECT_TRUE(ds->IsEmpty());
  for (auto move : {&TDataSet::First, &TDataSet::Next, &TDataSet::Prior, &TDataSet::Last}) {
    (ds.get()->*move)();
    EXPECT_TRUE(ds->Eof());
    EXPECT_TRUE(ds->Bof());
  }
  EXPECT_EQ(ds->RecNo(), 0);
  EXPECT_TRUE(ds->FieldByName("Name").IsNull());
  EXPECT_EQ(ds->FieldByName("Score").AsFloat(), 0.0);
  EXPECT_TRUE(ds->GetBookmark().IsNull());
}

TEST(DataSetNavigation, ClosedDataSetRefusesToMove) {
  auto ds = MakeDataSet(2);
  ds->Close();
  EXPECT_FALSE(ds->Active());
  EXPECT_THROW(ds->First(), EDatabaseError);
  EXPECT_THROW(ds->Next(), EDatabaseError);
  EXPECT_TRUE(ds->FieldByName("Id").IsNull());
  EXPECT_EQ(ds->RecordCount(), 0);
  ds->SetActive(true);
  EXPECT_EQ(IdsForward(*ds), (std::vector<int64_t>{1, 2}));
}

TEST(DataSetBookmarks, ReturnToMarkedRowAndRejectStaleOrClearedOnes) {
  auto ds = MakeDataSet(5);
  ds->Next();
  ds->Next();
  TBookmark mark = ds->GetBookmark();
  ds->Last();
  ds->GotoBookmark(mark);
  EXPECT_EQ(ds->FieldByName("Id").AsInteger(), 3);
  EXPECT_FALSE(ds->Eof());
  EXPECT_FALSE(ds->Bof());

  ds->FreeBookmark(mark);
  EXPECT_TRUE(mark.IsNull());
  ds->Next();
  ds->GotoBookmark(mark);  // a freed bookmark goes nowhere
  EXPECT_EQ(ds->FieldByName("Id").AsInteger(), 4);

  TBookmark beforeReopen = ds->GetBookmark();
  ds->Close();
  ds->Open();
  EXPECT_FALSE(ds->BookmarkValid(beforeReopen));
  try {
    ds->GotoBookmark(beforeReopen);
    FAIL() << "stale bookmark accepted";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("Bookmark"), std::string::npos) << e.what();
  }

  auto other = MakeDataSet(5);
  EXPECT_THROW(other->GotoBookmark(ds->GetBookmark()), EDatabaseError);
  mark = ds->GetBookmark();  // clearing the rows invalidates it
  ds->ClearRows();
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_THROW(ds->GotoBookmark(mark), EDatabaseError);
}

TEST(DataSetControls, DisableNestsAndExtraEnableIsHarmless) {
  auto ds = MakeDataSet(1);
  EXPECT_FALSE(ds->ControlsDisabled());
  ds->DisableControls();
  ds->DisableControls();
  ds->EnableControls();
  EXPECT_TRUE(ds->ControlsDisabled());
  ds->EnableControls();
  EXPECT_FALSE(ds->ControlsDisabled());
  ds->EnableControls();
  ds->DisableControls();
  EXPECT_TRUE(ds->ControlsDisabled());
}

TEST(DataSetFields, LookupIsCaseInsensitiveAndMissingNamesAreReported) {
  auto ds = MakeDataSet(1);
  EXPECT_EQ(ds->FieldCount(), 3);
  EXPECT_EQ(ds->FindField("sCoRe"), &ds->Fields(2));
  EXPECT_EQ(ds->FindField("Missing"), nullptr);
  try {
    ds->FieldByName("Missing");
    FAIL();
  } catch (const EDatabaseError& e) {
    const std::string msg = e.what();
    EXPECT_NE(msg.find("Missing"), std::string::npos) << msg;
    EXPECT_NE(msg.find("People"), std::string::npos) << msg;
  }
  EXPECT_THROW(ds->Fields(3), EDatabaseError);
  EXPECT_THROW(ds->Fields(-1), EDatabaseError);
  EXPECT_EQ(ds->GetFieldNames(), (std::vector<std::string>{"Id", "Name", "Score"}));
}

TEST(DataSetFields, DisplayPropertiesDefaultFromTypeAndSurviveReopening) {
  auto ds = MakeDataSet(1);
  TField& name = ds->FieldByName("Name");
  TField& score = ds->FieldByName("Score");
  EXPECT_EQ(name.DisplayLabel(), "Name");
  EXPECT_EQ(name.DisplayWidth(), 12);
  EXPECT_EQ(name.Alignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(score.Alignment(), TAlignment::taRightJustify);
  EXPECT_EQ(ds->FieldByName("Id").Alignment(), TAlignment::taRightJustify);

  name.SetDisplayLabel("Full name");
  name.SetVisible(false);
  score.SetAlignment(TAlignment::taCenter);
  ds->Close();
  ds->Open();
  EXPECT_EQ(&ds->FieldByName("Name"), &name);
  EXPECT_EQ(name.DisplayName(), "Full name");
  EXPECT_FALSE(name.Visible());
  EXPECT_EQ(score.Alignment(), TAlignment::taCenter);
}

TEST(DataSetFields, ValuesFollowTheCurrentRowAndConvert) {
  auto ds = MakeDataSet(2);
  TField& score = ds->FieldByName("Score");
  EXPECT_EQ(score.Value(), TVariant(1.5));
  EXPECT_EQ(score.AsString(), "1.5");
  EXPECT_EQ(score.AsInteger(), 2);  // rounds
  ds->Next();
  EXPECT_EQ(score.AsFloat(), 3.0);
  EXPECT_EQ(score.AsString(), "3");
  EXPECT_EQ(ds->FieldByName("Id").AsString(), "2");
  EXPECT_THROW(ds->FieldByName("Name").AsInteger(), EConvertError);
}

TEST(MemoryDataSet, EditsTheCurrentRowAndAppendingToAnEmptyOneMakesARowCurrent) {
  auto ds = MakeDataSet(2);
  ds->Next();
  ds->FieldByName("Score").SetValue(7);
  ds->FieldByName("Name").SetValue(TVariant());
  ds->FieldByName("Id").SetValue("42");
  EXPECT_EQ(ds->FieldByName("Score").Value(), TVariant(7.0));
  EXPECT_TRUE(ds->FieldByName("Name").IsNull());
  EXPECT_EQ(ds->FieldByName("Id").Value(), TVariant(int64_t(42)));
  EXPECT_THROW(ds->FieldByName("Id").SetValue("forty"), EDatabaseError);
  ds->First();
  EXPECT_EQ(ds->FieldByName("Score").AsFloat(), 1.5);  // other rows untouched
  // Appending to an open empty dataset makes a row current.
  ds = MakeDataSet(0);
  ds->AppendRecord({9, "late", 0.25});
  EXPECT_FALSE(ds->IsEmpty());
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->FieldByName("Name").AsString(), "late");
}

TEST(MemoryDataSet, ValuesOfEveryKindReadBackExactlyAfterEdits) {
  TMemoryDataSet ds;
  ds.AddField("Big", TFieldType::ftLargeint);
  ds.AddField("Ratio", TFieldType::ftFloat);
  ds.AddField("Flag", TFieldType::ftBoolean);
  ds.AddField("Text", TFieldType::ftString);
  ds.AddField("When", TFieldType::ftDateTime);
  const std::string longText = std::string("with\0nul", 8) + std::string(300, 'x');
  const std::vector<TVariant> second{INT64_MIN, 0.1, false, longText, TDateTime{-1.75}};
  ds.AppendRecord({1, 2.5, true, "short", TDateTime{45000.5}});
  ds.AppendRecord(second);
  ds.Open();
  const std::vector<TVariant> edited{INT64_MAX, -0.0, false, std::string("\0", 1), TDateTime{1e-9}};
  for (int i = 0; i < 5; ++i) ds.Fields(i).SetValue(edited[size_t(i)]);
  ds.FieldByName("Text").SetValue("");  // the same cell again
  ds.Last();
  ds.First();
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ds.Fields(i).Value(), i == 3 ? TVariant("") : edited[size_t(i)]) << ds.Fields(i).FieldName();
  EXPECT_TRUE(std::signbit(ds.FieldByName("Ratio").AsFloat()));
  ds.Next();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ds.Fields(i).Value(), second[size_t(i)]) << ds.Fields(i).FieldName();
}

TEST(MemoryDataSet, RejectsBadDefinitionsAndRecords) {
  TMemoryDataSet ds;
  EXPECT_THROW(ds.Open(), EDatabaseError);  // no fields
  EXPECT_FALSE(ds.Active());
  ds.AddField("When", TFieldType::ftDate);
  EXPECT_THROW(ds.AddField("when", TFieldType::ftString), EDatabaseError);
  EXPECT_THROW(ds.AppendRecord({1, 2}), EDatabaseError);
  EXPECT_THROW(ds.AppendRecord({"yesterday"}), EDatabaseError);
  ds.AppendRecord({"2000-01-01"});
  EXPECT_THROW(ds.AddField("Late", TFieldType::ftString), EDatabaseError);
  ds.Open();
  EXPECT_THROW(ds.AddField("Later", TFieldType::ftString), EDatabaseError);
  EXPECT_EQ(ds.FieldByName("When").AsDateTime().days, 36526.0);
}
