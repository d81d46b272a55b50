#pragma once
// Expression language: scanner, recursive-descent parser with type rules,
// validation and evaluation. Fields and variables come in through seams so
// that this library does not depend on the dataset layer.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "expr/ExprValue.h"
#include "host/core/Variant.h"

namespace zd {

// Dataset field types, ordinals as the host's dataset layer numbers them.
enum class TExprFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftFixedWideChar, ftWideMemo,
  ftOraTimeStamp, ftOraInterval, ftLongWord, ftShortint, ftByte, ftExtended, ftConnection,
  ftParams, ftStream, ftTimeStampOffset, ftObject, ftSingle
};
constexpr int kFieldTypeCount = 52;

enum class TExprFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

// Logical type codes carried by every node.
enum : int32_t {
  ltUnknown = 0, ltString = 1, ltDate = 2, ltBlob = 3, ltBoolean = 4, ltInt16 = 5, ltInt32 = 6,
  ltFloat = 7, ltBCD = 8, ltBytes = 9, ltTime = 10, ltDateTime = 11, ltUInt16 = 12
};
extern const std::array<int32_t, kFieldTypeCount> FldTypeMap;
inline int32_t fldTypeCode(TExprFieldType t) { return FldTypeMap[size_t(t)]; }
bool IsNumeric(int32_t code);
bool IsTemporal(int32_t code);

enum class TExprToken {
  etEnd, etSymbol, etName, etLiteral, etLParen, etRParen, etEQ, etNE, etGE, etLE, etGT, etLT,
  etADD, etSUB, etMUL, etDIV, etComma, etLIKE, etISNULL, etISNOTNULL, etIN
};
enum class TExprNodeKind { enField, enConst, enOperator, enFunc };
enum class ZdCANOp {
  canNOTDEFINED, canISBLANK, canNOTBLANK, canEQ, canNE, canGT, canLT, canGE, canLE, canNOT,
  canAND, canOR, canFIELD2, canCONST2, canMINUS, canADD, canSUB, canMUL, canDIV, canMOD,
  canSUM, canCOUNT, canMIN, canMAX, canAVG, canLIKE, canIN, canFUNC2, canLISTELEM2, canASSIGN
};

// A field as the expression sees it; read again at every evaluation.
class TExprField {
 public:
  virtual ~TExprField() = default;
  virtual TExprFieldType DataType() const = 0;
  virtual TExprFieldKind FieldKind() const { return TExprFieldKind::fkData; }
  virtual TVariant Value() const = 0;  // Null for a Null field
};

// Resolves field reference texts ("Amount", "Orders.Amount") to fields.
class TExprEnvironment {
 public:
  virtual ~TExprEnvironment() = default;
  // The field, or nullptr; the environment keeps it alive for the parse and evaluation.
  virtual const TExprField* FindField(const std::string& reference) const = 0;
};

// Splits a reference into dataset and field names by the dotted-name rules:
// "Amount" -> ("", "Amount"), "Orders.Amount" -> ("Orders", "Amount"),
// "Report.Orders.Amount" -> ("Orders", "Amount"). The field part is cut to 255 characters.
struct TFieldReference {
  std::string dataset, field;
};
TFieldReference SplitFieldReference(const std::string& reference);

// Variable callback: Accept comes in false, VariableType as ftString, Value Empty.
using TGetVariableEvent = std::function<void(void* Sender, const std::string& VariableName,
                                             bool& Accept, TExprFieldType& VariableType,
                                             TVariant& Value)>;

struct TExprNode {
  TExprNode* FNext = nullptr;
  TExprNodeKind FKind = TExprNodeKind::enConst;
  ZdCANOp FOperator = ZdCANOp::canNOTDEFINED;
  TVariant FData;
  TExprNode* FLeft = nullptr;
  TExprNode* FRight = nullptr;
  int32_t FDataType = ltUnknown;
  std::vector<TExprNode*> FArgs;
  TExprFieldKind FFieldKind = TExprFieldKind::fkData;  // of a resolved field
  int FDepth = 1;                                      // height of the subtree
};

// Node factory: owns every node of one parse.
class TFilterExpr {
 public:
  TFilterExpr(const TExprEnvironment* env, TGetVariableEvent variableEvent)
      : FEnvironment(env), FVariableEvent(std::move(variableEvent)) {}
  TExprNode* NewNode(TExprNodeKind kind, ZdCANOp op, const TVariant& data, TExprNode* left,
                     TExprNode* right);
  TExprNode* LastNode() const { return FNodes; }
  const TExprEnvironment* Environment() const { return FEnvironment; }

 private:
  const TExprEnvironment* FEnvironment;
  TGetVariableEvent FVariableEvent;
  TExprNode* FNodes = nullptr;
  std::vector<std::unique_ptr<TExprNode>> FStore;
};

class TExprParser {
 public:
  // Deepest nesting accepted; deeper input is an error, not a stack overflow.
  static constexpr int kMaxDepth = 200;

  TExprParser(const TExprEnvironment* env, const std::string& text,
              TGetVariableEvent variableEvent = {});
  void SetExprParams(const std::string& text);
  TVariant Evaluate();
  TExprNode* Root() const { return FRoot; }
  TExprNode* LastNode() const { return FFilter.LastNode(); }

  static bool TokenSymbolIsFunc(const std::string& s);

 private:
  void NextToken();
  bool NextTokenIsLParen() const;
  bool TokenSymbolIs(const char* s) const;
  std::string TokenName() const;
  TExprNode* ParseExpr();
  TExprNode* ParseExpr2();
  TExprNode* ParseExpr3();
  TExprNode* ParseExpr4();
  TExprNode* ParseExpr5();
  TExprNode* ParseExpr6();
  TExprNode* ParseExpr7();
  void TypeCheckArithOp(TExprNode* node);
  void GetFuncResultInfo(TExprNode* node);
  void Validate(TExprNode* node, bool skipNullConst);
  void ValidateConst(TExprNode* node);
  TVariant EvalNode(TExprNode* node);
  TVariant EvalFunc(TExprNode* node);

  TFilterExpr FFilter;
  std::u32string FText;
  size_t FSourcePtr = 0, FTokenPtr = 0;
  std::string FTokenString;
  std::string FStrTrue = "True", FStrFalse = "False";
  TExprToken FToken = TExprToken::etEnd, FPrevToken = TExprToken::etEnd;
  bool FNumericLit = false;
  int FDepth = 0;
  TExprNode* FRoot = nullptr;
};

// Parses and evaluates one expression text.
TVariant EvaluateValue(const TExprEnvironment* env, const std::string& expression,
                       TGetVariableEvent variableEvent = {});
// True when the node created last while parsing is a field reference.
bool ValueIsField(const TExprEnvironment* env, const std::string& expression,
                  TGetVariableEvent variableEvent = {});

}  // namespace zd
