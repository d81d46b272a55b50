#include "expr/ExprParser.h"

#include <algorithm>

#include "expr/ExprFunctions.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"

namespace zd {

using enum TExprToken;
using enum ZdCANOp;
using enum TExprNodeKind;

namespace {

[[noreturn]] void fail(const std::string& msg) { throw EExprError(msg); }
[[noreturn]] void tooDeep() { fail("Expression is too deeply nested"); }
[[noreturn]] void typeMismatch() { fail("Type mismatch in expression"); }

constexpr const char* kCountStar = "COUNT(*)";

// Counts the lookups of variables in progress on this thread, which grow
// when a variable's value is itself computed from an expression.
thread_local int variableNesting = 0;

class TNestingGuard {
 public:
  TNestingGuard(int& counter, int limit, const std::string& name) : counter_(counter) {
    if (counter_ >= limit)
      fail("Variable '" + name + "' refers back to itself: more than " + std::to_string(limit) +
           " nested variable lookups");
    ++counter_;
  }
  ~TNestingGuard() { --counter_; }
  TNestingGuard(const TNestingGuard&) = delete;
  TNestingGuard& operator=(const TNestingGuard&) = delete;

 private:
  int& counter_;
};

class TDepthGuard {
 public:
  explicit TDepthGuard(int& depth) : depth_(depth) {
    if (depth_ >= TExprParser::kMaxNesting) tooDeep();
    ++depth_;
  }
  ~TDepthGuard() { --depth_; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;

 private:
  int& depth_;
};

bool isConst(const TExprNode* n) { return n && n->FKind == enConst; }
bool isField(const TExprNode* n) { return n && n->FKind == enField; }
bool isNullConst(const TExprNode* n) { return isConst(n) && n->FData.isNull(); }

// Arguments of a call node, evaluated when the function reads them.
class TNodeArgs : public TExprCallArgs {
 public:
  TNodeArgs(const TExprParser& parser, const std::vector<TExprNode*>& nodes)
      : parser_(parser), nodes_(nodes) {}
  size_t Count() const override { return nodes_.size(); }
  TVariant Value(size_t index) override {
    if (index >= nodes_.size())
      throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return parser_.EvalNode(nodes_[index]);
  }

