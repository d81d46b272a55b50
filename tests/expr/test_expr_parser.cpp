#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "expr/ExprParser.h"

using namespace zd;

namespace {

struct TFakeField : TExprField {
  TExprFieldType type = TExprFieldType::ftString;
  TExprFieldKind kind = TExprFieldKind::fkData;
  TVariant value;
  mutable int reads = 0;
  TExprFieldType DataType() const override { return type; }
  TExprFieldKind FieldKind() const override { return kind; }
  TVariant Value() const override { ++reads; return value; }
};

struct TFakeEnv : TExprEnvironment {
  std::map<std::string, TFakeField> fields;
  TFakeField& add(const std::string& name, TExprFieldType t, TVariant v) {
    auto& f = fields[name];
    f.type = t;
    f.value = std::move(v);
    return f;
  }
  const TExprField* FindField(const std::string& ref) const override {
    TFieldReference r = SplitFieldReference(ref);
    auto it = fields.find(r.dataset.empty() ? r.field : r.dataset + "." + r.field);
    return it == fields.end() ? nullptr : &it->second;
  }
};

std::string errorOf(const std::string& text, const TExprEnvironment* env = nullptr,
                    TGetVariableEvent ev = {}) {
  try {
    EvaluateValue(env, text, ev);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "<no error>";
}

TVariant eval(const std::string& text, const TExprEnvironment* env = nullptr, TGetVariableEvent ev = {}) {
  return EvaluateValue(env, text, std::move(ev));
}

double num(const std::string& text, const TExprEnvironment* env = nullptr) {
  return VarToFloat(eval(text, env));
}

std::string str(const std::string& text, const TExprEnvironment* env = nullptr) {
  return VarToStr(eval(text, env));
}

}  // namespace

TEST(ExprGrammar, PrecedenceAndAssociativity) {
  EXPECT_EQ(num("2 + 3 * 4"), 14);
  EXPECT_EQ(num("(2 + 3) * 4"), 20);
  EXPECT_EQ(num("10 - 4 - 3"), 3);
  EXPECT_EQ(num("64 / 4 / 2"), 8);
  EXPECT_EQ(eval("1 + 1 = 2"), TVariant(true));
  EXPECT_EQ(eval("(1 = 1) OR (1 = 2)"), TVariant(true));
  EXPECT_EQ(eval("(1 = 1) AND (1 = 2)"), TVariant(false));
  EXPECT_EQ(eval("NOT (1 > 2)"), TVariant(true));
  // AND binds tighter than OR.
  EXPECT_EQ(eval("(1 = 1) OR (1 = 2) AND (1 = 2)"), TVariant(true));
  EXPECT_EQ(eval("'ab' + 'cd'"), TVariant("abcd"));
  EXPECT_EQ(num("/* note */ 1"), 1);
  EXPECT_EQ(str("'It''s'"), "It's");
  EXPECT_EQ(eval("TRUE"), TVariant(1));
  EXPECT_EQ(eval("false"), TVariant(0));
  // NULL is accepted only in a comparison of a field with = or <>.
  EXPECT_EQ(errorOf("NULL"), "Constant is not correct type ");
}

TEST(ExprGrammar, ScannerQuirks) {
  EXPECT_EQ(errorOf("2-1"), "'2-1' is not a valid floating point value");
  EXPECT_EQ(num("2 - 1"), 1);
  EXPECT_EQ(num("-2 * 3"), -6);
  EXPECT_EQ(num("1.5"), 1.5);
  EXPECT_EQ(num("1e3"), 1000);
  EXPECT_EQ(errorOf("1 < 2 < 3"), "Expression incorrectly terminated");
  EXPECT_EQ(errorOf("/* a*b */ 1"), "Invalid expression character: '*'");
  EXPECT_EQ(errorOf("1 # 2"), "Invalid expression character: '#'");
  EXPECT_EQ(errorOf("[abc"), "Unterminated field name");
  EXPECT_EQ(errorOf("'abc"), "Unterminated string constant");
  std::string longText(600, 'x');
  EXPECT_EQ(str("'" + longText + "'"), std::string(512, 'x'));
}

TEST(ExprGrammar, LocaleDoesNotChangeLiterals) {
  TLocale saved = currentLocale();
  TLocale comma = saved;
  comma.decimalSeparator = ',';
  setCurrentLocale(comma);
  double v = num("1.5");
  std::string text = str("FLOATTOSTR(2.5)");
  setCurrentLocale(saved);
  EXPECT_EQ(v, 1.5);
  EXPECT_EQ(text, "2,5");
}

TEST(ExprGrammar, SyntaxErrorMessages) {
  EXPECT_EQ(errorOf(""), "Expression expected but nothing found");
  TFakeEnv env;
  env.add("x", TExprFieldType::ftInteger, 1);
  EXPECT_EQ(errorOf(" "), "Expression expected but nothing found");
  EXPECT_EQ(errorOf("(1 + 2"), "')' expected but nothing found");
  EXPECT_EQ(errorOf("1 +"), "Expression expected but nothing found");
  EXPECT_EQ(errorOf("* 2"), "Expression expected but '*' found");
  EXPECT_EQ(errorOf("UPPER('a' 'b')"), "')' or ',' expected but ''b'' found");
  EXPECT_EQ(errorOf("[x] IN ()", &env), "IN predicate list may not be empty");
  EXPECT_EQ(errorOf("[x] IN 'a'", &env), "'(' expected but ''a'' found");
  EXPECT_EQ(errorOf("[x] IN (1 'b')", &env), "')' or ',' expected but ''b'' found");
  // A digit after a literal is taken as a minus sign.
  EXPECT_EQ(errorOf("[x] IN (1 2)", &env), "Expression expected but ')' found");
  // Keywords glued to the following identifier characters are part of a name.
  EXPECT_EQ(errorOf("[x] IN 1", &env), "Expression incorrectly terminated");
  EXPECT_EQ(errorOf("x IN (1)"), "Field 'x IN' not found");
  EXPECT_EQ(errorOf("Upper()"), "Type mismatch in expression");
  EXPECT_TRUE(eval("[x] IN (1, 2)", &env).isNull());
  EXPECT_TRUE(eval("count(*)").isNull());
  EXPECT_EQ(eval("GetDate()").kind(), TVarKind::DateTime);
}

TEST(ExprGrammar, DeepNestingIsAnErrorNotACrash) {
  std::string deep(100000, '(');
  EXPECT_EQ(errorOf(deep + "1"), "Expression is too deeply nested");
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += " + 1";
  EXPECT_EQ(errorOf(chain), "Expression is too deeply nested");
  std::string ok = "1";
  for (int i = 0; i < 100; ++i) ok += " + 1";
  EXPECT_EQ(num(ok), 101);
}

TEST(ExprNames, FieldsAndVariables) {
  TFakeEnv env;
  env.add("Customer Name", TExprFieldType::ftString, "Ann");
  env.add("Orders.Amount", TExprFieldType::ftFloat, 12.5);
  env.add("A", TExprFieldType::ftInteger, TVariant());
  env.add("S", TExprFieldType::ftString, "");
  EXPECT_EQ(str("Customer Name", &env), "Ann");
  EXPECT_EQ(num("Orders.Amount * 2", &env), 25);
  EXPECT_EQ(num("Report.Orders.Amount", &env), 12.5);
  EXPECT_EQ(eval("[A] IS NULL", &env), TVariant(true));
  EXPECT_EQ(eval("[S] IS NULL", &env), TVariant(false));
  EXPECT_EQ(eval("[S] IS NOT NULL", &env), TVariant(true));
  EXPECT_EQ(errorOf("A OR B", &env), "Field 'A OR B' not found");
  EXPECT_EQ(errorOf("Foo(1)"), "Field 'Foo' not found");
  env.add("Foo", TExprFieldType::ftInteger, 1);
  EXPECT_EQ(errorOf("Foo(1)", &env), "Expression incorrectly terminated");

  int calls = 0;
  TGetVariableEvent vars = [&](void* sender, const std::string& name, bool& accept, TExprFieldType& type,
                               TVariant& value) {
    ++calls;
    EXPECT_EQ(sender, nullptr);
    EXPECT_FALSE(accept);
    EXPECT_EQ(type, TExprFieldType::ftString);
    EXPECT_TRUE(value.isEmpty());
    if (name == "PageNo") { accept = true; type = TExprFieldType::ftInteger; value = 3; }
    if (name == "Big") { accept = true; type = TExprFieldType::ftSmallint; value = 40000; }
    if (name == "Memo") { accept = true; type = TExprFieldType::ftMemo; value = "m"; }
  };
  EXPECT_EQ(VarToFloat(eval("PageNo + 1", &env, vars)), 4);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(errorOf("Big", &env, vars), "Constant out of range");
  EXPECT_EQ(errorOf("Memo", &env, vars), "Constant is not correct type m");
  EXPECT_EQ(errorOf("Nope", &env, vars), "Field 'Nope' not found");
  EXPECT_FALSE(ValueIsField(&env, "PageNo", vars));
}

TEST(ExprNames, FunctionNamesWithoutParenthesesAreNames) {
  TFakeEnv env;
  env.add("Date", TExprFieldType::ftInteger, 41);
  env.add("x", TExprFieldType::ftInteger, 1);
  EXPECT_EQ(num("Date + 1", &env), 42);
  EXPECT_EQ(num("DATE(2.75)", &env), 2);
  // Messages quote the raw token text, brackets included.
  EXPECT_EQ(errorOf("(1 [x]", &env), "')' expected but '[x]' found");
  EXPECT_EQ(errorOf("\xD0\x96"), "Field '\xD0\x96' not found");
}

TEST(ExprNames, ValueIsField) {
  TFakeEnv env;
  env.add("Amount", TExprFieldType::ftFloat, 1.0);
  env.add("Name", TExprFieldType::ftString, "n");
  EXPECT_TRUE(ValueIsField(&env, "[Amount]"));
  EXPECT_TRUE(ValueIsField(&env, "([Amount])"));
  EXPECT_FALSE(ValueIsField(&env, "[Amount] * 2"));
  EXPECT_TRUE(ValueIsField(&env, "UPPER([Name])"));
  EXPECT_FALSE(ValueIsField(&env, ""));
}

TEST(ExprTypes, ComparisonAndArithmeticRules) {
  TFakeEnv env;
  env.add("Memo", TExprFieldType::ftMemo, "long text");
  env.add("Raw", TExprFieldType::ftBytes, "xx");
  env.add("Name", TExprFieldType::ftString, "Bob");
  env.add("Born", TExprFieldType::ftDate, TVariant(TDateTime{StrToDate("5/6/1990")}));
  env.add("Small", TExprFieldType::ftWord, 5);
  env.add("Big", TExprFieldType::ftLargeint, 5);
  env.add("Calc", TExprFieldType::ftInteger, 1).kind = TExprFieldKind::fkCalculated;
  env.add("Internal", TExprFieldType::ftInteger, 2).kind = TExprFieldKind::fkInternalCalc;
  EXPECT_EQ(errorOf("[Memo] = 'a'", &env), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Raw] > 1", &env), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Memo] IS NULL", &env), "<no error>");
  EXPECT_TRUE(eval("[Memo] LIKE 'long%'", &env).isNull());
  EXPECT_EQ(errorOf("[Name] * 2", &env), "Type mismatch in expression");
  EXPECT_EQ(errorOf("1 + 'a'", &env), "Type mismatch in expression");
  EXPECT_EQ(errorOf("[Name] - 'a'", &env), "Type mismatch in expression");
  EXPECT_EQ(errorOf("'x' + 1", &env), "'x' is not a valid date and time");
  EXPECT_EQ(errorOf("'x' * 1", &env), "'x' is not a valid date and time");
  EXPECT_EQ(eval("[Born] = '5/6/1990'", &env), TVariant(true));
  EXPECT_EQ(errorOf("[Born] = '5/66/1990'", &env), "'5/66/1990' is not a valid date");
  EXPECT_EQ(eval("[Born] < '1/1/2000'", &env), TVariant(true));
  EXPECT_EQ(num("'1/1/2000' - [Born]", &env), StrToDate("1/1/2000") - StrToDate("5/6/1990"));
  EXPECT_EQ(eval("[Born] + 1", &env), TVariant(TDateTime{StrToDate("5/7/1990")}));
  EXPECT_EQ(errorOf("[Small] = 70000", &env), "Constant out of range");
  EXPECT_EQ(errorOf("[Big] = 5", &env), "Constant is not correct type 5");
  EXPECT_EQ(errorOf("[Calc] + 1", &env), "Field 'Calc' cannot be used in an expression");
  EXPECT_EQ(num("[Internal] + 1", &env), 3);
}

