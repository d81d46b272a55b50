#include "expr/FieldResolver.h"

#include "expr/StrUtils.h"

namespace zd {

TFieldReference SplitFieldReference(const std::string& reference) {
  TFieldReference r;
  const size_t dot = reference.find('.');
  if (dot == std::string::npos) {
    r.field = reference;
    return r;
  }
  r.dataset = reference.substr(0, dot);
  std::string rest = reference.substr(dot + 1, 255);
  const size_t dot2 = rest.find('.');
  if (dot2 != std::string::npos) {
    r.dataset = rest.substr(0, dot2);
    rest = rest.substr(dot2 + 1);
  }
  r.field = rest;
  return r;
}

const TExprField* GetFieldByName(const TExprDataManager* dataManager, const std::string& name) {
  if (!dataManager || dataManager->DataSourceCount() <= 0) return nullptr;
  const TFieldReference ref = SplitFieldReference(name);
  if (name.find('.') == std::string::npos) {
    const TExprDataSource* first = dataManager->DataSource(0);
    return first ? first->FindField(ref.field) : nullptr;
  }
  const std::string wanted = UnicodeUpper(ref.dataset);
  for (int i = 0; i < dataManager->DataSourceCount(); ++i) {
    const TExprDataSource* source = dataManager->DataSource(i);
    if (!source) continue;
    if (UnicodeUpper(source->DataSetName()) == wanted || UnicodeUpper(source->Caption()) == wanted)
      return source->FindField(ref.field);
  }
  return nullptr;
}

}  // namespace zd