 private:
  const TExprParser& parser_;
  const std::vector<TExprNode*>& nodes_;
};

}  // namespace

// ---- node factory ----

TExprNode* TFilterExpr::NewNode(TExprNodeKind kind, ZdCANOp op, const TVariant& data,
                                TExprNode* left, TExprNode* right) {
  auto node = std::make_unique<TExprNode>();
  node->FKind = kind;
  node->FOperator = op;
  node->FData = data;
  node->FLeft = left;
  node->FRight = right;
  node->FHeight = 1 + std::max(left ? left->FHeight : 0, right ? right->FHeight : 0);
  if (node->FHeight > TExprParser::kMaxDepth) tooDeep();
  node->FNext = FNodes;
  if (kind == enField) ResolveName(node.get());
  FStore.push_back(std::move(node));
  FNodes = FStore.back().get();
  return FNodes;
}

void TFilterExpr::ResolveName(TExprNode* node) {
  const std::string name = node->FData.kind() == TVarKind::String ? node->FData.asString() : "";
  if (const TExprField* field = GetFieldByName(FDataManager, name)) {
    node->FDataType = FldTypeCode(field->DataType());
    node->FFieldKind = field->FieldKind();
    return;
  }
  bool accept = false;
  TFieldType type = TFieldType::ftString;
  TVariant value = TVariant::empty();
  if (FVariableEvent) {
    TNestingGuard guard(variableNesting, kMaxVariableNesting, name);
    FVariableEvent(nullptr, name, accept, type, value);
  }
  if (!accept) fail("Field '" + name + "' not found");
  node->FKind = enConst;
  node->FData = std::move(value);
  node->FDataType = FldTypeCode(type);
}

// ---- parser ----

bool TExprParser::TokenSymbolIsFunc(const std::string& s) { return FindExprFunction(s) != nullptr; }

TExprParser::TExprParser(const TExprDataManager* dataManager, const std::string& text,
                         TGetVariableEvent variableEvent)
    : FFilter(dataManager, std::move(variableEvent)) {
  if (!text.empty()) SetExprParams(text);
}

void TExprParser::SetExprParams(const std::string& text) {
  FScanner = TExprScanner(text);
  FDepth = 0;
  FScanner.NextToken();
  FRoot = ParseExpr();
  if (FScanner.Token() != etEnd) fail("Expression incorrectly terminated");
  Validate(FRoot, false);
}

TExprNode* TExprParser::ParseExpr() {
  TDepthGuard guard(FDepth);
  TExprNode* left = ParseExpr2();
  while (FScanner.TokenSymbolIs("OR")) {
    FScanner.NextToken();
    TExprNode* right = ParseExpr2();
    left = FFilter.NewNode(enOperator, canOR, TVariant(), left, right);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr2() {
  TExprNode* left = ParseExpr3();
  while (FScanner.TokenSymbolIs("AND")) {
    FScanner.NextToken();
    TExprNode* right = ParseExpr3();
    left = FFilter.NewNode(enOperator, canAND, TVariant(), left, right);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr3() {
  if (!FScanner.TokenSymbolIs("NOT")) return ParseExpr4();
  FScanner.NextToken();
  TExprNode* operand = ParseExpr4();
  return FFilter.NewNode(enOperator, canNOT, TVariant(), operand, nullptr);
}

TExprNode* TExprParser::ParseExpr4() {
  TExprNode* left = ParseExpr5();
  ZdCANOp op;
  switch (FScanner.Token()) {
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
  FScanner.NextToken();
  if (op == canIN) return ParseInList(left);
  TExprNode* right = op == canISBLANK || op == canNOTBLANK ? nullptr : ParseExpr5();
  TExprNode* node = FFilter.NewNode(enOperator, op, TVariant(), left, right);
  TypeCheckComparison(node);
  return node;
}

TExprNode* TExprParser::ParseInList(TExprNode* tested) {
  if (FScanner.Token() != etLParen) fail("'(' expected but " + FScanner.TokenName() + " found");
  FScanner.NextToken();
  if (FScanner.Token() == etRParen) fail("IN predicate list may not be empty");
  std::vector<TExprNode*> list = ParseList();
  FScanner.NextToken();  // ")"
  TExprNode* node = FFilter.NewNode(enOperator, canIN, TVariant(), tested, nullptr);
  AdoptArgs(node, std::move(list));
  if (IsTemporal(tested->FDataType))
    for (TExprNode* element : node->FArgs) element->FDataType = tested->FDataType;
  return node;
}

std::vector<TExprNode*> TExprParser::ParseList() {
  std::vector<TExprNode*> list;
  for (;;) {
    list.push_back(ParseExpr());
    if (FScanner.Token() == etRParen) return list;
    if (FScanner.Token() != etComma)
      fail("')' or ',' expected but " + FScanner.TokenName() + " found");
    FScanner.NextToken();
  }
}

void TExprParser::AdoptArgs(TExprNode* node, std::vector<TExprNode*> args) {
  for (const TExprNode* a : args) node->FHeight = std::max(node->FHeight, a->FHeight + 1);
  if (node->FHeight > kMaxDepth) tooDeep();
  node->FArgs = std::move(args);
}

void TExprParser::TypeCheckComparison(TExprNode* node) {
  TExprNode* l = node->FLeft;
  TExprNode* r = node->FRight;
  const ZdCANOp op = node->FOperator;
  if (isField(l) && isConst(r)) r->FDataType = l->FDataType;
  else if (isField(r) && isConst(l)) l->FDataType = r->FDataType;
  if (l->FDataType == ltBlob && op == canLIKE) {
    if (isConst(r)) r->FDataType = ltString;
  } else if (op != canISBLANK && op != canNOTBLANK) {
    auto binary = [](const TExprNode* n) { return n && (n->FDataType == ltBlob || n->FDataType == ltBytes); };
    if (binary(l) || binary(r)) typeMismatch();
  }
  node->FDataType = ltBoolean;
  if (!r) return;
  if (IsTemporal(l->FDataType) && r->FDataType == ltString) r->FDataType = l->FDataType;
  else if (IsTemporal(r->FDataType) && l->FDataType == ltString) l->FDataType = r->FDataType;
}

TExprNode* TExprParser::ParseExpr5() {
  TExprNode* left = ParseExpr6();
  while (FScanner.Token() == etADD || FScanner.Token() == etSUB) {
    const ZdCANOp op = FScanner.Token() == etADD ? canADD : canSUB;
    FScanner.NextToken();
    TExprNode* right = ParseExpr6();
    left = FFilter.NewNode(enOperator, op, TVariant(), left, right);
    TypeCheckArithOp(left);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr6() {
  TExprNode* left = ParseExpr7();
  while (FScanner.Token() == etMUL || FScanner.Token() == etDIV) {
    const ZdCANOp op = FScanner.Token() == etMUL ? canMUL : canDIV;
    FScanner.NextToken();
    TExprNode* right = ParseExpr7();
    left = FFilter.NewNode(enOperator, op, TVariant(), left, right);
    TypeCheckArithOp(left);
  }
  return left;
}

TExprNode* TExprParser::ParseExpr7() {
  TExprNode* result = nullptr;
  const std::string& text = FScanner.TokenString();
  switch (FScanner.Token()) {
    case etSymbol:
      if (FScanner.NextTokenIsLParen() && TokenSymbolIsFunc(text)) {
        result = ParseFunctionCall();
      } else if (FScanner.TokenSymbolIs("NULL")) {
        result = FFilter.NewNode(enConst, canNOTDEFINED, TVariant(), nullptr, nullptr);
      } else if (SameText(text, FStrTrue) || SameText(text, FStrFalse)) {
        const int truth = SameText(text, FStrTrue) ? 1 : 0;
        result = FFilter.NewNode(enConst, canNOTDEFINED, TVariant(truth), nullptr, nullptr);
        result->FDataType = ltBoolean;
      } else {
        result = FFilter.NewNode(enField, canNOTDEFINED, TVariant(text), nullptr, nullptr);
      }
      break;
    case etName:
      result = FFilter.NewNode(enField, canNOTDEFINED, TVariant(text), nullptr, nullptr);
      break;
    case etLiteral:
      result = ParseLiteral();
      break;
    case etLParen:
      FScanner.NextToken();
      result = ParseExpr();
      if (FScanner.Token() != etRParen) fail("')' expected but " + FScanner.TokenName() + " found");
      break;
    default:
      fail("Expression expected but " + FScanner.TokenName() + " found");
  }
  FScanner.NextToken();
  return result;
}

// Leaves the call's ")" as the current token.
TExprNode* TExprParser::ParseFunctionCall() {
  std::string name = FScanner.TokenString();
  FScanner.NextToken();  // "("
  FScanner.NextToken();
  if (SameText(name, "count") && FScanner.Token() == etMUL) {
    name = kCountStar;
    FScanner.NextToken();
  }
  // The call's node is created before its arguments' nodes.
  TExprNode* node = FFilter.NewNode(enFunc, canNOTDEFINED, TVariant(name), nullptr, nullptr);
  if (FScanner.Token() != etRParen) AdoptArgs(node, ParseList());
  GetFuncResultInfo(node);
  return node;
}

TExprNode* TExprParser::ParseLiteral() {
  const std::string& text = FScanner.TokenString();
  TExprNode* node;
  if (FScanner.NumericLit()) {
    // Literals are written with "." whatever the locale.
    double v;
    if (!TryStrToFloat(text, v, '.')) throw EConvertError("'" + text + "' is not a valid floating point value");
    node = FFilter.NewNode(enConst, canNOTDEFINED, TVariant(v), nullptr, nullptr);
    node->FDataType = ltFloat;
  } else {
    node = FFilter.NewNode(enConst, canNOTDEFINED, TVariant(text), nullptr, nullptr);
    node->FDataType = ltString;
  }
  return node;
}

void TExprParser::TypeCheckArithOp(TExprNode* node) {
  TExprNode* l = node->FLeft;
  TExprNode* r = node->FRight;
  const int32_t lt = l->FDataType, rt = r->FDataType;
  const ZdCANOp op = node->FOperator;
  if (IsNumeric(lt) && IsNumeric(rt)) {
    node->FDataType = ltFloat;
  } else if (lt == ltString && rt == ltString && op == canADD) {
    node->FDataType = ltString;
  } else if (IsTemporal(lt) && IsNumeric(rt) && op == canADD) {
    node->FDataType = ltDateTime;
  } else if (IsTemporal(lt) && IsNumeric(rt) && op == canSUB) {
    node->FDataType = lt;
  } else if (IsTemporal(lt) && IsTemporal(rt) && op == canSUB) {
    node->FDataType = ltFloat;
  } else if (lt == ltString && IsTemporal(rt) && op == canSUB) {
    l->FDataType = rt;
    node->FDataType = ltFloat;
  } else if (lt == ltString && IsNumeric(rt) && isConst(l)) {
    l->FDataType = ltDateTime;  // the node itself stays untyped
  } else {
    typeMismatch();
  }
}

void TExprParser::GetFuncResultInfo(TExprNode* node) {
  const std::string name = node->FData.asString();
  if (name == kCountStar) {
    node->FDataType = ltInt32;
    return;
  }
  const TExprFunction* f = FindExprFunction(name);
  node->FFunction = f;
  if (node->FArgs.empty() && !SameText(name, "GETDATE")) typeMismatch();
  if (f->ResultType == TExprFunction::kFirstArgType) node->FDataType = node->FArgs[0]->FDataType;
  else if (f->ResultType == TExprFunction::kSecondArgType)
    node->FDataType = node->FArgs.size() > 1 ? node->FArgs[1]->FDataType : ltUnknown;
  else node->FDataType = f->ResultType;
}

// ---- validation ----

void TExprParser::ValidateConst(const TExprNode* n) const {
  const TVariant& v = n->FData;
  const int32_t t = n->FDataType;
  static const int32_t kAllowed[] = {1, 2, 4, 5, 6, 7, 8, 10, 11, 12};
  if (v.isNull() || std::find(std::begin(kAllowed), std::end(kAllowed), t) == std::end(kAllowed))
    fail("Constant is not correct type " + VarToStr(v));
  // The constant must convert to the type it carries.
  if (v.kind() == TVarKind::String) {
    const std::string& s = v.asString();
    if (t == ltDate) StrToDate(s);
    else if (t == ltTime) StrToTime(s);
    else if (t == ltDateTime) StrToDateTime(s);
    else if (t == ltBoolean) VarToBool(v);
    else if (IsNumeric(t)) StrToFloat(s);
  }
  if (t == ltInt16 || t == ltUInt16) {
    const double d = VarToFloat(v);
    if (t == ltInt16 ? (d < -32768 || d > 32767) : (d < 0 || d > 65535)) fail("Constant out of range");
  }
}

// nullAllowed: the node is one side of field = NULL or field <> NULL.
void TExprParser::Validate(const TExprNode* n, bool nullAllowed) const {
  if (!n) return;
  switch (n->FKind) {
    case enField:
      if (n->FFieldKind != TFieldKind::fkData && n->FFieldKind != TFieldKind::fkInternalCalc)
        fail("Field '" + VarToStr(n->FData) + "' cannot be used in an expression");
      return;
    case enConst:
      if (!(nullAllowed && n->FData.isNull())) ValidateConst(n);
      return;
    case enOperator: {
      const TExprNode* l = n->FLeft;
      const TExprNode* r = n->FRight;
      const bool fieldAndNull = (isField(l) && isNullConst(r)) || (isField(r) && isNullConst(l));
      if (fieldAndNull && n->FOperator == canLIKE) fail("NULL only allowed with '=' and '<>'");
      const bool allowed = fieldAndNull && (n->FOperator == canEQ || n->FOperator == canNE);
      Validate(l, allowed);
      Validate(r, allowed);
      for (const TExprNode* a : n->FArgs) Validate(a, false);
      return;
    }
    case enFunc:
      for (const TExprNode* a : n->FArgs) Validate(a, false);
      return;
  }
}

// ---- evaluation ----

TVariant TExprParser::EvalNode(const TExprNode* n) const {
  if (!n) return TVariant();
  switch (n->FKind) {
    case enField: {
      const TExprField* f = GetFieldByName(FFilter.DataManager(), VarToStr(n->FData));
      return f ? f->Value() : TVariant();
    }
    case enConst: return n->FData;
    case enFunc: {
      if (!n->FFunction) return TVariant();  // COUNT(*)
      TNodeArgs args(*this, n->FArgs);
      return n->FFunction->Evaluate(args);
    }
    case enOperator: break;
  }
  switch (n->FOperator) {
    case canISBLANK: return TVariant(EvalNode(n->FLeft).isNull());
    case canNOTBLANK: return TVariant(!EvalNode(n->FLeft).isNull());
    case canEQ: case canNE: case canGT: case canLT: case canGE: case canLE: {
      const TVariant a = EvalNode(n->FLeft);
      const TVariant b = EvalNode(n->FRight);
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
      // Both sides are always evaluated.
      const bool a = VarToBool(EvalNode(n->FLeft));
      const bool b = VarToBool(EvalNode(n->FRight));
      return TVariant(n->FOperator == canAND ? a && b : a || b);
    }
    case canADD: return VarAdd(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canSUB: return VarSub(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMUL: return VarMul(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canDIV: return VarDiv(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMOD: return VarMod(EvalNode(n->FLeft), EvalNode(n->FRight));
    case canMINUS: return VarNeg(n->FData);
    default: return TVariant();  // LIKE, IN and the reserved operators have no value
  }
}

// ---- entry points ----

TVariant EvaluateValue(const TExprDataManager* dataManager, const std::string& expression,
                       TGetVariableEvent variableEvent) {
  TExprParser parser(dataManager, expression, std::move(variableEvent));
  if (expression.empty()) parser.SetExprParams(expression);  // raises: nothing to evaluate
  return parser.Evaluate();
}

bool ValueIsField(const TExprDataManager* dataManager, const std::string& expression,
                  TGetVariableEvent variableEvent) {
  if (expression.empty()) return false;
  const TExprParser parser(dataManager, expression, std::move(variableEvent));
  const TExprNode* last = parser.LastNode();
  return last && last->FKind == enField;
}

}  // namespace zd
