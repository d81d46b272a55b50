#include "host/core/ClassRegistry.h"

#include <algorithm>

#include "host/core/TextUtil.h"

namespace zd {

void TClassRegistry::Register(TComponentClass cls) {
  if (cls.name.empty()) throw EClassRegistryError("A class needs a name to be registered");
  if (!cls.create) throw EClassRegistryError("Class " + cls.name + " has no factory");
  if (const TComponentClass* taken = Find(cls.name)) {
    if (taken->type == cls.type) return;
    throw EClassRegistryError("A class named " + cls.name + " is already registered");
  }
  classes_.push_back(std::move(cls));
}

bool TClassRegistry::Unregister(std::string_view name) {
  auto it = std::find_if(classes_.begin(), classes_.end(),
                         [&](const TComponentClass& c) { return SameText(c.name, name); });
  if (it == classes_.end()) return false;
  classes_.erase(it);
  return true;
}

const TComponentClass* TClassRegistry::Find(std::string_view name) const {
  for (const auto& c : classes_)
    if (SameText(c.name, name)) return &c;
  return nullptr;
}

TComponent* TClassRegistry::Create(std::string_view name, TComponent* owner) const {
  const TComponentClass* cls = Find(name);
  if (!cls) throw EClassRegistryError("Class " + std::string(name) + " not found");
  return cls->create(owner);
}

std::vector<std::string> TClassRegistry::Names() const {
  std::vector<std::string> r;
  for (const auto& c : classes_) r.push_back(c.name);
  return r;
}

TClassRegistry& GlobalClassRegistry() {
  static TClassRegistry registry;
  return registry;
}

}  // namespace zd
