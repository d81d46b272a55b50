#include "expr/ExprScanner.h"

#include "expr/ExprErrors.h"
#include "host/core/TextUtil.h"
#include "host/locale/TextCodec.h"

namespace zd {

using enum TExprToken;

namespace {

bool isAsciiLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool isIdentStart(char32_t c) { return isAsciiLetter(c) || c == '_' || (c >= 0x403 && c <= 0x44E); }
bool isIdentPart(char32_t c) {
  return isAsciiLetter(c) || isDigit(c) || c == ' ' || c == '.' || c == '[' || c == ']' || c == '_';
}
bool isNumberPart(char32_t c) {
  return isDigit(c) || c == '.' || c == 'E' || c == 'e' || c == '+' || c == '-';
}

[[noreturn]] void invalidCharacter(const std::u32string& found) {
  throw EExprError("Invalid expression character: '" + EncodeUtf8(found) + "'");
}

}  // namespace

TExprScanner::TExprScanner(const std::string& text) : FText(DecodeUtf8(text)) {
  const size_t nul = FText.find(U'\0');
  if (nul != std::u32string::npos) FText.resize(nul);
}

void TExprScanner::SkipBlanks() {
  while (FSourcePtr < FText.size() && FText[FSourcePtr] >= 1 && FText[FSourcePtr] <= 32) ++FSourcePtr;
}

// A comment ends at its first "*", which must be followed by "/".
void TExprScanner::SkipComment() {
  if (At(FSourcePtr) != '/' || At(FSourcePtr + 1) != '*') return;
  FSourcePtr += 2;
  while (FSourcePtr < FText.size() && FText[FSourcePtr] != '*') ++FSourcePtr;
  if (At(FSourcePtr) != '*' || At(FSourcePtr + 1) != '/')
    invalidCharacter(FSourcePtr < FText.size() ? U"*" : U"");
  FSourcePtr += 2;
  SkipBlanks();
}

void TExprScanner::NextToken() {
  FPrevToken = FToken;
  FTokenString.clear();
  SkipBlanks();
  SkipComment();
  FTokenPtr = FSourcePtr;
  const char32_t c = At(FSourcePtr);
  if (FSourcePtr >= FText.size()) FToken = etEnd;
  else if (isIdentStart(c)) ScanIdentifier();
  else if (c == '[') ScanBracketedName();
  else if (c == '\'') ScanString();
  else if (isDigit(c) || c == '-') ScanNumberOrMinus();
  else ScanOperator();
}

void TExprScanner::ScanIdentifier() {
  size_t p = FSourcePtr + 1;
  while (p < FText.size() && isIdentPart(FText[p])) ++p;
  size_t end = p;
  while (end > FSourcePtr && FText[end - 1] == ' ') --end;
  FTokenString = EncodeUtf8(FText.substr(FSourcePtr, end - FSourcePtr));
  FSourcePtr = p;
  if (SameText(FTokenString, "LIKE")) FToken = etLIKE;
  else if (SameText(FTokenString, "IN")) FToken = etIN;
  else if (SameText(FTokenString, "IS NULL")) FToken = etISNULL;
  else if (SameText(FTokenString, "IS NOT NULL")) FToken = etISNOTNULL;
  else FToken = etSymbol;
}

void TExprScanner::ScanBracketedName() {
  const size_t close = FText.find(U']', FSourcePtr + 1);
  if (close == std::u32string::npos) throw EExprError("Unterminated field name");
  FTokenString = EncodeUtf8(FText.substr(FSourcePtr + 1, close - FSourcePtr - 1));
  FSourcePtr = close + 1;
  FToken = etName;
}

void TExprScanner::ScanString() {
  std::u32string value;
  size_t p = FSourcePtr + 1;
  for (;;) {
    if (p >= FText.size()) throw EExprError("Unterminated string constant");
    if (FText[p] == '\'') {
      if (At(p + 1) != '\'') break;
      ++p;  // a doubled quote stands for one
    }
    if (value.size() < kMaxStringLiteral) value += FText[p];
    ++p;
  }
  FSourcePtr = p + 1;
  FTokenString = EncodeUtf8(value);
  FToken = etLiteral;
  FNumericLit = false;
}

void TExprScanner::ScanNumberOrMinus() {
  if (FPrevToken == etLiteral || FPrevToken == etName || FPrevToken == etSymbol ||
      FPrevToken == etRParen) {
    ++FSourcePtr;  // consumed even when it is a digit
    FToken = etSUB;
    return;
  }
  size_t p = FSourcePtr + 1;
  while (p < FText.size() && isNumberPart(FText[p])) ++p;
  FTokenString = EncodeUtf8(FText.substr(FSourcePtr, p - FSourcePtr));
  FSourcePtr = p;
  FToken = etLiteral;
  FNumericLit = true;
}

void TExprScanner::ScanOperator() {
  const char32_t c = FText[FSourcePtr++];
  switch (c) {
    case '(': FToken = etLParen; return;
    case ')': FToken = etRParen; return;
    case ',': FToken = etComma; return;
    case '+': FToken = etADD; return;
    case '*': FToken = etMUL; return;
    case '/': FToken = etDIV; return;
    case '=': FToken = etEQ; return;
    case '<':
      if (At(FSourcePtr) == '=') { ++FSourcePtr; FToken = etLE; }
      else if (At(FSourcePtr) == '>') { ++FSourcePtr; FToken = etNE; }
      else FToken = etLT;
      return;
    case '>':
      if (At(FSourcePtr) == '=') { ++FSourcePtr; FToken = etGE; }
      else FToken = etGT;
      return;
    default: invalidCharacter(std::u32string(1, c));
  }
}

bool TExprScanner::NextTokenIsLParen() const {
  size_t p = FSourcePtr;
  while (p < FText.size() && FText[p] <= 32) ++p;
  return At(p) == '(';
}

bool TExprScanner::TokenSymbolIs(const std::string& s) const {
  return FToken == etSymbol && SameText(FTokenString, s);
}

std::string TExprScanner::TokenName() const {
  if (FToken == etEnd || FSourcePtr <= FTokenPtr) return "nothing";
  return "'" + EncodeUtf8(FText.substr(FTokenPtr, FSourcePtr - FTokenPtr)) + "'";
}

}  // namespace zd
