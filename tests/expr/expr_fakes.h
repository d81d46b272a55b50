#pragma once
// In-memory fields and data manager for the expression tests.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "expr/ExprParser.h"
#include "expr/ExprValue.h"
#include "host/core/TextUtil.h"

namespace zd::test {

struct TFakeField : TExprField {
  TFieldType type = TFieldType::ftString;
  TFieldKind kind = TFieldKind::fkData;
  TVariant value;
  mutable int reads = 0;
  TFieldType DataType() const override { return type; }
  TFieldKind FieldKind() const override { return kind; }
  TVariant Value() const override {
    ++reads;
    return value;
  }
};

struct TFakeSource : TExprDataSource {
  std::string name, caption;
  std::map<std::string, TFakeField> fields;  // by upper-case name
  std::string DataSetName() const override { return name; }
  std::string Caption() const override { return caption; }
  const TExprField* FindField(const std::string& fieldName) const override {
    auto it = fields.find(UpperCase(fieldName));
    return it == fields.end() ? nullptr : &it->second;
  }
  TFakeField& add(const std::string& fieldName, TFieldType type, TVariant value) {
    TFakeField& f = fields[UpperCase(fieldName)];
    f.type = type;
    f.value = std::move(value);
    return f;
  }
};

struct TFakeData : TExprDataManager {
  std::vector<std::unique_ptr<TFakeSource>> sources;
  int DataSourceCount() const override { return int(sources.size()); }
  const TExprDataSource* DataSource(int index) const override { return sources.at(size_t(index)).get(); }
  TFakeSource& source(const std::string& name, const std::string& caption = {}) {
    sources.push_back(std::make_unique<TFakeSource>());
    sources.back()->name = name;
    sources.back()->caption = caption;
    return *sources.back();
  }
  // A first dataset, so that plain names resolve.
  TFakeField& add(const std::string& fieldName, TFieldType type, TVariant value) {
    if (sources.empty()) source("Main");
    return sources.front()->add(fieldName, type, std::move(value));
  }
};

inline TVariant eval(const std::string& text, const TExprDataManager* data = nullptr,
                     TGetVariableEvent vars = {}) {
  return EvaluateValue(data, text, std::move(vars));
}

// The message of whatever the text raises, or "<no error>".
inline std::string errorOf(const std::string& text, const TExprDataManager* data = nullptr,
                           TGetVariableEvent vars = {}) {
  try {
    EvaluateValue(data, text, std::move(vars));
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no error>";
}

inline double num(const std::string& text, const TExprDataManager* data = nullptr) {
  return VarToFloat(eval(text, data));
}

inline std::string str(const std::string& text, const TExprDataManager* data = nullptr) {
  return VarToStr(eval(text, data));
}

// Installs a locale for one test and puts the previous one back.
class TLocaleScope {
 public:
  explicit TLocaleScope(const TLocale& locale) : saved_(currentLocale()) { setCurrentLocale(locale); }
  ~TLocaleScope() { setCurrentLocale(saved_); }
  TLocaleScope(const TLocaleScope&) = delete;
  TLocaleScope& operator=(const TLocaleScope&) = delete;

 private:
  TLocale saved_;
};

inline TLocale commaLocale() {
  TLocale loc;
  loc.decimalSeparator = ',';
  loc.thousandSeparator = '.';
  loc.dateSeparator = '.';
  loc.shortDateFormat = "dd.MM.yyyy";
  return loc;
}

}  // namespace zd::test
