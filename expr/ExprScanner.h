#pragma once
// Splits an expression text into tokens. Identifiers may contain blanks,
// dots and brackets, so "Customer Name" is one name and a keyword glued to
// an identifier is part of it; a "-" or digit after an operand is the
// subtraction operator, anywhere else it starts a numeric literal.
#include <string>

#include "expr/ExprTypes.h"

namespace zd {

class TExprScanner {
 public:
  // Only the first 512 characters of a string literal are kept.
  static constexpr size_t kMaxStringLiteral = 512;

  // The text up to its first character of code 0; no token is read yet.
  explicit TExprScanner(const std::string& text = {});

  void NextToken();
  // The first character above U+0020 after the current token is "(".
  bool NextTokenIsLParen() const;
  // The current token is a symbol equal to s, ignoring ASCII case.
  bool TokenSymbolIs(const std::string& s) const;
  // "nothing" at the end of the text, else the token's raw source in quotes.
  std::string TokenName() const;

  TExprToken Token() const { return FToken; }
  TExprToken PrevToken() const { return FPrevToken; }
  const std::string& TokenString() const { return FTokenString; }
  bool NumericLit() const { return FNumericLit; }

 private:
  char32_t At(size_t p) const { return p < FText.size() ? FText[p] : U'\0'; }
  void SkipBlanks();
  void SkipComment();
  void ScanIdentifier();
  void ScanBracketedName();
  void ScanString();
  void ScanNumberOrMinus();
  void ScanOperator();

  std::u32string FText;
  size_t FSourcePtr = 0;  // first character after the current token
  size_t FTokenPtr = 0;   // first character of the current token
  std::string FTokenString;
  TExprToken FToken = TExprToken::etEnd;
  TExprToken FPrevToken = TExprToken::etEnd;
  bool FNumericLit = false;
};

}  // namespace zd