TEST(ExprTypes, NullConstantPlacement) {
  TFakeEnv env;
  env.add("A", TExprFieldType::ftInteger, TVariant());
  EXPECT_EQ(eval("[A] = NULL", &env), TVariant(true));
  EXPECT_EQ(eval("NULL <> [A]", &env), TVariant(false));
  EXPECT_EQ(errorOf("[A] > NULL", &env), "Constant is not correct type ");
  EXPECT_EQ(errorOf("IIF([A] > 0, NULL, 1)", &env), "Constant is not correct type ");
  EXPECT_EQ(errorOf("[A] LIKE (NULL)", &env), "NULL only allowed with '=' and '<>'");
}

TEST(ExprEval, NullsAndTruthValues) {
  TFakeEnv env;
  env.add("N", TExprFieldType::ftFloat, TVariant());
  EXPECT_TRUE(eval("[N] + 1", &env).isNull());
  EXPECT_EQ(eval("[N] < 1", &env), TVariant(true));
  EXPECT_THROW(eval("NOT ([N])", &env), EConvertError);
  EXPECT_EQ(errorOf("NOT [N]", &env), "Field 'NOT [N]' not found");
  EXPECT_THROW(eval("IIF([N], 1, 2)", &env), EConvertError);
  EXPECT_THROW(eval("SIN([N])", &env), EConvertError);
}

