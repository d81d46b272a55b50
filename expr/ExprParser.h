#pragma once
// Parsing, type checking and evaluation of report expressions. A parser
// parses its text once, in its constructor; Evaluate may then be called as
// often as wanted: fields are read anew at every evaluation, variables were
// fixed when the text was parsed.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/ExprErrors.h"
#include "expr/ExprScanner.h"
#include "expr/ExprTypes.h"
#include "expr/FieldResolver.h"
#include "host/core/Component.h"
#include "host/core/Variant.h"

namespace zd {

// Variable callback: Sender comes in as nullptr, Accept false, VariableType
// ftString and Value Empty. The same type as the print engine's, so that a
// report passes its ZdqGetVariable unchanged.
using TGetVariableEvent = std::function<void(TComponent* sender, const std::string& variableName,
                                             bool& accept, TFieldType& variableType, TVariant& value)>;

// Node factory: owns every node of one parse and resolves names as nodes
// are made.
class TFilterExpr {
 public:
  // Variable lookups that parse further expressions may nest this deep;
  // deeper means variables that refer to each other.
  static constexpr int kMaxVariableNesting = 32;

  TFilterExpr(const TExprDataManager* dataManager, TGetVariableEvent variableEvent)
      : FDataManager(dataManager), FVariableEvent(std::move(variableEvent)) {}
  TFilterExpr(const TFilterExpr&) = delete;
  TFilterExpr& operator=(const TFilterExpr&) = delete;

  // A field node is resolved at once: to a field, else through the variable
  // callback to a constant, else "Field '%s' not found".
  TExprNode* NewNode(TExprNodeKind kind, ZdCANOp op, const TVariant& data, TExprNode* left,
                     TExprNode* right);
  TExprNode* LastNode() const { return FNodes; }
  const TExprDataManager* DataManager() const { return FDataManager; }

 private:
  void ResolveName(TExprNode* node);

  const TExprDataManager* FDataManager;
  TGetVariableEvent FVariableEvent;
  TExprNode* FNodes = nullptr;
  std::vector<std::unique_ptr<TExprNode>> FStore;
};

class TExprParser {
 public:
  // Deepest nesting of the text (each level costs several stack frames) and
  // height of the tree; deeper input is an error, not a stack overflow.
  static constexpr int kMaxNesting = 64;
  static constexpr int kMaxDepth = 200;

  // Parses a non-empty text at once; every syntax, name and type error
  // raises from here.
  TExprParser(const TExprDataManager* dataManager, const std::string& text,
              TGetVariableEvent variableEvent = {});
  TExprParser(const TExprParser&) = delete;
  TExprParser& operator=(const TExprParser&) = delete;

  void SetExprParams(const std::string& text);
  // The value of the root; Null before a text was parsed.
  TVariant Evaluate() const { return EvalNode(FRoot); }
  TVariant EvalNode(const TExprNode* node) const;

  TExprNode* Root() const { return FRoot; }
  TExprNode* LastNode() const { return FFilter.LastNode(); }

  static bool TokenSymbolIsFunc(const std::string& s);

 private:
  TExprNode* ParseExpr();
  TExprNode* ParseExpr2();
  TExprNode* ParseExpr3();
  TExprNode* ParseExpr4();
  TExprNode* ParseInList(TExprNode* tested);
  TExprNode* ParseExpr5();
  TExprNode* ParseExpr6();
  TExprNode* ParseExpr7();
  TExprNode* ParseFunctionCall();
  TExprNode* ParseLiteral();
  // Reads "expr {, expr} )" after a "(" that is already consumed.
  std::vector<TExprNode*> ParseList();
  void AdoptArgs(TExprNode* node, std::vector<TExprNode*> args);

  void TypeCheckComparison(TExprNode* node);
  void TypeCheckArithOp(TExprNode* node);
  void GetFuncResultInfo(TExprNode* node);
  void Validate(const TExprNode* node, bool nullAllowed) const;
  void ValidateConst(const TExprNode* node) const;

  TFilterExpr FFilter;
  TExprScanner FScanner;
  const std::string FStrTrue = "True", FStrFalse = "False";
  int FDepth = 0;
  TExprNode* FRoot = nullptr;
};

// Parses and evaluates one text; an empty text is a syntax error.
TVariant EvaluateValue(const TExprDataManager* dataManager, const std::string& expression,
                       TGetVariableEvent variableEvent = {});
// False for an empty text; otherwise parses it and tells whether the node
// created last is a field reference (also true for a call whose last
// argument is one, as a call's node is made before its arguments).
bool ValueIsField(const TExprDataManager* dataManager, const std::string& expression,
                  TGetVariableEvent variableEvent = {});

}  // namespace zd
