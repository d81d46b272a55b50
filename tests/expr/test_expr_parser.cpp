// Grammar and scanner: precedence, associativity, literals, the minus sign,
// comments, syntax error messages and the limits on nesting.
#include <gtest/gtest.h>

#include <string>

#include "expr_fakes.h"

using namespace zd;
using namespace zd::test;

TEST(ExprGrammar, ArithmeticPrecedenceAndLeftAssociativity) {
  EXPECT_EQ(num("2 + 3 * 4"), 14);
  EXPECT_EQ(num("(2 + 3) * 4"), 20);
  EXPECT_EQ(num("10 - 4 - 3"), 3);
  EXPECT_EQ(num("64 / 4 / 2"), 8);
  EXPECT_EQ(num("2 * 3 - 8 / 4"), 4);
  EXPECT_EQ(eval("1 + 1 = 2"), TVariant(true));
  EXPECT_EQ(eval("2 * 3 > 5"), TVariant(true));
}

TEST(ExprGrammar, LogicalPrecedenceComparisonAndMembership) {
  // AND binds tighter than OR.
  EXPECT_EQ(eval("(1 = 1) OR (1 = 2) AND (1 = 2)"), TVariant(true));
  EXPECT_EQ(eval("(1 = 2) AND (1 = 1) OR (1 = 1)"), TVariant(true));
  // NOT takes one comparison, not the whole AND.
  EXPECT_EQ(eval("NOT (1 < 2) AND (1 = 2)"), TVariant(false));
  EXPECT_EQ(eval("NOT (1 > 2)"), TVariant(true));
  EXPECT_EQ(eval("(1 <> 2) AND (2 <= 2) AND (3 >= 4)"), TVariant(false));
  // Comparisons do not chain.
  EXPECT_EQ(errorOf("1 < 2 < 3"), "Expression incorrectly terminated");
  TFakeData data;
  data.add("x", TFieldType::ftInteger, 2);
  data.add("n", TFieldType::ftInteger, TVariant());
  EXPECT_EQ(eval("[x] IS NOT NULL", &data), TVariant(true));
  EXPECT_EQ(eval("[n] IS NULL", &data), TVariant(true));
  // LIKE and IN parse but have no value.
  EXPECT_TRUE(eval("[x] IN (1, 2)", &data).isNull());
  EXPECT_TRUE(eval("'abc' LIKE 'a%'").isNull());
}

TEST(ExprGrammar, KeywordsGlueToIdentifiers) {
  // A keyword is one only where the identifier ends.
  EXPECT_EQ(errorOf("NOT 1 > 2"), "Field 'NOT 1' not found");
  EXPECT_EQ(errorOf("NOT NOT (1 = 1)"), "Field 'NOT NOT' not found");
  EXPECT_EQ(errorOf("A OR B"), "Field 'A OR B' not found");
  TFakeData data;
  data.add("A", TFieldType::ftInteger, 1);
  // "[A] OR [B]" is the name A followed by the identifier "OR [B]".
  EXPECT_EQ(errorOf("[A] OR [B]", &data), "Expression incorrectly terminated");
  EXPECT_EQ(eval("[A] is null", &data), TVariant(false));
  EXPECT_EQ(errorOf("[A] IS  NULL", &data), "Expression incorrectly terminated");
}

TEST(ExprGrammar, MinusSignBelongsToLiteralsAfterOperators) {
  EXPECT_EQ(num("-2 * 3"), -6);
  EXPECT_EQ(num("3 * -2"), -6);
  EXPECT_EQ(num("1 - -1"), 2);
  EXPECT_EQ(num("5 -2"), 3);  // after an operand "-" subtracts
  EXPECT_EQ(num("2 - 1"), 1);
  EXPECT_EQ(errorOf("2-1"), "'2-1' is not a valid floating point value");
  EXPECT_EQ(errorOf("- 2"), "'-' is not a valid floating point value");
  EXPECT_EQ(errorOf("-(1)"), "'-' is not a valid floating point value");
  // A digit right after an operand is taken, and consumed, as a minus.
  EXPECT_EQ(errorOf("1 2"), "Expression expected but nothing found");
  TFakeData data;
  data.add("x", TFieldType::ftInteger, 10);
  EXPECT_EQ(num("[x] -2", &data), 8);
  EXPECT_EQ(num("(5) -2"), 3);
}

