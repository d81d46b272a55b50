#include "print/Variables.h"

#include "host/core/TextUtil.h"

namespace zd {

void TZdqVariables::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqVariables*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  items_ = other->items_;
}

TZdqVariable& TZdqVariables::Add() { return items_.emplace_back(); }

const TZdqVariable* TZdqVariables::Find(const std::string& name) const {
  const std::string wanted = UpperCase(Trim(name));
  for (const TZdqVariable& v : items_)
    if (UpperCase(v.Name) == wanted) return &v;
  return nullptr;
}

void TZdqOutlines::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TZdqOutlines*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  items_ = other->items_;
}

TZdqOutline& TZdqOutlines::Add() { return items_.emplace_back(); }

}  // namespace zd
