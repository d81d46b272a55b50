// Any text must parse and evaluate to a value or raise a std::runtime_error.
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

#include "expr/ExprParser.h"

namespace {

struct TField : zd::TExprField {
  zd::TExprFieldType type;
  zd::TVariant value;
  TField(zd::TExprFieldType t, zd::TVariant v) : type(t), value(std::move(v)) {}
  zd::TExprFieldType DataType() const override { return type; }
  zd::TVariant Value() const override { return value; }
};

struct TEnv : zd::TExprEnvironment {
  std::map<std::string, TField> fields{
      {"A", {zd::TExprFieldType::ftInteger, 7}},
      {"N", {zd::TExprFieldType::ftFloat, zd::TVariant()}},
      {"S", {zd::TExprFieldType::ftString, "text"}},
      {"D", {zd::TExprFieldType::ftDateTime, zd::TVariant(zd::TDateTime{45000.5})}},
      {"M", {zd::TExprFieldType::ftMemo, "memo"}},
  };
  const zd::TExprField* FindField(const std::string& ref) const override {
    auto it = fields.find(zd::SplitFieldReference(ref).field);
    return it == fields.end() ? nullptr : &it->second;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TEnv env;
  std::string text(reinterpret_cast<const char*>(data), size);
  zd::TGetVariableEvent vars = [](void*, const std::string& name, bool& accept,
                                  zd::TExprFieldType& type, zd::TVariant& value) {
    if (name == "V") {
      accept = true;
      type = zd::TExprFieldType::ftSmallint;
      value = 12;
    }
  };
  try {
    zd::TVariant v = zd::EvaluateValue(&env, text, vars);
    (void)zd::VarToStr(v);
  } catch (const std::runtime_error&) {
  }
  return 0;
}