TEST(ExprGrammar, LiteralsIgnoringTheLocaleSeparator) {
  EXPECT_EQ(eval("1.5"), TVariant(1.5));
  EXPECT_EQ(num("1e3"), 1000);
  EXPECT_EQ(num("1.5E+2"), 150);
  EXPECT_EQ(eval("''"), TVariant(""));
  EXPECT_EQ(str("'It''s'"), "It's");
  EXPECT_EQ(str("''''"), "'");
  EXPECT_EQ(str("'" + std::string(600, 'x') + "'"), std::string(512, 'x'));
  EXPECT_EQ(str("'" + std::string(600, 'x') + "' + 'y'"), std::string(512, 'x') + "y");
  EXPECT_EQ(eval("TRUE"), TVariant(1));
  EXPECT_EQ(eval("tRuE"), TVariant(1));
  EXPECT_EQ(eval("false"), TVariant(0));
  // NULL stands only in a field's = or <> comparison.
  EXPECT_EQ(errorOf("NULL"), "Constant is not correct type ");
  // The locale's decimal separator does not apply to literals.
  TLocaleScope scope(commaLocale());
  EXPECT_EQ(num("1.5"), 1.5);
  EXPECT_EQ(errorOf("1,5"), "Expression incorrectly terminated");
}

TEST(ExprScanner, BlanksCommentsEndOfTextAndCharacterErrors) {
  EXPECT_EQ(num("\t1\r\n+\x01 2"), 3);
  EXPECT_EQ(num(std::string("1\0+ garbage(", 12)), 1);
  EXPECT_EQ(num("/* note */ 1"), 1);
  EXPECT_EQ(num("1 + /**/ 2"), 3);
  EXPECT_EQ(errorOf("/* a*b */ 1"), "Invalid expression character: '*'");
  EXPECT_EQ(errorOf("/* open"), "Invalid expression character: ''");
  // One comment per token: the second "/" is a division sign.
  EXPECT_EQ(errorOf("/* a */ /* b */ 1"), "Expression expected but '/' found");
  EXPECT_EQ(errorOf("1 # 2"), "Invalid expression character: '#'");
  EXPECT_EQ(errorOf("\"a\""), "Invalid expression character: '\"'");
  EXPECT_EQ(errorOf("\xC3\xA9"), "Invalid expression character: '\xC3\xA9'");
  // Cyrillic letters start identifiers.
  EXPECT_EQ(errorOf("\xD0\x96"), "Field '\xD0\x96' not found");
  EXPECT_EQ(errorOf("[abc"), "Unterminated field name");
  EXPECT_EQ(errorOf("'abc"), "Unterminated string constant");
  EXPECT_EQ(errorOf("'abc''"), "Unterminated string constant");
}

