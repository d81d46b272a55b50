#include "expr/ExprParser.h"

#include "host/locale/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

namespace zd {

using enum TExprToken;
using enum ZdCANOp;

const std::array<int32_t, kFieldTypeCount> FldTypeMap = {
    0,  1,  5,  6,  12, 4,  7,  7,  8,  2,  10, 11, 9,  15, 6,  3,  3,  3,
    3,  3,  3,  3,  17, 1,  1,  18, 20, 21, 22, 23, 3,  3,  1,  1,  1,  1,
    24, 25, 26, 26, 39, 40, 6,  0,  0,  7,  0,  0,  0,  36, 0,  27};

bool IsNumeric(int32_t c) { return c >= ltInt16 && c <= ltBCD; }
bool IsTemporal(int32_t c) { return c == ltDate || c == ltTime || c == ltDateTime; }

namespace {

std::u32string decodeUtf8(const std::string& s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (n < 0) { out += U'\uFFFD'; ++i; continue; }
    char32_t cp = n == 0 ? c : n == 1 ? (c & 0x1F) : n == 2 ? (c & 0x0F) : (c & 0x07);
    bool ok = true;
    for (int k = 1; k <= n; ++k) {
      if (i + size_t(k) >= s.size()) { ok = false; break; }
      unsigned char cc = static_cast<unsigned char>(s[i + size_t(k)]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) { out += U'\uFFFD'; ++i; continue; }
    out += cp;
    i += size_t(n) + 1;
  }
  return out;
}

std::string encodeUtf8(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) {
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool ieq(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return s;
}

bool isAsciiLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isIdentStart(char32_t c) { return isAsciiLetter(c) || c == '_' || (c >= 0x403 && c <= 0x44E); }
bool isIdentPart(char32_t c) {
  return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '[' || c == ']' ||
         c == '_';
}

const char* const kFunctions[] = {
    "UPPER", "LOWER", "SUBSTRING", "IIF", "TRIM", "TRIMLEFT", "TRIMRIGHT", "YEAR", "MONTH", "DAY",
    "HOUR", "MINUTE", "SECOND", "GETDATE", "DATE", "STRTODATE", "TIME", "SUM", "MIN", "MAX", "AVG",
    "COUNT", "SIN", "ARCSIN", "COS", "ARCCOS", "TAN", "ARCTAN", "EXP", "FRAC", "INT", "ROUND", "DIV",
    "LN", "LOG", "SQR", "SQRT", "ABS", "POWER", "RANDOM", "ORD", "CHR", "STRTOINT", "STRTOFLOAT",
    "INTTOSTR", "DATETOSTR", "FLOATTOSTR"};

[[noreturn]] void fail(const std::string& msg) { throw EExprError(msg); }

std::mt19937& randomGenerator() {
  static std::mt19937 gen(std::random_device{}());
  return gen;
}

double mathResult(double r) {
  if (std::isnan(r)) throw EMathError("Invalid floating point operation");
  if (std::isinf(r)) throw EMathError("Floating point overflow");
  return r;
}

double intPower(double base, int64_t exp) {
  uint64_t e = exp < 0 ? uint64_t(-exp) : uint64_t(exp);
  double result = 1, b = base;
  while (e) {
    if (e & 1) result *= b;
    b *= b;
    e >>= 1;
  }
  return exp < 0 ? 1 / result : result;
}

double power(double base, double exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0)
    return mathResult(intPower(base, int64_t(exponent)));
  if (base < 0) throw EMathError("Invalid floating point operation");
  return mathResult(std::exp(exponent * std::log(base)));
}

}  // namespace

TFieldReference SplitFieldReference(const std::string& reference) {
  TFieldReference r;
  size_t dot = reference.find('.');
  if (dot == std::string::npos) {
    r.field = reference;
    return r;
  }
  r.dataset = reference.substr(0, dot);
  std::string rest = reference.substr(dot + 1, 255);
  size_t dot2 = rest.find('.');
  if (dot2 != std::string::npos) {
    r.dataset = rest.substr(0, dot2);
    rest = rest.substr(dot2 + 1);
  }
  r.field = rest;
  return r;
}

TExprNode* TFilterExpr::NewNode(TExprNodeKind kind, ZdCANOp op, const TVariant& data,
                                TExprNode* left, TExprNode* right) {
  auto node = std::make_unique<TExprNode>();
  node->FKind = kind;
  node->FOperator = op;
  node->FData = data;
  node->FLeft = left;
  node->FRight = right;
  node->FDepth = 1 + std::max(left ? left->FDepth : 0, right ? right->FDepth : 0);
  if (node->FDepth > TExprParser::kMaxDepth) fail("Expression is too deeply nested");
  node->FNext = FNodes;
  if (kind == TExprNodeKind::enField) {
    std::string name = data.kind() == TVarKind::String ? data.asString() : std::string();
    const TExprField* field = FEnvironment ? FEnvironment->FindField(name) : nullptr;
    if (field) {
      node->FDataType = fldTypeCode(field->DataType());
      node->FFieldKind = field->FieldKind();
    } else {
      bool accept = false;
      TExprFieldType type = TExprFieldType::ftString;
      TVariant value = TVariant::empty();
      if (FVariableEvent) FVariableEvent(nullptr, name, accept, type, value);
      if (!accept) fail("Field '" + name + "' not found");
      int t = int(type);
      node->FKind = TExprNodeKind::enConst;
      node->FData = value;
      node->FDataType = t >= 0 && t < kFieldTypeCount ? FldTypeMap[size_t(t)] : ltUnknown;
    }
  }
  FStore.push_back(std::move(node));
  FNodes = FStore.back().get();
  return FNodes;
}

bool TExprParser::TokenSymbolIsFunc(const std::string& s) {
  for (const char* f : kFunctions)
    if (ieq(s, f)) return true;
  return false;
}

TExprParser::TExprParser(const TExprEnvironment* env, const std::string& text,
                         TGetVariableEvent variableEvent)
    : FFilter(env, std::move(variableEvent)) {
  if (!text.empty()) SetExprParams(text);
}

void TExprParser::SetExprParams(const std::string& text) {
  FText = decodeUtf8(text);
  // A character with code 0 ends the text.
  size_t nul = FText.find(U'\0');
  if (nul != std::u32string::npos) FText.resize(nul);
  FSourcePtr = 0;
  FToken = etEnd;
  NextToken();
  FRoot = ParseExpr();
  if (FToken != etEnd) fail("Expression incorrectly terminated");
  Validate(FRoot, false);
}

void TExprParser::NextToken() {
  FPrevToken = FToken;
  FTokenString.clear();
  const size_t n = FText.size();
  size_t p = FSourcePtr;
  auto skipBlanks = [&] {
    while (p < n && FText[p] >= 1 && FText[p] <= 32) ++p;
  };
  skipBlanks();
  if (p + 1 < n && FText[p] == '/' && FText[p + 1] == '*') {
    p += 2;
    while (p < n && FText[p] != '*') ++p;
    if (p + 1 < n && FText[p + 1] == '/') {
      p += 2;
    } else {
      FSourcePtr = p;
      fail("Invalid expression character: '" + std::string(p < n ? "*" : "") + "'");
    }
    skipBlanks();
  }
  FTokenPtr = p;
  if (p >= n) {
    FToken = etEnd;
    FSourcePtr = p;
    return;
  }
  char32_t c = FText[p];
  if (isIdentStart(c)) {
    size_t start = p;
    ++p;
    while (p < n && isIdentPart(FText[p])) ++p;
    size_t b = start, e = p;
    while (e > b && FText[e - 1] == ' ') --e;
    FTokenString = encodeUtf8(FText.substr(b, e - b));
    FToken = etSymbol;
    if (ieq(FTokenString, "LIKE")) FToken = etLIKE;
    else if (ieq(FTokenString, "IN")) FToken = etIN;
    else if (ieq(FTokenString, "IS NULL")) FToken = etISNULL;
    else if (ieq(FTokenString, "IS NOT NULL")) FToken = etISNOTNULL;
  } else if (c == '[') {
    size_t close = FText.find(U']', p + 1);
    if (close == std::u32string::npos) fail("Unterminated field name");
    FTokenString = encodeUtf8(FText.substr(p + 1, close - p - 1));
    p = close + 1;
    FToken = etName;
  } else if (c == '\'') {
    std::u32string value;
    ++p;
    for (;;) {
      if (p >= n) fail("Unterminated string constant");
      if (FText[p] == '\'') {
        if (p + 1 < n && FText[p + 1] == '\'') {
          ++p;
        } else {
          ++p;
          break;
        }
      }
      if (value.size() < 512) value += FText[p];
      ++p;
    }
    FTokenString = encodeUtf8(value);
    FToken = etLiteral;
    FNumericLit = false;
  } else if ((c >= '0' && c <= '9') || c == '-') {
    if (FPrevToken == etLiteral || FPrevToken == etName || FPrevToken == etSymbol ||
        FPrevToken == etRParen) {
      ++p;
      FToken = etSUB;
    } else {
      size_t start = p;
      ++p;
      while (p < n && ((FText[p] >= '0' && FText[p] <= '9') || FText[p] == '.' || FText[p] == 'E' ||
                       FText[p] == 'e' || FText[p] == '+' || FText[p] == '-'))
        ++p;
      FTokenString = encodeUtf8(FText.substr(start, p - start));
      FToken = etLiteral;
      FNumericLit = true;
    }
  } else {
    ++p;
    switch (c) {
      case '(': FToken = etLParen; break;
      case ')': FToken = etRParen; break;
      case ',': FToken = etComma; break;
      case '+': FToken = etADD; break;
      case '*': FToken = etMUL; break;
      case '/': FToken = etDIV; break;
      case '=': FToken = etEQ; break;
      case '<':
        if (p < n && FText[p] == '=') { ++p; FToken = etLE; }
        else if (p < n && FText[p] == '>') { ++p; FToken = etNE; }
        else FToken = etLT;
        break;
      case '>':
        if (p < n && FText[p] == '=') { ++p; FToken = etGE; }
        else FToken = etGT;
        break;
      default:
        FSourcePtr = p;
        fail("Invalid expression character: '" + encodeUtf8(std::u32string(1, c)) + "'");
    }
  }
  FSourcePtr = p;
}

bool TExprParser::NextTokenIsLParen() const {
  size_t p = FSourcePtr;
  while (p < FText.size() && FText[p] <= 32) ++p;
  return p < FText.size() && FText[p] == '(';
}

bool TExprParser::TokenSymbolIs(const char* s) const { return FToken == etSymbol && ieq(FTokenString, s); }

std::string TExprParser::TokenName() const {
  if (FToken == etEnd || FSourcePtr <= FTokenPtr) return "nothing";
  return "'" + encodeUtf8(FText.substr(FTokenPtr, FSourcePtr - FTokenPtr)) + "'";
}

namespace {
// Keeps the parser's recursion bounded for deeply nested input.
struct TDepthGuard {
  int& depth;
  explicit TDepthGuard(int& d) : depth(d) {
    if (++depth > TExprParser::kMaxDepth) {
      --depth;
      fail("Expression is too deeply nested");
    }
  }
  ~TDepthGuard() { --depth; }
};
}  // namespace

TExprNode* TExprParser::ParseExpr() {
  TDepthGuard guard(FDepth);
  TExprNode* left = ParseExpr2();
  while (TokenSymbolIs("OR")) {
    NextToken();
    TExprNode* right = ParseExpr2();
    left = FFilter.NewNode(TExprNodeKind::enOperator, canOR, TVariant(), left, right);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr2() {
  TExprNode* left = ParseExpr3();
  while (TokenSymbolIs("AND")) {
    NextToken();
    TExprNode* right = ParseExpr3();
    left = FFilter.NewNode(TExprNodeKind::enOperator, canAND, TVariant(), left, right);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr3() {
  if (TokenSymbolIs("NOT")) {
    NextToken();
    TExprNode* operand = ParseExpr4();
    return FFilter.NewNode(TExprNodeKind::enOperator, canNOT, TVariant(), operand, nullptr);
  }
  return ParseExpr4();
}

TExprNode* TExprParser::ParseExpr4() {
  TExprNode* left = ParseExpr5();
  ZdCANOp op;
  switch (FToken) {
    case etEQ: op = canEQ; break;
    case etNE: op = canNE; break;
    case etGE: op = canGE; break;
    case etLE: op = canLE; break;
    case etGT: op = canGT; break;
    case etLT: op = canLT; break;
    case etLIKE: op = canLIKE; break;
    case etISNULL: op = canISBLANK; break;
    case etISNOTNULL: op = canNOTBLANK; break;
    case etIN: op = canIN; break;
    default: return left;
  }
  NextToken();
  if (op == canIN) {
    if (FToken != etLParen) fail("'(' expected but " + TokenName() + " found");
    NextToken();
    if (FToken == etRParen) fail("IN predicate list may not be empty");
    std::vector<TExprNode*> list;
    for (;;) {
      list.push_back(ParseExpr());
      if (FToken == etComma) {
        NextToken();
        continue;
      }
      if (FToken == etRParen) break;
      fail("')' or ',' expected but " + TokenName() + " found");
    }
    NextToken();
    TExprNode* node = FFilter.NewNode(TExprNodeKind::enOperator, canIN, TVariant(), left, nullptr);
    node->FArgs = std::move(list);
    for (TExprNode* a : node->FArgs) node->FDepth = std::max(node->FDepth, a->FDepth + 1);
    if (node->FDepth > kMaxDepth) fail("Expression is too deeply nested");
    if (IsTemporal(left->FDataType))
      for (TExprNode* a : node->FArgs) a->FDataType = left->FDataType;
    return node;
  }
  TExprNode* right = nullptr;
  if (op != canISBLANK && op != canNOTBLANK) right = ParseExpr5();
  TExprNode* node = FFilter.NewNode(TExprNodeKind::enOperator, op, TVariant(), left, right);
  if (right) {
    if (left->FKind == TExprNodeKind::enField && right->FKind == TExprNodeKind::enConst)
      right->FDataType = left->FDataType;
    else if (right->FKind == TExprNodeKind::enField && left->FKind == TExprNodeKind::enConst)
      left->FDataType = right->FDataType;
  }
  if (left->FDataType == ltBlob && op == canLIKE) {
    if (right && right->FKind == TExprNodeKind::enConst) right->FDataType = ltString;
  } else if (op != canISBLANK && op != canNOTBLANK) {
    auto bad = [](TExprNode* n) { return n && (n->FDataType == ltBlob || n->FDataType == ltBytes); };
    if (bad(left) || bad(right)) fail("Type mismatch in expression");
  }
  node->FDataType = ltBoolean;
  if (right) {
    if (IsTemporal(left->FDataType) && right->FDataType == ltString)
      right->FDataType = left->FDataType;
    else if (IsTemporal(right->FDataType) && left->FDataType == ltString)
      left->FDataType = right->FDataType;
  }
  return node;
}

TExprNode* TExprParser::ParseExpr5() {
  TExprNode* left = ParseExpr6();
  while (FToken == etADD || FToken == etSUB) {
    ZdCANOp op = FToken == etADD ? canADD : canSUB;
    NextToken();
    TExprNode* right = ParseExpr6();
    left = FFilter.NewNode(TExprNodeKind::enOperator, op, TVariant(), left, right);
    TypeCheckArithOp(left);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr6() {
  TExprNode* left = ParseExpr7();
  while (FToken == etMUL || FToken == etDIV) {
    ZdCANOp op = FToken == etMUL ? canMUL : canDIV;
    NextToken();
    TExprNode* right = ParseExpr7();
    left = FFilter.NewNode(TExprNodeKind::enOperator, op, TVariant(), left, right);
    TypeCheckArithOp(left);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr7() {
  TExprNode* result = nullptr;
  switch (FToken) {
    case etSymbol:
      if (NextTokenIsLParen() && TokenSymbolIsFunc(FTokenString)) {
        std::string name = FTokenString;
        NextToken();  // "("
        NextToken();
        if (ieq(name, "count") && FToken == etMUL) {
          name = "COUNT(*)";
          NextToken();
        }
        // The call's node is created before its arguments' nodes.
        result = FFilter.NewNode(TExprNodeKind::enFunc, canNOTDEFINED, TVariant(name), nullptr, nullptr);
        std::vector<TExprNode*> args;
        if (FToken != etRParen) {
          for (;;) {
            args.push_back(ParseExpr());
            if (FToken == etComma) {
              NextToken();
              continue;
            }
            if (FToken == etRParen) break;
            fail("')' or ',' expected but " + TokenName() + " found");
          }
        }
        result->FArgs = std::move(args);
        for (TExprNode* a : result->FArgs) result->FDepth = std::max(result->FDepth, a->FDepth + 1);
        if (result->FDepth > kMaxDepth) fail("Expression is too deeply nested");
        GetFuncResultInfo(result);
      } else if (TokenSymbolIs("NULL")) {
        result = FFilter.NewNode(TExprNodeKind::enConst, canNOTDEFINED, TVariant(), nullptr, nullptr);
      } else if (ieq(FTokenString, FStrTrue)) {
        result = FFilter.NewNode(TExprNodeKind::enConst, canNOTDEFINED, TVariant(1), nullptr, nullptr);
        result->FDataType = ltBoolean;
      } else if (ieq(FTokenString, FStrFalse)) {
        result = FFilter.NewNode(TExprNodeKind::enConst, canNOTDEFINED, TVariant(0), nullptr, nullptr);
        result->FDataType = ltBoolean;
      } else {
        result = FFilter.NewNode(TExprNodeKind::enField, canNOTDEFINED, TVariant(FTokenString), nullptr, nullptr);
      }
      break;
    case etName:
      result = FFilter.NewNode(TExprNodeKind::enField, canNOTDEFINED, TVariant(FTokenString), nullptr, nullptr);
      break;
    case etLiteral:
      if (FNumericLit) {
        double v;
        if (!TryStrToFloat(FTokenString, v, '.'))
          throw EConvertError("'" + FTokenString + "' is not a valid floating point value");
        result = FFilter.NewNode(TExprNodeKind::enConst, canNOTDEFINED, TVariant(v), nullptr, nullptr);
        result->FDataType = ltFloat;
      } else {
        result = FFilter.NewNode(TExprNodeKind::enConst, canNOTDEFINED, TVariant(FTokenString), nullptr, nullptr);
        result->FDataType = ltString;
      }
      break;
    case etLParen:
      NextToken();
      result = ParseExpr();
      if (FToken != etRParen) fail("')' expected but " + TokenName() + " found");
      break;
    default:
      fail("Expression expected but " + TokenName() + " found");
  }
  NextToken();
  return result;
}

void TExprParser::TypeCheckArithOp(TExprNode* node) {
  TExprNode* l = node->FLeft;
  TExprNode* r = node->FRight;
  int32_t lt = l->FDataType, rt = r->FDataType;
  ZdCANOp op = node->FOperator;
  if (IsNumeric(lt) && IsNumeric(rt)) node->FDataType = ltFloat;
  else if (lt == ltString && rt == ltString && op == canADD) node->FDataType = ltString;
  else if (IsTemporal(lt) && IsNumeric(rt) && op == canADD) node->FDataType = ltDateTime;
  else if (IsTemporal(lt) && IsNumeric(rt) && op == canSUB) node->FDataType = lt;
  else if (IsTemporal(lt) && IsTemporal(rt) && op == canSUB) node->FDataType = ltFloat;
  else if (lt == ltString && IsTemporal(rt) && op == canSUB) {
    l->FDataType = rt;
    node->FDataType = ltFloat;
  } else if (lt == ltString && IsNumeric(rt) && l->FKind == TExprNodeKind::enConst) {
    l->FDataType = ltDateTime;
  } else {
    fail("Type mismatch in expression");
  }
}

void TExprParser::GetFuncResultInfo(TExprNode* node) {
  std::string name = upperAscii(node->FData.asString());
  if (node->FArgs.empty() && name != "COUNT(*)" && name != "GETDATE") fail("Type mismatch in expression");
  static const char* const kInt32[] = {"COUNT", "COUNT(*)", "YEAR", "MONTH", "DAY", "HOUR", "MINUTE",
                                       "SECOND", "INT", "STRTOINT", "ROUND", "DIV"};
  static const char* const kString[] = {"UPPER", "LOWER", "SUBSTRING", "TRIM", "TRIMLEFT", "TRIMRIGHT",
                                        "INTTOSTR", "FLOATTOSTR", "DATETOSTR", "CHR"};
  auto in = [&](auto& list) {
    return std::any_of(std::begin(list), std::end(list), [&](const char* s) { return name == s; });
  };
  if (name == "MIN" || name == "MAX") node->FDataType = node->FArgs[0]->FDataType;
  else if (name == "IIF") node->FDataType = node->FArgs.size() > 1 ? node->FArgs[1]->FDataType : ltUnknown;
  else if (in(kInt32)) node->FDataType = ltInt32;
  else if (in(kString)) node->FDataType = ltString;
  else if (name == "GETDATE") node->FDataType = ltDateTime;
  else if (name == "STRTODATE" || name == "DATE") node->FDataType = ltDate;
  else if (name == "TIME") node->FDataType = ltTime;
  else node->FDataType = ltFloat;  // SUM, AVG and the numeric functions
}

void TExprParser::ValidateConst(TExprNode* n) {
  const TVariant& v = n->FData;
  int32_t t = n->FDataType;
  static const int32_t kAllowed[] = {1, 2, 4, 5, 6, 7, 8, 10, 11, 12};
  if (v.isNull() || std::find(std::begin(kAllowed), std::end(kAllowed), t) == std::end(kAllowed))
    fail("Constant is not correct type " + VarToStr(v));
  const TLocale& loc = currentLocale();
  if (v.kind() == TVarKind::String) {
    const std::string& s = v.asString();
    if (t == ltDate) StrToDate(s, loc);
    else if (t == ltTime) StrToTime(s, loc);
    else if (t == ltDateTime) StrToDateTime(s, loc);
    else if (t == ltBoolean) VarToBool(v);
    else if (IsNumeric(t)) StrToFloat(s, loc);
  }
  if (t == ltInt16 || t == ltUInt16) {
    double d = VarToFloat(v, loc);
    if (t == ltInt16 ? (d < -32768 || d > 32767) : (d < 0 || d > 65535)) fail("Constant out of range");
  }
}

void TExprParser::Validate(TExprNode* n, bool skipNullConst) {
  if (!n) return;
  switch (n->FKind) {
    case TExprNodeKind::enField:
      if (n->FFieldKind != TExprFieldKind::fkData && n->FFieldKind != TExprFieldKind::fkInternalCalc)
        fail("Field '" + VarToStr(n->FData) + "' cannot be used in an expression");
      return;
    case TExprNodeKind::enConst:
      if (skipNullConst && n->FData.isNull()) return;
      ValidateConst(n);
      return;
    case TExprNodeKind::enOperator: {
      TExprNode* l = n->FLeft;
      TExprNode* r = n->FRight;
      auto isNullConst = [](TExprNode* x) { return x && x->FKind == TExprNodeKind::enConst && x->FData.isNull(); };
      auto isField = [](TExprNode* x) { return x && x->FKind == TExprNodeKind::enField; };
      bool fieldNull = (isField(l) && isNullConst(r)) || (isField(r) && isNullConst(l));
      if (fieldNull && n->FOperator == canLIKE) fail("NULL only allowed with '=' and '<>'");
      bool skip = fieldNull && (n->FOperator == canEQ || n->FOperator == canNE);
      Validate(l, skip);
      Validate(r, skip);
      for (TExprNode* a : n->FArgs) Validate(a, false);
      return;
    }
    case TExprNodeKind::enFunc:
      for (TExprNode* a : n->FArgs) Validate(a, false);
      return;
  }
}

TVariant TExprParser::Evaluate() { return EvalNode(FRoot); }

TVariant TExprParser::EvalNode(TExprNode* n) {
  if (!n) return TVariant();
  switch (n->FKind) {
    case TExprNodeKind::enField: {
      const TExprEnvironment* env = FFilter.Environment();
      const TExprField* f = env ? env->FindField(VarToStr(n->FData)) : nullptr;
      return f ? f->Value() : TVariant();
    }
    case TExprNodeKind::enConst: return n->FData;
    case TExprNodeKind::enFunc: return EvalFunc(n);
    case TExprNodeKind::enOperator: break;
  }
  switch (n->FOperator) {
    case canISBLANK: return TVariant(EvalNode(n->FLeft).isNull());
    case canNOTBLANK: return TVariant(!EvalNode(n->FLeft).isNull());
    case canEQ: case canNE: case canGT: case canLT: case canGE: case canLE: {
      TVariant a = EvalNode(n->FLeft);
      TVariant b = EvalNode(n->FRight);
      switch (n->FOperator) {
        case canEQ: return TVariant(VarEqual(a, b));
        case canNE: return TVariant(!VarEqual(a, b));
        case canGT: return TVariant(VarCompare(a, b) > 0);
        case canLT: return TVariant(VarCompare(a, b) < 0);
        case canGE: return TVariant(VarCompare(a, b) >= 0);
        default: return TVariant(VarCompare(a, b) <= 0);
      }
    }
    case canNOT: return TVariant(!VarToBool(EvalNode(n->FLeft)));
    case canAND: case canOR: {
      bool a = VarToBool(EvalNode(n->FLeft));
      bool b = VarToBool(EvalNode(n->FRight));
      return TVariant(n->FOperator == canAND ? a && b : a || b);
    }
    case canADD: return VarAdd(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canSUB: return VarSub(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMUL: return VarMul(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canDIV: return VarDiv(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMOD: return VarMod(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMINUS: return VarNeg(n->FData);
    default: return TVariant();
  }
}

TVariant TExprParser::EvalFunc(TExprNode* n) {
  const std::string name = upperAscii(VarToStr(n->FData));
  const auto& args = n->FArgs;
  const TLocale& loc = currentLocale();
  auto arg = [&](size_t i) {
    if (i >= args.size()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return EvalNode(args[i]);
  };
  auto num = [&](size_t i) { return VarToFloat(arg(i), loc); };
  auto text = [&](size_t i) { return VarToStr(arg(i), loc); };
  auto intOf = [&](size_t i) { return VarToNum(arg(i), true, loc); };
  auto trimText = [](const std::string& s, bool left, bool right) {
    size_t b = 0, e = s.size();
    if (left) while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    if (right) while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
  };

  if (name == "MAX" || name == "MIN") {
    TVariant r;
    for (size_t i = 0; i < args.size(); ++i) {
      TVariant v = arg(i);
      if (name == "MAX") {
        if (VarCompare(r, v) < 0) r = v;
      } else if (r.isNull() || VarCompare(r, v) > 0) {
        r = v;
      }
    }
    return r;
  }
  if (name == "SUM" || name == "AVG") {
    TVariant r = arg(0);
    for (size_t i = 1; i < args.size(); ++i) r = VarAdd(r, arg(i));
    if (name == "AVG") return VarDiv(r, TVariant(int64_t(args.size())));
    return r;
  }
  if (name == "COUNT") return TVariant(int64_t(args.size()));
  if (name == "UPPER" || name == "LOWER") {
    std::string s = text(0);
    for (char& c : s) {
      if (name == "UPPER" && c >= 'a' && c <= 'z') c = char(c - 32);
      if (name == "LOWER" && c >= 'A' && c <= 'Z') c = char(c + 32);
    }
    return TVariant(s);
  }
  if (name == "SUBSTRING") {
    std::u32string s = decodeUtf8(text(0));
    int64_t start = intOf(1), count = intOf(2);
    if (start < 1) start = 1;
    if (start > int64_t(s.size()) || count <= 0) return TVariant(std::string());
    return TVariant(encodeUtf8(s.substr(size_t(start - 1), size_t(count))));
  }
  if (name == "IIF") return VarToBool(arg(0)) ? arg(1) : arg(2);
  if (name == "TRIM") return TVariant(trimText(text(0), true, true));
  if (name == "TRIMLEFT") return TVariant(trimText(text(0), true, false));
  if (name == "TRIMRIGHT") return TVariant(trimText(text(0), false, true));
  if (name == "GETDATE") {
    return TVariant(Now());
  }
  if (name == "STRTODATE") return TVariant(TDateTime{StrToDate(text(0), loc)});
  if (name == "DATE") return TVariant(std::trunc(num(0)));
  if (name == "TIME") {
    double x = num(0);
    return TVariant(x - std::trunc(x));
  }
  if (name == "YEAR" || name == "MONTH" || name == "DAY" || name == "HOUR" || name == "MINUTE" ||
      name == "SECOND") {
    TDateTimeParts p = DecodeDateTime(num(0));
    int v = name == "YEAR" ? p.year : name == "MONTH" ? p.month : name == "DAY" ? p.day
            : name == "HOUR" ? p.hour : name == "MINUTE" ? p.minute : p.second;
    return TVariant(int64_t(v));
  }
  if (name == "SIN") return TVariant(mathResult(std::sin(num(0))));
  if (name == "COS") return TVariant(mathResult(std::cos(num(0))));
  if (name == "TAN") {
    double x = num(0);
    return TVariant(mathResult(std::sin(x) / std::cos(x)));
  }
  if (name == "ARCSIN") {
    double x = num(0);
    if (!(std::fabs(x) < 1)) throw EMathError("Invalid floating point operation");
    return TVariant(std::atan(x / std::sqrt(1 - x * x)));
  }
  if (name == "ARCCOS") {
    double x = num(0);
    if (!(x >= -1 && x <= 1)) throw EMathError("Invalid floating point operation");
    return TVariant(std::acos(x));
  }
  if (name == "ARCTAN") return TVariant(mathResult(std::atan(num(0))));
  if (name == "EXP") return TVariant(mathResult(std::exp(num(0))));
  if (name == "FRAC") {
    double x = num(0);
    return TVariant(x - std::trunc(x));
  }
  if (name == "INT") return TVariant(std::trunc(num(0)));
  if (name == "ROUND") {
    double r = std::nearbyint(num(0));
    if (!(r >= -9.2e18 && r <= 9.2e18)) throw EMathError("Invalid floating point operation");
    return TVariant(int64_t(r));
  }
  if (name == "DIV") {
    TVariant a = arg(0);
    return VarIntDiv(a, arg(1));
  }
  if (name == "LN" || name == "LOG") {
    double x = num(0);
    if (!(x > 0)) throw EMathError("Invalid floating point operation");
    double r = std::log(x);
    return TVariant(name == "LN" ? r : r / std::log(10.0));
  }
  if (name == "SQR") {
    double x = num(0);
    return TVariant(mathResult(x * x));
  }
  if (name == "SQRT") {
    double x = num(0);
    if (x < 0) throw EMathError("Invalid floating point operation");
    return TVariant(std::sqrt(x));
  }
  if (name == "ABS") return TVariant(std::fabs(num(0)));
  if (name == "POWER") {
    double x = num(0);
    return TVariant(power(x, num(1)));
  }
  if (name == "RANDOM") {
    int32_t range = intOf(0);
    if (range <= 0) return TVariant(int64_t(0));
    return TVariant(int64_t(std::uniform_int_distribution<int32_t>(0, range - 1)(randomGenerator())));
  }
  if (name == "ORD") {
    std::u32string s = decodeUtf8(text(0));
    // Undefined for an empty text; 0 keeps it harmless.
    return TVariant(int64_t(s.empty() ? 0 : (s[0] > 0xFFFF ? 0xFFFD : s[0])));
  }
  if (name == "CHR") {
    char32_t c = char32_t(uint32_t(intOf(0)) & 0xFFFF);
    return TVariant(encodeUtf8(std::u32string(1, c)));
  }
  if (name == "STRTOINT") return TVariant(StrToInt(text(0)));
  if (name == "INTTOSTR") return TVariant(std::to_string(intOf(0)));
  if (name == "STRTOFLOAT") return TVariant(StrToFloat(text(0), loc));
  if (name == "FLOATTOSTR") {
    TVariant v = arg(0);
    double d = 0;
    try {
      if (!v.isNull()) d = VarToFloat(v, loc);
    } catch (const EConvertError&) {
      d = 0;
    }
    return TVariant(FloatToStr(d, loc));
  }
  if (name == "DATETOSTR") return TVariant(FormatDateTimeText(loc.shortDateFormat, std::trunc(num(0)), loc));
  return TVariant();  // COUNT(*)
}

TVariant EvaluateValue(const TExprEnvironment* env, const std::string& expression,
                       TGetVariableEvent variableEvent) {
  TExprParser parser(env, expression, std::move(variableEvent));
  // The constructor leaves an empty text unparsed; evaluating it is still an error.
  if (expression.empty()) parser.SetExprParams(expression);
  return parser.Evaluate();
}

bool ValueIsField(const TExprEnvironment* env, const std::string& expression,
                  TGetVariableEvent variableEvent) {
  if (expression.empty()) return false;
  TExprParser parser(env, expression, std::move(variableEvent));
  TExprNode* last = parser.LastNode();
  return last && last->FKind == TExprNodeKind::enField;
}

}  // namespace zd
