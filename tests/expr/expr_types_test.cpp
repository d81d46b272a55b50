// Logical types of nodes, the type rules of comparisons, arithmetic and
// calls, and the validation pass with its fixed messages.
#include <gtest/gtest.h>

#include "expr_fakes.h"

using namespace zd;
using namespace zd::test;

namespace {

struct TTypedData : TFakeData {
  TTypedData() {
    add("Memo", TFieldType::ftMemo, "long text");
    add("Raw", TFieldType::ftBytes, "xx");
    add("Name", TFieldType::ftString, "Bob");
    add("Born", TFieldType::ftDate, TVariant(TDateTime{StrToDate("5/6/1990")}));
    add("At", TFieldType::ftTime, TVariant(TDateTime{0.5}));
    add("Qty", TFieldType::ftInteger, 3);
    add("Small", TFieldType::ftSmallint, 5);
    add("Word", TFieldType::ftWord, 5);
    add("Big", TFieldType::ftLargeint, 5);
    add("Flag", TFieldType::ftBoolean, true);
  }
};

int32_t rootType(const std::string& text, const TExprDataManager* data = nullptr) {
  return TExprParser(data, text).Root()->FDataType;
}

}  // namespace

TEST(ExprTypes, FieldTypeMappingAndNodeTypesOfLiteralsOperatorsAndFields) {
  EXPECT_EQ(FldTypeCode(TFieldType::ftUnknown), ltUnknown);
  EXPECT_EQ(FldTypeCode(TFieldType::ftFixedChar), ltString);
  EXPECT_EQ(FldTypeCode(TFieldType::ftSmallint), ltInt16);
  EXPECT_EQ(FldTypeCode(TFieldType::ftAutoInc), ltInt32);
  EXPECT_EQ(FldTypeCode(TFieldType::ftWord), ltUInt16);
  EXPECT_EQ(FldTypeCode(TFieldType::ftCurrency), ltFloat);
  EXPECT_EQ(FldTypeCode(TFieldType::ftBCD), ltBCD);
  EXPECT_EQ(FldTypeCode(TFieldType::ftGraphic), ltBlob);
  EXPECT_EQ(FldTypeCode(TFieldType::ftVarBytes), 15);
  EXPECT_EQ(FldTypeCode(TFieldType::ftLargeint), 18);
  // Ordinals beyond the data layer's enumeration: ftLongWord, ftExtended, ftSingle.
  EXPECT_EQ(FldTypeMap[42], ltInt32);
  EXPECT_EQ(FldTypeMap[45], ltFloat);
  EXPECT_EQ(FldTypeMap[51], 27);
  EXPECT_TRUE(IsNumeric(ltInt16) && IsNumeric(ltBCD));
  EXPECT_FALSE(IsNumeric(ltBoolean) || IsNumeric(ltBytes) || IsNumeric(ltUInt16));
  EXPECT_TRUE(IsTemporal(ltDate) && IsTemporal(ltTime) && IsTemporal(ltDateTime));
  EXPECT_FALSE(IsTemporal(ltBlob));
  TTypedData data;
  EXPECT_EQ(rootType("'a'"), ltString);
  EXPECT_EQ(rootType("1"), ltFloat);
  EXPECT_EQ(rootType("TRUE"), ltBoolean);
  EXPECT_EQ(rootType("[Small]", &data), ltInt16);
  EXPECT_EQ(rootType("1 + 2"), ltFloat);
  EXPECT_EQ(rootType("[Qty] * [Small]", &data), ltFloat);
  EXPECT_EQ(rootType("'a' + 'b'"), ltString);
  EXPECT_EQ(rootType("[Born] + 1", &data), ltDateTime);
  EXPECT_EQ(rootType("[Born] - 1", &data), ltDate);
  EXPECT_EQ(rootType("[At] - 1", &data), ltTime);
  EXPECT_EQ(rootType("[Born] - [Born]", &data), ltFloat);
  EXPECT_EQ(rootType("'1/1/2000' - [Born]", &data), ltFloat);
  EXPECT_EQ(rootType("1 < 2"), ltBoolean);
  EXPECT_EQ(rootType("[Name] IS NULL", &data), ltBoolean);
  EXPECT_EQ(rootType("(1 = 1) AND (2 = 2)"), ltUnknown);
  EXPECT_EQ(rootType("NOT (1 = 1)"), ltUnknown);
}

TEST(ExprTypes, FunctionResultTypes) {
  TTypedData data;
  EXPECT_EQ(rootType("SUM(1, 2)"), ltFloat);
  EXPECT_EQ(rootType("MAX([Name], 'a')", &data), ltString);
  EXPECT_EQ(rootType("MIN([Small], 1)", &data), ltInt16);
  EXPECT_EQ(rootType("IIF(1 = 1, [Born], 0)", &data), ltDate);
  EXPECT_EQ(rootType("COUNT(1)"), ltInt32);
  EXPECT_EQ(rootType("COUNT(*)"), ltInt32);
  EXPECT_EQ(rootType("INT(1.5)"), ltInt32);
  EXPECT_EQ(rootType("GETDATE()"), ltDateTime);
  EXPECT_EQ(rootType("DATE(1)"), ltDate);
  EXPECT_EQ(rootType("STRTODATE('1/1/2000')"), ltDate);
  EXPECT_EQ(rootType("TIME(1)"), ltTime);
  EXPECT_EQ(rootType("CHR(65)"), ltString);
  EXPECT_EQ(rootType("ORD('a')"), ltFloat);
  EXPECT_EQ(rootType("RANDOM(5)"), ltFloat);
  EXPECT_EQ(errorOf("SUM()"), "Type mismatch in expression");
  EXPECT_EQ(errorOf("IIF()"), "Type mismatch in expression");
}

