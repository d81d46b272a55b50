// The collections' own rules (when calculations take values and reset,
// variable change, parameters answered from NAME=VALUE texts) and the
// report's expression evaluator: fields read fresh from
// reused trees, variables and system values current at every evaluation.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "expr/ExprErrors.h"
#include "expr/ExprValue.h"
#include "host/data/MemoryDataSet.h"
#include "report/model/ExprAdapter.h"
#include "report/model/ZdReport.h"

using namespace zd;

namespace {

// ---- calculations and variables ----

TEST(Calculation, TakesValuesOnRowsGroupsOrVariableChanges) {
  TZdqCalculation calc;
  EXPECT_TRUE(calc.StateChanged("", ""));
  EXPECT_FALSE(calc.StateChanged("Country", ""));
  EXPECT_FALSE(calc.StateChanged("", "Total"));

  calc.SetCalculate(TZdqCalculate::rcGroupChange);
  // Without a group named, row updates (two empty names) refresh it.
  EXPECT_TRUE(calc.StateChanged("", ""));
  calc.SetGroupChange("Orders.Country");
  EXPECT_TRUE(calc.StateChanged("orders.country", ""));
  EXPECT_FALSE(calc.StateChanged("", ""));

  calc.SetCalculate(TZdqCalculate::rcVariableChange);
  calc.SetVariableChange("Total");
  EXPECT_TRUE(calc.StateChanged("", "TOTAL"));
  EXPECT_FALSE(calc.StateChanged("Orders.Country", ""));
}

TEST(Calculation, EndsWithTheReportAlwaysAndOtherwiseOnlyOnItsOwnReset) {
  TZdqCalculation calc;
  calc.SetResetType(TResetType::rtEndGroup);
  calc.SetResetGroup("Country");
  EXPECT_TRUE(calc.EndsWith(TResetType::rtEndReport, ""));
  EXPECT_TRUE(calc.EndsWith(TResetType::rtEndGroup, "Country"));
  EXPECT_FALSE(calc.EndsWith(TResetType::rtEndGroup, "country")) << "group names of resets compare exactly";
  EXPECT_FALSE(calc.EndsWith(TResetType::rtEndPage, ""));
  calc.SetResetType(TResetType::rtEndPage);
  calc.SetResetGroup("");
  EXPECT_TRUE(calc.EndsWith(TResetType::rtEndPage, ""));
}

TEST(Variable, ChangesWhenEitherValueIsEmptyOrTheyDiffer) {
  TZdqVariable v;
  EXPECT_FALSE(v.ValueChanged()) << "two Nulls are equal, and Null is not Empty";
  v.SetPrevValue(TVariant("5"));
  v.SetCurValue(TVariant("5"));
  EXPECT_FALSE(v.ValueChanged());
  v.SetCurValue(TVariant::empty());
  EXPECT_TRUE(v.ValueChanged());
  v.SetCurValue(TVariant("6"));
  EXPECT_TRUE(v.ValueChanged());
}

// ---- parameters without a dialog ----

class ParameterAnswers : public ::testing::Test {
 protected:
  ParameterAnswers() {
    city = report.Parameters().Add();
    city->SetName("City");
    city->SetDisplayLabel("Home town");
    city->SetValue(TVariant("Oslo"));
    size = report.Parameters().Add();
    size->SetName("Size");
    size->SetParameterEditor(TZdqParameterEditor::peCombobox);
    size->ParamPromptValues().Add("S");
    size->ParamPromptValues().Add("M");
    flag = report.Parameters().Add();
    flag->SetName("Flag");
    flag->SetParameterEditor(TZdqParameterEditor::peCheckBox);
  }
  bool Answer(const std::vector<std::string>& texts, const std::vector<TZdqParameter*>& asked) {
    return TZdqParameterAnswers(texts)(report, asked);
  }

  TComponent form;
  TZdReport report{&form};
  TZdqParameter *city, *size, *flag;
};

TEST_F(ParameterAnswers, WriteTheAskedParametersAsTheirEditorsWould) {
  EXPECT_TRUE(Answer({"home TOWN = Bergen", "size=M", "Flag=False", "City=Molde"}, {city, size, flag}));
  EXPECT_EQ(city->Value(), TVariant("Molde")) << "the last answer wins";
  EXPECT_EQ(size->Value(), TVariant("M"));
  EXPECT_EQ(flag->Value(), TVariant(false));
  // The value is everything after the first "=", blanks included.
  EXPECT_TRUE(Answer({"City= a=b "}, {city}));
  EXPECT_EQ(city->Value(), TVariant(" a=b "));
}

TEST_F(ParameterAnswers, LeaveParametersThatAreNotAskedOrNotAnswered) {
  EXPECT_TRUE(Answer({"Size=S"}, {city, flag}));
  EXPECT_EQ(size->Value(), TVariant());
  EXPECT_EQ(city->Value(), TVariant("Oslo"));
  EXPECT_TRUE(flag->Value().isNull());
}

TEST_F(ParameterAnswers, RefuseMalformedUnknownOrUnfitAnswersWithoutWritingAny) {
  EXPECT_THROW(TZdqParameterAnswers({"City"}), std::invalid_argument);
  EXPECT_THROW(TZdqParameterAnswers({" =x"}), std::invalid_argument);
  EXPECT_THROW(Answer({"Town=Bergen"}, {city}), std::invalid_argument);
  EXPECT_THROW(Answer({"City=Bergen", "Size=XL"}, {city, size}), std::invalid_argument);
  EXPECT_THROW(Answer({"City=Bergen", "Flag=maybe"}, {city, flag}), std::invalid_argument);
  EXPECT_EQ(city->Value(), TVariant("Oslo"));
}

// ---- the evaluator ----

class Evaluator : public ::testing::Test {
 protected:
  Evaluator() {
    rows = new TMemoryDataSet(&form);
    rows->SetName("Orders");
    rows->AddField("Amount", TFieldType::ftFloat);
    rows->AddField("Name", TFieldType::ftString, 10);
    rows->AppendRecord({TVariant(2.5), TVariant("a")});
    rows->AppendRecord({TVariant(4.0), TVariant("b")});
    rows->Open();
    report = new TZdReport(&form);
    report->SetDataSet(rows);
  }
  std::string Text(const std::string& expression) { return VarToStr(report->Evaluate(expression)); }

