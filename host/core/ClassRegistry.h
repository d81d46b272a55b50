#pragma once
// Component classes by name, so that a stream naming "TZdqLabel" can build
// one. Names compare ignoring case.
#include <functional>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "host/core/Component.h"
#include "host/core/Errors.h"
#include "host/core/Properties.h"

namespace zd {

class EClassRegistryError : public EZdError {
 public:
  using EZdError::EZdError;
};

// Creates an instance owned by owner (the caller owns it when owner is null).
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

struct TComponentClass {
  std::string name;
  std::type_index type;  // tells a re-registration from a clash
  TComponentFactory create;
  const TClassProperties* properties = nullptr;
};

class TClassRegistry {
 public:
  // Registering the same class again does nothing; another class under a
  // taken name raises EClassRegistryError.
  void Register(TComponentClass cls);
  template <class T>
    requires std::derived_from<T, TComponent>
  void Register(std::string name, const TClassProperties* properties = nullptr) {
    Register({std::move(name), typeid(T), [](TComponent* owner) -> TComponent* { return new T(owner); },
              properties});
  }
  bool Unregister(std::string_view name);  // false when absent
  const TComponentClass* Find(std::string_view name) const;  // nullptr when absent
  // Builds an instance of a registered class; raises for an unknown name.
  TComponent* Create(std::string_view name, TComponent* owner) const;
  std::vector<std::string> Names() const;  // in registration order

 private:
  std::vector<TComponentClass> classes_;
};

// The registry that templates are read with.
TClassRegistry& GlobalClassRegistry();

}  // namespace zd