TEST(ExprEval, DivisionByZeroIsAnError) {
  EXPECT_EQ(errorOf("1 / 0"), "Division by zero");
  EXPECT_EQ(errorOf("DIV(7, 0)"), "Division by zero");
  EXPECT_EQ(num("DIV(7, 2)"), 3);
  EXPECT_EQ(num("DIV(-7, 2)"), -3);
}

TEST(ExprFunctions, Aggregates) {
  TFakeEnv env;
  env.add("NullField", TExprFieldType::ftInteger, TVariant());
  EXPECT_EQ(num("MAX(3, 7, 5)"), 7);
  EXPECT_EQ(num("MIN(3, 7, 5)"), 3);
  EXPECT_EQ(num("MAX([NullField], 2)", &env), 2);
  EXPECT_EQ(num("MIN(1, [NullField], 3)", &env), 3);
  EXPECT_TRUE(eval("MIN(1, [NullField])", &env).isNull());
  EXPECT_EQ(num("SUM(1, 2, 3)"), 6);
  EXPECT_TRUE(eval("SUM(1, [NullField])", &env).isNull());
  EXPECT_EQ(eval("AVG(1, 2, 3, 4)"), TVariant(2.5));
  EXPECT_EQ(eval("COUNT([NullField], [NullField], 7)", &env), TVariant(int64_t(3)));
}

