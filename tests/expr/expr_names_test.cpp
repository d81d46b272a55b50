// Resolution of names: dataset fields through the data manager interface,
// variables and system values through the variable callback.
#include <gtest/gtest.h>

#include <string>

#include "expr_fakes.h"

using namespace zd;
using namespace zd::test;

namespace {

struct TTwoDatasets : TFakeData {
  TFakeSource& orders = source("Orders", "Order list");
  TFakeSource& customers = source("Customers");
  TTwoDatasets() {
    orders.add("Amount", TFieldType::ftFloat, 12.5);
    orders.add("Customer Name", TFieldType::ftString, "Ann");
    customers.add("Name", TFieldType::ftString, "Bea");
    customers.add("Amount", TFieldType::ftFloat, 99.0);
  }
};

}  // namespace

TEST(ExprFieldReferences, SplitIntoDatasetAndFieldAndResolvedThroughTheDataManager) {
  EXPECT_EQ(SplitFieldReference("Amount").dataset, "");
  EXPECT_EQ(SplitFieldReference("Amount").field, "Amount");
  EXPECT_EQ(SplitFieldReference("Orders.Amount").dataset, "Orders");
  EXPECT_EQ(SplitFieldReference("Report.Orders.Amount").dataset, "Orders");
  EXPECT_EQ(SplitFieldReference("Report.Orders.Amount").field, "Amount");
  EXPECT_EQ(SplitFieldReference("a.b.c.d").dataset, "b");
  EXPECT_EQ(SplitFieldReference("a.b.c.d").field, "c.d");
  EXPECT_EQ(SplitFieldReference("D." + std::string(300, 'f')).field, std::string(255, 'f'));
  TTwoDatasets data;
  EXPECT_EQ(num("Amount", &data), 12.5);  // a plain name: the first dataset
  EXPECT_EQ(num("Customers.Amount", &data), 99);
  EXPECT_EQ(num("customers.AMOUNT", &data), 99);
  EXPECT_EQ(num("Report.Customers.Amount", &data), 99);
  EXPECT_EQ(num("[Order list.Amount]", &data), 12.5);  // by caption
  EXPECT_EQ(str("Customer Name", &data), "Ann");       // blanks need no brackets
  EXPECT_EQ(errorOf("Name", &data), "Field 'Name' not found");
  EXPECT_EQ(errorOf("Orders.Name", &data), "Field 'Orders.Name' not found");
  EXPECT_EQ(errorOf("Nowhere.Amount", &data), "Field 'Nowhere.Amount' not found");
  EXPECT_EQ(errorOf("Amount"), "Field 'Amount' not found");  // no data manager
  TFakeData empty;
  EXPECT_EQ(GetFieldByName(&empty, "Amount"), nullptr);
  EXPECT_EQ(GetFieldByName(nullptr, "Amount"), nullptr);
  EXPECT_EQ(GetFieldByName(&data, "Customers.Name"), data.customers.FindField("name"));
}

TEST(ExprVariables, CallbackArgumentsAndResultTypes) {
  int calls = 0;
  TGetVariableEvent vars = [&](TComponent* sender, const std::string& name, bool& accept,
                               TFieldType& type, TVariant& value) {
    ++calls;
    EXPECT_EQ(sender, nullptr);
    EXPECT_FALSE(accept);
    EXPECT_EQ(type, TFieldType::ftString);
    EXPECT_TRUE(value.isEmpty());
    if (name == "PageNo") { accept = true; type = TFieldType::ftInteger; value = 3; }
    if (name == "Big") { accept = true; type = TFieldType::ftSmallint; value = 40000; }
    if (name == "Memo") { accept = true; type = TFieldType::ftMemo; value = "m"; }
    if (name == "Huge") { accept = true; type = TFieldType::ftLargeint; value = 1; }
    if (name == "Blank") { accept = true; }
    if (name == "Declined") { type = TFieldType::ftInteger; value = 1; }
  };
  EXPECT_EQ(VarToFloat(eval("PageNo + 1", nullptr, vars)), 4);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(errorOf("Big", nullptr, vars), "Constant out of range");
  EXPECT_EQ(errorOf("Memo", nullptr, vars), "Constant is not correct type m");
  EXPECT_EQ(errorOf("Huge", nullptr, vars), "Constant is not correct type 1");
  EXPECT_TRUE(eval("Blank", nullptr, vars).isEmpty());
  EXPECT_EQ(errorOf("Declined", nullptr, vars), "Field 'Declined' not found");
  EXPECT_EQ(TExprParser(nullptr, "PageNo", vars).Root()->FDataType, ltInt32);
}

