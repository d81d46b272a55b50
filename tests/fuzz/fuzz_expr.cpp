// Any text must parse and evaluate to a value or raise a std::exception;
// the first bytes also choose the locale, so separators vary.
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

#include "expr/Calculation.h"
#include "expr/ExprParser.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"

namespace {

struct TField : zd::TExprField {
  zd::TFieldType type;
  zd::TVariant value;
  TField(zd::TFieldType t, zd::TVariant v) : type(t), value(std::move(v)) {}
  zd::TFieldType DataType() const override { return type; }
  zd::TVariant Value() const override { return value; }
};

struct TSource : zd::TExprDataSource {
  std::map<std::string, TField> fields{
      {"A", {zd::TFieldType::ftInteger, 7}},
      {"N", {zd::TFieldType::ftFloat, zd::TVariant()}},
      {"S", {zd::TFieldType::ftString, "text"}},
      {"D", {zd::TFieldType::ftDateTime, zd::TVariant(zd::TDateTime{45000.5})}},
      {"M", {zd::TFieldType::ftMemo, "memo"}},
      {"W", {zd::TFieldType::ftWord, 9}},
  };
  std::string DataSetName() const override { return "T"; }
  std::string Caption() const override { return "Table"; }
  const zd::TExprField* FindField(const std::string& name) const override {
    auto it = fields.find(zd::UpperCase(name));
    return it == fields.end() ? nullptr : &it->second;
  }
};

struct TData : zd::TExprDataManager {
  TSource source;
  int DataSourceCount() const override { return 1; }
  const zd::TExprDataSource* DataSource(int) const override { return &source; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TData env;
  zd::TLocale locale;
  if (size > 0 && (data[0] & 1)) {
    locale.decimalSeparator = ',';
    locale.dateSeparator = '.';
    locale.shortDateFormat = "dd.MM.yyyy";
  }
  zd::setCurrentLocale(locale);
  std::string text(reinterpret_cast<const char*>(data), size);
  zd::TGetVariableEvent vars;
  vars = [&](zd::TComponent*, const std::string& name, bool& accept, zd::TFieldType& type,
             zd::TVariant& value) {
    if (name == "V") {
      accept = true;
      type = zd::TFieldType::ftSmallint;
      value = 12;
    } else if (name == "R") {  // a variable defined by the text itself
      accept = true;
      value = zd::EvaluateValue(&env, text, vars);
    }
  };
  try {
    zd::TVariant v = zd::EvaluateValue(&env, text, vars);
    (void)zd::VarToStr(v);
    (void)zd::GetCalculatedValue(&env, text, "@N ", zd::TCalcType::ctAverage, v, v, vars);
  } catch (const std::exception&) {
  }
  return 0;
}
