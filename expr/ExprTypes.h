#pragma once
// The vocabulary of parsed expressions: tokens, node kinds, operators,
// logical type codes and the tree node itself.
#include <array>
#include <cstdint>
#include <vector>

#include "host/core/Variant.h"
#include "host/data/FieldType.h"

namespace zd {

struct TExprFunction;

// Logical type codes carried by every node.
enum : int32_t {
  ltUnknown = 0, ltString = 1, ltDate = 2, ltBlob = 3, ltBoolean = 4, ltInt16 = 5, ltInt32 = 6,
  ltFloat = 7, ltBCD = 8, ltBytes = 9, ltTime = 10, ltDateTime = 11, ltUInt16 = 12
};

// Indexed by the ordinal of the data layer's field type in its classic
// 52-value order; the data layer's TFieldType holds the first of them.
constexpr int kFieldTypeOrdinals = 52;
extern const std::array<int32_t, kFieldTypeOrdinals> FldTypeMap;
// ltUnknown for an ordinal outside the table.
int32_t FldTypeCode(TFieldType type);

bool IsNumeric(int32_t code);   // 5-8
bool IsTemporal(int32_t code);  // 2, 10, 11

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

struct TExprNode {
  TExprNode* FNext = nullptr;  // the node created before this one
  TExprNodeKind FKind = TExprNodeKind::enConst;
  ZdCANOp FOperator = ZdCANOp::canNOTDEFINED;
  // Field: the reference as written; constant: its value; function: its name.
  TVariant FData;
  TExprNode* FLeft = nullptr;
  TExprNode* FRight = nullptr;
  int32_t FDataType = ltUnknown;
  std::vector<TExprNode*> FArgs;  // call arguments or the IN list
  TFieldKind FFieldKind = TFieldKind::fkData;  // of a resolved field, for validation
  int FHeight = 1;                             // of the subtree, to bound evaluation depth
  const TExprFunction* FFunction = nullptr;    // of a call, looked up once when parsed
};

}  // namespace zd