TEST(ExprTypes, ComparisonsRefuseBinaryOperandsAndArithmeticRules) {
  TTypedData data;
  EXPECT_EQ(errorOf("[Name] * 2", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Name] + 1", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("1 + 'a'"), "Type mismatch in expression");
  EXPECT_EQ(errorOf("'a' - 'b'"), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Born] * 2", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("1 - [Born]", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Flag] + 1", &data), "Type mismatch in expression");
  // A string constant before a number is taken as a date-time and must read as one.
  EXPECT_EQ(errorOf("'x' + 1"), "'x' is not a valid date and time");
  EXPECT_EQ(errorOf("'x' * 1"), "'x' is not a valid date and time");
  EXPECT_EQ(TExprParser(nullptr, "'1/1/2000' + 1").Root()->FLeft->FDataType, ltDateTime);
  EXPECT_EQ(str("'a' + [Name]", &data), "aBob");
  EXPECT_EQ(errorOf("[Memo] = 'a'", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("'a' = [Memo]", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Raw] > 1", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Raw] LIKE 'x'", &data), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Memo] IS NULL", &data), "<no error>");
  EXPECT_EQ(errorOf("[Memo] LIKE 'long%'", &data), "<no error>");
  // Syntax errors are database errors; evaluation errors keep their own classes.
  EXPECT_THROW(eval("1 +"), EDatabaseError);
  EXPECT_THROW(eval("[Nope]"), EDatabaseError);
  EXPECT_THROW(eval("1 / 0"), EMathError);
  EXPECT_THROW(eval("2-1"), EConvertError);
}

TEST(ExprTypes, ConstantsTakeTheTypeOfTheFieldTheyMeet) {
  TTypedData data;
  EXPECT_EQ(eval("[Born] = '5/6/1990'", &data), TVariant(true));
  EXPECT_EQ(eval("'1/1/2000' > [Born]", &data), TVariant(true));
  EXPECT_EQ(errorOf("[Born] = '5/66/1990'", &data), "'5/66/1990' is not a valid date");
  EXPECT_EQ(errorOf("[At] = 'noon'", &data), "'noon' is not a valid time");
  EXPECT_EQ(errorOf("[Qty] = 'abc'", &data), "'abc' is not a valid floating point value");
  EXPECT_THROW(eval("[Flag] = 'maybe'", &data), EConvertError);
  EXPECT_EQ(eval("[Flag] = 'true'", &data), TVariant(true));
  // Every element of an IN list takes a temporal tested value's type.
  EXPECT_EQ(errorOf("[Born] IN ('5/6/1990', 'soon')", &data), "'soon' is not a valid date");
  EXPECT_EQ(errorOf("[Qty] IN ('abc')", &data), "<no error>");
}

TEST(ExprValidation, ConstantRanges) {
  TTypedData data;
  EXPECT_EQ(errorOf("[Small] = 40000", &data), "Constant out of range");
  EXPECT_EQ(errorOf("[Small] = -32768", &data), "<no error>");
  EXPECT_EQ(errorOf("[Word] = 70000", &data), "Constant out of range");
  EXPECT_EQ(errorOf("[Word] = -1", &data), "Constant out of range");
  EXPECT_EQ(errorOf("[Word] = 65535", &data), "<no error>");
  EXPECT_EQ(errorOf("[Big] = 5", &data), "Constant is not correct type 5");
}

TEST(ExprValidation, NullConstantPlacement) {
  TFakeData data;
  data.add("A", TFieldType::ftInteger, TVariant());
  EXPECT_EQ(eval("[A] = NULL", &data), TVariant(true));
  EXPECT_EQ(eval("NULL <> [A]", &data), TVariant(false));
  EXPECT_EQ(errorOf("[A] > NULL", &data), "Constant is not correct type ");
  EXPECT_EQ(errorOf("1 = NULL", &data), "Constant is not correct type ");
  EXPECT_EQ(errorOf("IIF([A] > 0, NULL, 1)", &data), "Constant is not correct type ");
  EXPECT_EQ(errorOf("[A] LIKE (NULL)", &data), "NULL only allowed with '=' and '<>'");
  // Unbracketed, "LIKE NULL" is one identifier.
  EXPECT_EQ(errorOf("[A] LIKE NULL", &data), "Expression incorrectly terminated");
}

TEST(ExprValidation, OnlyDataFieldsMayBeUsed) {
  TFakeData data;
  data.add("Calc", TFieldType::ftInteger, 1).kind = TFieldKind::fkCalculated;
  data.add("Look", TFieldType::ftInteger, 1).kind = TFieldKind::fkLookup;
  data.add("Agg", TFieldType::ftInteger, 1).kind = TFieldKind::fkAggregate;
  data.add("Internal", TFieldType::ftInteger, 2).kind = TFieldKind::fkInternalCalc;
  EXPECT_EQ(errorOf("[Calc] + 1", &data), "Field 'Calc' cannot be used in an expression");
  EXPECT_EQ(errorOf("UPPER(Look)", &data), "Field 'Look' cannot be used in an expression");
  EXPECT_EQ(errorOf("1 IN ([Agg])", &data), "Field 'Agg' cannot be used in an expression");
  EXPECT_EQ(num("[Internal] + 1", &data), 3);
}