  TComponent form;
  TMemoryDataSet* rows = nullptr;
  TZdReport* report = nullptr;
};

TEST_F(Evaluator, ReadsFieldsFreshFromATreeParsedOnce) {
  EXPECT_EQ(Text("[Amount] * 2"), "5");
  EXPECT_EQ(Text("Orders.Name + Report.Orders.Name"), "aa");
  rows->Next();
  EXPECT_EQ(Text("[Amount] * 2"), "8");
  EXPECT_EQ(Text("Orders.Name + Report.Orders.Name"), "bb");
  EXPECT_TRUE(report->Evaluate("  ").isEmpty());
}

TEST_F(Evaluator, SeesParametersVariablesAndSystemValuesAsTheyAreNow) {
  TZdqParameter* rate = report->Parameters().Add();
  rate->SetName("Rate");
  rate->SetValue(TVariant(int64_t(3)));
  TZdqVariable& note = *report->Variables().Add();
  note.SetName("Note");
  note.SetCurValue(TVariant("first"));
  EXPECT_EQ(Text("[Amount] * Rate"), "7.5");
  EXPECT_EQ(Text("Note + '!'"), "first!");
  report->Producer().SetCurrentPage(0, 0);
  EXPECT_EQ(Text("PageNo + 0"), "1");

  rate->SetValue(TVariant(int64_t(10)));
  report->Variables()[0]->SetCurValue(TVariant("second"));
  report->Producer().SetCurrentPage(4, 0);
  EXPECT_EQ(Text("[Amount] * Rate"), "25");
  EXPECT_EQ(Text("Note + '!'"), "second!");
  EXPECT_EQ(Text("PageNo + 0"), "5");
}

TEST_F(Evaluator, FollowsTheReportToAnotherDataManager) {
  EXPECT_EQ(Text("Name"), "a");
  TMemoryDataSet other(&form);
  other.SetName("Other");
  other.AddField("Name", TFieldType::ftString, 10);
  other.AppendRecord({TVariant("z")});
  other.Open();
  TZdqDataManager manager(&form);
  manager.AddDataset(&other);
  report->SetDataManager(&manager);
  EXPECT_EQ(Text("Name"), "z");
  EXPECT_THROW(Text("Amount"), EExprError);
}

TEST_F(Evaluator, StopsLookupsThatKeepEvaluatingThemselves) {
  report->OnGetVariable = [this](TComponent*, const std::string& name, bool& accept, TFieldType&, TVariant& value) {
    if (name != "Loop") return;
    accept = true;
    value = report->Evaluate("Loop");
  };
  try {
    report->Evaluate("Loop");
    FAIL() << "no error";
  } catch (const EExprError& e) {
    EXPECT_NE(std::string(e.what()).find("refers back to itself"), std::string::npos) << e.what();
  }
  // The report evaluates normally afterwards.
  EXPECT_EQ(Text("Name"), "a");
}

TEST(ExprDataManager, OffersTheManagersDatasetsByNameAndCaption) {
  TComponent form;
  TMemoryDataSet orders(&form);
  orders.SetName("Orders");
  orders.AddField("Qty", TFieldType::ftInteger);
  orders.AppendRecord({TVariant(int64_t(7))});
  orders.Open();
  TZdqDataManager manager(&form);
  manager.Datasets().Add();  // an item without a dataset
  manager.AddDataset(&orders)->SetCaption("Lines");

  TZdqExprDataManager data;
  EXPECT_TRUE(data.Bind(&manager));
  EXPECT_FALSE(data.Bind(&manager)) << "the same items bind once";
  ASSERT_EQ(data.DataSourceCount(), 2);
  EXPECT_EQ(data.DataSource(0), nullptr);
  EXPECT_EQ(data.DataSource(2), nullptr);
  const TExprField* byCaption = GetFieldByName(&data, "lines.QTY");
  ASSERT_NE(byCaption, nullptr);
  EXPECT_EQ(byCaption, GetFieldByName(&data, "Orders.Qty"));
  EXPECT_EQ(byCaption->DataType(), TFieldType::ftInteger);
  EXPECT_EQ(byCaption->Value(), TVariant(int64_t(7)));
  // A name without a dataset looks in the first item, which has none.
  EXPECT_EQ(GetFieldByName(&data, "Qty"), nullptr);

  manager.Datasets()[1]->SetCaption("Renamed");
  EXPECT_TRUE(data.Bind(&manager));
  EXPECT_EQ(GetFieldByName(&data, "Lines.Qty"), nullptr);
  EXPECT_TRUE(data.Bind(nullptr));
  EXPECT_EQ(data.DataSourceCount(), 0);
}

}  // namespace