TEST(ExprVariables, FieldsComeFirstAndVariablesAreFixedWhenParsed) {
  TTwoDatasets data;
  int value = 1, calls = 0;
  TGetVariableEvent vars = [&](TComponent*, const std::string&, bool& accept, TFieldType& type,
                               TVariant& v) {
    ++calls;
    accept = true;
    type = TFieldType::ftInteger;
    v = value;
  };
  EXPECT_EQ(num("Amount", &data), 12.5);
  EXPECT_EQ(VarToFloat(eval("Amount", &data, vars)), 12.5);
  EXPECT_EQ(calls, 0);
  const TExprParser parser(&data, "Counter * 10", vars);
  value = 2;
  EXPECT_EQ(parser.Evaluate(), TVariant(10.0));
  EXPECT_EQ(calls, 1);
}

TEST(ExprVariables, VariablesReferringToEachOtherStopButLegitimateNestingIsAllowed) {
  // A resolver that computes each variable from an expression naming the other.
  TGetVariableEvent vars;
  vars = [&](TComponent*, const std::string& name, bool& accept, TFieldType& type, TVariant& value) {
    if (name != "A" && name != "B") return;
    accept = true;
    type = TFieldType::ftFloat;
    value = EvaluateValue(nullptr, name == "A" ? "B + 1" : "A + 1", vars);
  };
  const std::string message = errorOf("A", nullptr, vars);
  EXPECT_NE(message.find("refers back to itself"), std::string::npos) << message;
  // The guard is released again: an ordinary lookup still works.
  TGetVariableEvent plain = [](TComponent*, const std::string&, bool& accept, TFieldType& type,
                               TVariant& value) {
    accept = true;
    type = TFieldType::ftInteger;
    value = 5;
  };
  EXPECT_EQ(VarToFloat(eval("X", nullptr, plain)), 5);
  TGetVariableEvent nested;
  nested = [&](TComponent*, const std::string& name, bool& accept, TFieldType& type, TVariant& value) {
    accept = true;
    type = TFieldType::ftFloat;
    const int level = std::stoi(name.substr(1));
    value = level == 0 ? TVariant(1.0) : EvaluateValue(nullptr, "V" + std::to_string(level - 1) + " + 1", nested);
  };
  EXPECT_EQ(VarToFloat(eval("V10", nullptr, nested)), 11);
}

TEST(ExprValueIsField, LastCreatedNodeDecides) {
  TTwoDatasets data;
  TGetVariableEvent vars = [](TComponent*, const std::string& name, bool& accept, TFieldType& type,
                              TVariant& value) {
    if (name == "PageNo") { accept = true; type = TFieldType::ftInteger; value = 1; }
  };
  EXPECT_TRUE(ValueIsField(&data, "[Amount]"));
  EXPECT_TRUE(ValueIsField(&data, "([Amount])"));
  EXPECT_TRUE(ValueIsField(&data, "Customers.Name"));
  EXPECT_FALSE(ValueIsField(&data, "[Amount] * 2"));
  EXPECT_TRUE(ValueIsField(&data, "UPPER([Customer Name])"));
  EXPECT_TRUE(ValueIsField(&data, "IIF(1 = 1, 'a', [Customer Name])"));
  EXPECT_FALSE(ValueIsField(&data, "UPPER('a')"));
  EXPECT_FALSE(ValueIsField(&data, ""));
  EXPECT_FALSE(ValueIsField(&data, "PageNo", vars));
  EXPECT_THROW(ValueIsField(&data, "[Nope]"), EExprError);
}