TEST(ExprGrammar, SyntaxErrorMessagesNameTheToken) {
  EXPECT_EQ(errorOf(""), "Expression expected but nothing found");
  EXPECT_EQ(errorOf(" "), "Expression expected but nothing found");
  EXPECT_EQ(errorOf("(1 + 2"), "')' expected but nothing found");
  EXPECT_EQ(errorOf("1 +"), "Expression expected but nothing found");
  EXPECT_EQ(errorOf("* 2"), "Expression expected but '*' found");
  EXPECT_EQ(errorOf("1 = <"), "Expression expected but '<' found");
  EXPECT_EQ(errorOf("(1 <= )"), "Expression expected but ')' found");
  EXPECT_EQ(errorOf("UPPER('a' 'b')"), "')' or ',' expected but ''b'' found");
  EXPECT_EQ(errorOf("UPPER('a',"), "Expression expected but nothing found");
  EXPECT_EQ(errorOf("1 )"), "Expression incorrectly terminated");
  TFakeData data;
  data.add("x", TFieldType::ftInteger, 1);
  EXPECT_EQ(errorOf("(1 [x]", &data), "')' expected but '[x]' found");
  EXPECT_EQ(errorOf("[x] IN ()", &data), "IN predicate list may not be empty");
  EXPECT_EQ(errorOf("[x] IN 'a'", &data), "'(' expected but ''a'' found");
  EXPECT_EQ(errorOf("[x] IN (1 'b')", &data), "')' or ',' expected but ''b'' found");
  EXPECT_EQ(errorOf("[x] IN (1, 2", &data), "')' or ',' expected but nothing found");
  EXPECT_EQ(errorOf("[x] IN 1", &data), "Expression incorrectly terminated");
  EXPECT_EQ(errorOf("x IN (1)"), "Field 'x IN' not found");
}

TEST(ExprGrammar, FunctionCallSyntax) {
  EXPECT_EQ(str("upper('a')"), "A");
  EXPECT_EQ(str("UPPER  ('a')"), "A");
  EXPECT_EQ(errorOf("Upper()"), "Type mismatch in expression");
  EXPECT_TRUE(eval("count(*)").isNull());
  EXPECT_EQ(eval("GetDate()").kind(), TVarKind::DateTime);
  // A function name without "(" is a name; an unknown name before "(" is a field.
  EXPECT_EQ(errorOf("UPPER"), "Field 'UPPER' not found");
  EXPECT_EQ(errorOf("Foo(1)"), "Field 'Foo' not found");
  TFakeData data;
  data.add("Foo", TFieldType::ftInteger, 1);
  EXPECT_EQ(errorOf("Foo(1)", &data), "Expression incorrectly terminated");
}

TEST(ExprGrammar, DeepNestingIsAnErrorNotACrash) {
  const std::string tooDeep = "Expression is too deeply nested";
  EXPECT_EQ(errorOf(std::string(100000, '(') + "1"), tooDeep);
  EXPECT_EQ(errorOf(std::string(100000, '(') + "1" + std::string(100000, ')')), tooDeep);
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += " + 1";
  EXPECT_EQ(errorOf(chain), tooDeep);
  std::string args = "MAX(1";
  for (int i = 0; i < 5000; ++i) args += ", 1";
  EXPECT_EQ(num(args + ")"), 1);  // a long list is wide, not deep
  std::string ok = "1";
  for (int i = 0; i < 100; ++i) ok += " + 1";
  EXPECT_EQ(num(ok), 101);
  EXPECT_EQ(num(std::string(50, '(') + "7" + std::string(50, ')')), 7);
}

TEST(ExprParserObject, ParsedOnceEvaluatedOften) {
  TFakeData data;
  TFakeField& qty = data.add("Qty", TFieldType::ftInteger, 2);
  data.add("Price", TFieldType::ftFloat, 1.25);
  const TExprParser parser(&data, "[Qty] * [Price]");
  EXPECT_EQ(parser.Evaluate(), TVariant(2.5));
  qty.value = 4;
  EXPECT_EQ(parser.Evaluate(), TVariant(5.0));
  qty.value = TVariant();
  EXPECT_TRUE(parser.Evaluate().isNull());
  EXPECT_EQ(qty.reads, 3);
  // Empty text is not parsed by the constructor.
  TExprParser later(nullptr, "");
  EXPECT_EQ(later.Root(), nullptr);
  EXPECT_TRUE(later.Evaluate().isNull());
  later.SetExprParams("1 + 2");
  EXPECT_EQ(later.Evaluate(), TVariant(3.0));
}

