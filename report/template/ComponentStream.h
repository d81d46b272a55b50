#pragma once
// The binary component stream ("TPF0"): an object with its class name, name,
// property records and child objects, held as a plain tree so that it can be
// read without knowing the classes (dump) and checked before any object is
// touched (load). Strings in the tree are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/core/Errors.h"
#include "host/core/Properties.h"

namespace zd {

// A malformed or truncated stream, or content that does not fit the objects
// it is read into; the message names the byte offset.
class ETemplateError : public EZdError {
 public:
  using EZdError::EZdError;
};

enum class TValueTag : uint8_t {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary,
  vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String,
  vaDouble
};

struct TStreamItem;

// A float as the stream holds it, bit for bit, so that writing gives back
// what was read: single in the low 32 bits, double and date in all 64 of
// low, extended as its 64-bit mantissa in low and sign and exponent in high.
struct TFloatBits {
  uint64_t low = 0;
  uint16_t high = 0;
  bool operator==(const TFloatBits&) const = default;
};

struct TStreamValue {
  TValueTag tag = TValueTag::vaNull;
  int64_t integer = 0;     // integer tags; currency in ten-thousandths
  TFloatBits floatBits;    // vaExtended, vaSingle, vaDouble, vaDate
  std::string text;        // string tags (UTF-8) and identifiers
  TBytes bytes;            // vaBinary
  std::vector<std::string> members;  // vaSet
  std::vector<TStreamValue> list;    // vaList
  std::vector<TStreamItem> items;    // vaCollection

  static TStreamValue Integer(int64_t v);  // the narrowest integer tag
  static TStreamValue Integer(int64_t v, TValueTag tag);
  // Extended unless another float tag (single, double, date) is given.
  static TStreamValue Float(double v, TValueTag tag = TValueTag::vaExtended);
  static TStreamValue String(std::string utf8);  // 8-bit tags for ASCII, else UTF-8
  static TStreamValue Ident(std::string name);
  static TStreamValue Boolean(bool v);
  static TStreamValue Of(TValueTag tag);
  bool IsInteger() const;
  bool IsFloat() const;   // any float tag, currency and date included
  bool IsString() const;  // any string tag, identifiers excluded
  double AsFloat() const;  // integer and float tags
};

struct TStreamProperty {
  std::string name;  // dotted path for fields of owned objects
  TStreamValue value;
  size_t offset = 0;  // of the name in the stream
};

struct TStreamItem {
  std::optional<TStreamValue> index;  // an Int8, Int16 or Int32 value
  std::vector<TStreamProperty> properties;
  size_t offset = 0;
};

struct TStreamObject {
  uint8_t flags = 0;  // low bits of the prefix byte: 1 inherited, 2 child position, 4 inline
  TStreamValue childPos;  // an integer, with flag 2
  std::string className, name;
  std::vector<TStreamProperty> properties;
  std::vector<TStreamObject> children;
  size_t offset = 0;  // of the class name (or prefix) in the stream
};

// "TPF0" and the object tree. What was read writes back byte for byte, but
// for wide strings with lone surrogates (read as U+FFFD). Raises
// ETemplateError for a tree the format cannot hold or would read back
// differently (a value outside its integer tag, text an 8-bit tag cannot
// encode, Null in a list, an empty set member, ...).
TBytes WriteComponentStream(const TStreamObject& root);
// Whether utf8 can be stored under a string tag: the 8-bit tags take only
// Windows-1252 characters (the short one at most 255 of them), the wide one
// valid UTF-8, the UTF-8 one any bytes.
bool FitsStringTag(const std::string& utf8, TValueTag tag);

// Reads "TPF0" and one object from data[begin, end); offsets in messages and
// in the tree count from the start of data. Raises ETemplateError.
TStreamObject ReadComponentStream(const TBytes& data, size_t begin, size_t end);

// Nesting allowed for objects, lists and collections together.
constexpr int kMaxStreamDepth = 64;

}  // namespace zd