TEST(ExprFunctions, Strings) {
  TFakeEnv env;
  env.add("A", TExprFieldType::ftString, "secret");
  env.add("NullField", TExprFieldType::ftInteger, TVariant());
  EXPECT_EQ(str("UPPER('abc é')"), "ABC é");
  EXPECT_EQ(str("LOWER('ABC')"), "abc");
  EXPECT_EQ(str("SUBSTRING('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(str("SUBSTRING('abc', 0, 2)"), "ab");
  EXPECT_EQ(str("SUBSTRING('abc', 5, 1)"), "");
  EXPECT_EQ(str("SUBSTRING('abc', 2, 99)"), "bc");
  EXPECT_EQ(str("SUBSTRING('abc', 'x', 2)"), "ab");
  EXPECT_EQ(str("SUBSTRING('äöü', 2, 1)"), "ö");
  EXPECT_EQ(str("TRIM('  a b  ')"), "a b");
  EXPECT_EQ(str("TRIMLEFT('  a ')"), "a ");
  EXPECT_EQ(str("TRIMRIGHT('  a ')"), "  a");
  EXPECT_EQ(num("ORD('A')"), 65);
  EXPECT_EQ(str("CHR(66)"), "B");
  EXPECT_EQ(str("CHR(65536 + 67)"), "C");
  EXPECT_EQ(num("STRTOINT('-12')"), -12);
  EXPECT_THROW(eval("STRTOINT('1.5')"), EConvertError);
  EXPECT_EQ(str("INTTOSTR(2.5)"), "2");
  EXPECT_EQ(str("INTTOSTR('abc')"), "0");
  EXPECT_EQ(str("INTTOSTR([NullField])", &env), "0");
  EXPECT_EQ(num("STRTOFLOAT('2.75')"), 2.75);
  EXPECT_THROW(eval("STRTOFLOAT('x')"), EConvertError);
  EXPECT_EQ(str("FLOATTOSTR(2.5)"), "2.5");
  EXPECT_EQ(str("FLOATTOSTR('zz')"), "0");
  // Only the chosen branch is evaluated.
  EXPECT_EQ(str("IIF(1 > 2, [A], 'no')", &env), "no");
  EXPECT_EQ(env.fields["A"].reads, 0);
  EXPECT_EQ(str("IIF(1 < 2, [A], 'no')", &env), "secret");
  EXPECT_THROW(eval("IIF(1 < 2)"), EListError);
}

TEST(ExprFunctions, Numeric) {
  EXPECT_EQ(eval("ROUND(2.5)"), TVariant(int64_t(2)));
  EXPECT_EQ(eval("ROUND(3.5)"), TVariant(int64_t(4)));
  EXPECT_EQ(num("INT(-2.7)"), -2);
  EXPECT_EQ(num("FRAC(-2.5)"), -0.5);
  EXPECT_NEAR(num("LOG(1000)"), 3, 1e-12);
  EXPECT_NEAR(num("LN(EXP(2))"), 2, 1e-12);
  EXPECT_EQ(num("POWER(2, 10)"), 1024);
  EXPECT_EQ(num("POWER(2, -1)"), 0.5);
  EXPECT_EQ(num("POWER(0, 5)"), 0);
  EXPECT_EQ(num("POWER(5, 0)"), 1);
  EXPECT_EQ(num("POWER(-2, 3)"), -8);
  EXPECT_NEAR(num("POWER(4, 0.5)"), 2, 1e-12);
  EXPECT_THROW(eval("POWER(-4, 0.5)"), EMathError);
  EXPECT_EQ(num("SQR(-3)"), 9);
  EXPECT_EQ(num("SQRT(16)"), 4);
  EXPECT_THROW(eval("SQRT(-1)"), EMathError);
  EXPECT_THROW(eval("LN(0)"), EMathError);
  EXPECT_EQ(num("ABS(-4.5)"), 4.5);
  EXPECT_NEAR(num("ARCCOS(-1)"), M_PI, 1e-12);
  EXPECT_NEAR(num("ARCCOS(0)"), M_PI / 2, 1e-12);
  EXPECT_EQ(num("ARCCOS(1)"), 0);
  EXPECT_THROW(eval("ARCCOS(1.5)"), EMathError);
  EXPECT_NEAR(num("ARCSIN(0.5)"), M_PI / 6, 1e-12);
  EXPECT_THROW(eval("ARCSIN(1)"), EMathError);
  EXPECT_NEAR(num("TAN(0.5)"), std::tan(0.5), 1e-12);
  EXPECT_NEAR(num("ARCTAN(1)"), M_PI / 4, 1e-12);
  EXPECT_NEAR(num("SIN(1) + COS(1)"), std::sin(1) + std::cos(1), 1e-12);
  EXPECT_THROW(eval("EXP(1e6)"), EMathError);
  for (int i = 0; i < 50; ++i) {
    double r = num("RANDOM(3)");
    EXPECT_TRUE(r == 0 || r == 1 || r == 2) << r;
  }
}

TEST(ExprFunctions, DatesAndTimes) {
  double d = StrToDate("3/14/2021");
  EXPECT_EQ(num("YEAR(STRTODATE('3/14/2021'))"), 2021);
  EXPECT_EQ(num("MONTH(STRTODATE('3/14/2021'))"), 3);
  EXPECT_EQ(num("DAY(STRTODATE('3/14/2021'))"), 14);
  TFakeEnv env;
  env.add("T", TExprFieldType::ftDateTime, TVariant(TDateTime{d + (13 * 3600 + 5 * 60 + 9) / 86400.0}));
  EXPECT_EQ(num("HOUR([T])", &env), 13);
  EXPECT_EQ(num("MINUTE([T])", &env), 5);
  EXPECT_EQ(num("SECOND([T])", &env), 9);
  EXPECT_EQ(num("DATE([T])", &env), d);
  EXPECT_NEAR(num("TIME([T])", &env), (13 * 3600 + 5 * 60 + 9) / 86400.0, 1e-9);
  EXPECT_EQ(str("DATETOSTR([T])", &env), "3/14/2021");
  TVariant today = eval("DATE(GETDATE())");
  EXPECT_EQ(today.kind(), TVarKind::Float);
  EXPECT_EQ(today.asFloat(), std::trunc(today.asFloat()));
  EXPECT_THROW(eval("STRTODATE('2021-03-14')"), EConvertError);
}
