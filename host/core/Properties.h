#pragma once
// Published-property descriptors: what the template stream writes and reads,
// what the object inspector lists and the designer edits. Each class declares
// its own properties once; a class inherits its parent's in declared order.
// Every Set and AssignObject is reported to property listeners
// (host/core/PropertyChanges.h).
//
//   const TClassProperties* TZdqBand::PublishedProperties() const {
//     static const TClassProperties props =
//         TPropertiesOf<TZdqBand>("TZdqBand", nullptr)
//             .Integer("Height", &TZdqBand::Height, &TZdqBand::SetHeight, 100)
//             .Enum("BandType", &TZdqBand::BandType, &TZdqBand::SetBandType, kBandTypeNames,
//                   btNone)
//             .Build();
//     return &props;
//   }
#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/core/Collection.h"
#include "host/core/Component.h"
#include "host/core/Errors.h"
#include "host/core/Strings.h"
#include "host/core/Variant.h"

namespace zd {

class EPropertyError : public EZdError {
 public:
  using EZdError::EZdError;
};

enum class TPropKind {
  Integer,      // 32-bit signed
  Boolean,
  Float,
  String,
  Enumeration,  // ordinal, named by TEnumNames
  Set,          // bit i = member i of TEnumNames
  Color,        // 32-bit 0x00BBGGRR or a system colour
  Variant,      // any TVariant
  Binary,       // opaque bytes (pictures, custom data)
  Method,       // event handler name
  Reference,    // another component, written by name
  Object,       // owned persistent object; its own properties are nested
  StringList,   // owned TStrings
  Collection,   // owned TCollection
};

// Names of an enumeration's values (or a set's members) in ordinal order.
struct TEnumNames {
  std::string typeName;  // e.g. "TBandType", for messages
  std::vector<std::string> names;
};

using TBytes = std::vector<uint8_t>;

class TPropertyInfo {
 public:
  const std::string& Name() const { return name_; }
  TPropKind Kind() const { return kind_; }
  bool HasDefault() const { return default_.has_value(); }
  // In the form ValueOf returns: enumerations and sets by name.
  const TVariant& DefaultValue() const;
  const TEnumNames& ValueNames() const { return names_; }  // enumerations and sets

  // Kind-specific access; each throws EPropertyError for another kind.
  int64_t GetOrdinal(const TPersistent& obj) const;  // Integer, Boolean, Enumeration, Set, Color
  void SetOrdinal(TPersistent& obj, int64_t value) const;  // range-checked
  double GetFloat(const TPersistent& obj) const;
  void SetFloat(TPersistent& obj, double value) const;
  std::string GetString(const TPersistent& obj) const;  // String, Method
  void SetString(TPersistent& obj, const std::string& value) const;
  TVariant GetVariant(const TPersistent& obj) const;
  void SetVariant(TPersistent& obj, const TVariant& value) const;
  TBytes GetBytes(const TPersistent& obj) const;
  void SetBytes(TPersistent& obj, const TBytes& value) const;
  TComponent* GetReference(const TPersistent& obj) const;
  void SetReference(TPersistent& obj, TComponent* value) const;  // checks the class
  // Whether the component is of the class a reference property takes.
  bool Fits(const TComponent& component) const;
  // The owned object of Object, StringList and Collection properties.
  TPersistent* GetObject(TPersistent& obj) const;
  const TPersistent* GetObject(const TPersistent& obj) const;
  // Copies source into the owned object, as the object's Assign does.
  void AssignObject(TPersistent& obj, const TPersistent& source) const;
  // A detached copy of the owned object: a collection of the same items, or
  // for other objects one of the getter's class; nullptr when that class has
  // no default constructor.
  std::shared_ptr<TPersistent> CopyObject(const TPersistent& obj) const;

  // Enumeration names; unknown names and ordinals raise a clear error.
  const std::string& EnumName(int64_t ordinal) const;
  int64_t EnumValue(std::string_view name) const;  // case-insensitive
  std::vector<std::string> SetMembers(uint64_t mask) const;
  uint64_t SetMask(const std::vector<std::string>& members) const;

  // False when a class-specific condition says the value is not written.
  bool StoredFor(const TPersistent& obj) const { return !stored_ || stored_(obj); }

 private:
  template <class T>
  friend class TPropertiesOf;
  friend class TClassProperties;
  TPropertyInfo(std::string name, TPropKind kind) : name_(std::move(name)), kind_(kind) {}
  [[noreturn]] void wrongKind(const char* access) const;
  void require(bool ok, const char* access) const {
    if (!ok) wrongKind(access);
  }

  std::string name_;
  TPropKind kind_;
  std::optional<TVariant> default_;
  TEnumNames names_;
  std::string referenceClass_;  // for messages
  std::function<bool(const TPersistent&)> stored_;
  std::function<int64_t(const TPersistent&)> getOrdinal_;
  std::function<void(TPersistent&, int64_t)> setOrdinal_;
  std::function<double(const TPersistent&)> getFloat_;
  std::function<void(TPersistent&, double)> setFloat_;
  std::function<std::string(const TPersistent&)> getString_;
  std::function<void(TPersistent&, const std::string&)> setString_;
  std::function<TVariant(const TPersistent&)> getVariant_;
  std::function<void(TPersistent&, const TVariant&)> setVariant_;
  std::function<TBytes(const TPersistent&)> getBytes_;
  std::function<void(TPersistent&, const TBytes&)> setBytes_;
  std::function<TComponent*(const TPersistent&)> getReference_;
  std::function<void(TPersistent&, TComponent*)> setReference_;  // throws on a wrong class
  std::function<bool(const TComponent&)> fits_;
  std::function<TPersistent*(TPersistent&)> getObject_;
  std::function<std::shared_ptr<TPersistent>(const TPersistent&)> copyObject_;
};

// The published properties of one class, its parent's first.
class TClassProperties {
 public:
  TClassProperties(std::string className, const TClassProperties* parent)
      : className_(std::move(className)), parent_(parent) {}

  const std::string& ClassName() const { return className_; }
  const TClassProperties* Parent() const { return parent_; }
  // Inherited properties in their declared order, then this class's own; a
  // redeclared inherited property keeps its place and takes the new descriptor.
  std::vector<const TPropertyInfo*> Properties() const;
  const TPropertyInfo* Find(std::string_view name) const;  // case-insensitive; nullptr
  const TPropertyInfo& Get(std::string_view name) const;   // throws when absent
  bool InheritsFrom(const TClassProperties& other) const;

 private:
  template <class T>
  friend class TPropertiesOf;
  void add(TPropertyInfo info);

  std::string className_;
  const TClassProperties* parent_;
  std::vector<TPropertyInfo> own_;
};

// True when the property holds its default and so is not written: its
// declared default; without one, an empty string, method, reference, string
// list or binary value and a Null variant. Objects and collections are never
// "default" themselves (their contents decide), and a property whose stored
// condition fails counts as default.
bool IsStoredDefault(const TPersistent& obj, const TPropertyInfo& prop);

// The value as a variant: ordinals as Integer, colours as Integer, Boolean,
// Float, strings and method names as String, an enumeration by its name, a set
// as "[a,b]" in member order, a string list as its Text, binary as a byte
// string, a reference as the component's name (empty for none).
TVariant ValueOf(const TPersistent& obj, const TPropertyInfo& prop);
// The reverse; also accepts the text an inspector gives (numbers, "True",
// enumeration and set names, an ordinal for an enumeration). References need
// a resolver from name to component; objects and collections are assigned,
// not set.
using TReferenceResolver = std::function<TComponent*(const std::string& name)>;
void SetValue(TPersistent& obj, const TPropertyInfo& prop, const TVariant& value,
              const TReferenceResolver& resolve = {});

// "[a,b]" for a set mask, members in order.
std::string SetToText(const TPropertyInfo& prop, uint64_t mask);

// Builder of one class's descriptors with typed getters and setters; a getter
// is invocable on const T& (a const member function or a lambda), a setter on
// (T&, value).
template <class T>
class TPropertiesOf {
 public:
  TPropertiesOf(std::string className, const TClassProperties* parent)
      : props_(std::move(className), parent) {}

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, int>
  TPropertiesOf& Integer(std::string name, G get, S set, std::optional<int> def = {}) {
    auto p = make(std::move(name), TPropKind::Integer, def ? TVariant(*def) : std::optional<TVariant>());
    p.getOrdinal_ = [get](const TPersistent& o) { return int64_t(std::invoke(get, self(o))); };
    p.setOrdinal_ = [set](TPersistent& o, int64_t v) { std::invoke(set, self(o), int(v)); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, bool>
  TPropertiesOf& Boolean(std::string name, G get, S set, std::optional<bool> def = {}) {
    auto p = make(std::move(name), TPropKind::Boolean, def ? TVariant(*def) : std::optional<TVariant>());
    p.getOrdinal_ = [get](const TPersistent& o) { return int64_t(bool(std::invoke(get, self(o)))); };
    p.setOrdinal_ = [set](TPersistent& o, int64_t v) { std::invoke(set, self(o), v != 0); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, double>
  TPropertiesOf& Float(std::string name, G get, S set, std::optional<double> def = {}) {
    auto p = make(std::move(name), TPropKind::Float, def ? TVariant(*def) : std::optional<TVariant>());
    p.getFloat_ = [get](const TPersistent& o) { return double(std::invoke(get, self(o))); };
    p.setFloat_ = [set](TPersistent& o, double v) { std::invoke(set, self(o), v); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, const std::string&>
  TPropertiesOf& String(std::string name, G get, S set, std::optional<std::string> def = {}) {
    return text(std::move(name), TPropKind::String, get, set, std::move(def));
  }

  // An event: the name of the handler, empty for none.
  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, const std::string&>
  TPropertiesOf& Method(std::string name, G get, S set) {
    return text(std::move(name), TPropKind::Method, get, set, {});
  }

  // The getter returns the enumeration type E; names are in ordinal order.
  template <class G, class S, class E = std::remove_cvref_t<std::invoke_result_t<G, const T&>>>
    requires std::is_enum_v<E> && std::invocable<S, T&, E>
  TPropertiesOf& Enum(std::string name, G get, S set, TEnumNames names,
                      std::type_identity_t<std::optional<E>> def = {}) {
    auto p = make(std::move(name), TPropKind::Enumeration, {});
    p.names_ = std::move(names);
    if (def) p.default_ = TVariant(p.EnumName(int64_t(*def)));
    p.getOrdinal_ = [get](const TPersistent& o) { return int64_t(std::invoke(get, self(o))); };
    p.setOrdinal_ = [set](TPersistent& o, int64_t v) { std::invoke(set, self(o), E(v)); };
    return add(std::move(p));
  }

  // The getter returns a bit mask convertible to uint64_t, bit i for member i.
  template <class G, class S, class M = std::remove_cvref_t<std::invoke_result_t<G, const T&>>>
    requires std::is_integral_v<M> && std::invocable<S, T&, M>
  TPropertiesOf& Set(std::string name, G get, S set, TEnumNames members,
                     std::type_identity_t<std::optional<M>> def = {}) {
    auto p = make(std::move(name), TPropKind::Set, {});
    p.names_ = std::move(members);
    if (p.names_.names.size() > 64) throw EPropertyError("Set " + p.name_ + " has more than 64 members");
    if (def) p.default_ = TVariant(SetToText(p, uint64_t(*def)));
    p.getOrdinal_ = [get](const TPersistent& o) { return int64_t(std::invoke(get, self(o))); };
    p.setOrdinal_ = [set](TPersistent& o, int64_t v) { std::invoke(set, self(o), M(v)); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, uint32_t>
  TPropertiesOf& Color(std::string name, G get, S set, std::optional<uint32_t> def = {}) {
    auto p = make(std::move(name), TPropKind::Color,
                  def ? TVariant(int64_t(*def)) : std::optional<TVariant>());
    p.getOrdinal_ = [get](const TPersistent& o) { return int64_t(uint32_t(std::invoke(get, self(o)))); };
    p.setOrdinal_ = [set](TPersistent& o, int64_t v) { std::invoke(set, self(o), uint32_t(v)); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, const TVariant&>
  TPropertiesOf& Variant(std::string name, G get, S set) {
    auto p = make(std::move(name), TPropKind::Variant, {});
    p.getVariant_ = [get](const TPersistent& o) { return TVariant(std::invoke(get, self(o))); };
    p.setVariant_ = [set](TPersistent& o, const TVariant& v) { std::invoke(set, self(o), v); };
    return add(std::move(p));
  }

  template <class G, class S>
    requires std::invocable<G, const T&> && std::invocable<S, T&, const TBytes&>
  TPropertiesOf& Binary(std::string name, G get, S set) {
    auto p = make(std::move(name), TPropKind::Binary, {});
    p.getBytes_ = [get](const TPersistent& o) { return TBytes(std::invoke(get, self(o))); };
    p.setBytes_ = [set](TPersistent& o, const TBytes& v) { std::invoke(set, self(o), v); };
    return add(std::move(p));
  }

  // The getter returns C*, C a component class; the setter takes C*.
  template <class G, class S,
            class C = std::remove_pointer_t<std::remove_cvref_t<std::invoke_result_t<G, const T&>>>>
    requires std::derived_from<C, TComponent> && std::invocable<S, T&, C*>
  TPropertiesOf& Reference(std::string name, G get, S set) {
    auto p = make(std::move(name), TPropKind::Reference, {});
    std::string propName = p.name_;
    p.getReference_ = [get](const TPersistent& o) -> TComponent* {
      return const_cast<std::remove_const_t<C>*>(std::invoke(get, self(o)));
    };
    p.fits_ = [](const TComponent& c) { return dynamic_cast<const C*>(&c) != nullptr; };
    p.setReference_ = [set, propName](TPersistent& o, TComponent* c) {
      auto* typed = dynamic_cast<C*>(c);
      if (c && !typed)
        throw EPropertyError("Component " + c->Name() + " (" + c->ClassName() +
                             ") does not fit property " + propName);
      std::invoke(set, self(o), typed);
    };
    return add(std::move(p));
  }

  // Owned objects: the getter returns a pointer or reference, invoked on T&.
  template <class G>
    requires std::invocable<G, T&>
  TPropertiesOf& Object(std::string name, G get) {
    return owned<TPersistent>(std::move(name), TPropKind::Object, get);
  }
  template <class G>
    requires std::invocable<G, T&>
  TPropertiesOf& StringList(std::string name, G get) {
    return owned<TStrings>(std::move(name), TPropKind::StringList, get);
  }
  template <class G>
    requires std::invocable<G, T&>
  TPropertiesOf& Collection(std::string name, G get) {
    return owned<TCollection>(std::move(name), TPropKind::Collection, get);
  }

  // Applies to the property declared last: it is written only when the
  // predicate holds (besides differing from its default).
  template <class P>
    requires std::predicate<P, const T&>
  TPropertiesOf& StoredWhen(P pred) {
    if (props_.own_.empty()) throw EPropertyError("StoredWhen before any property");
    props_.own_.back().stored_ = [pred](const TPersistent& o) { return bool(std::invoke(pred, self(o))); };
    return *this;
  }

  TClassProperties Build() { return std::move(props_); }

 private:
  static const T& self(const TPersistent& o) { return static_cast<const T&>(o); }
  static T& self(TPersistent& o) { return static_cast<T&>(o); }

  TPropertyInfo make(std::string name, TPropKind kind, std::optional<TVariant> def) {
    TPropertyInfo p(std::move(name), kind);
    p.default_ = std::move(def);
    return p;
  }
  TPropertiesOf& add(TPropertyInfo p) {
    props_.add(std::move(p));
    return *this;
  }

  template <class G, class S>
  TPropertiesOf& text(std::string name, TPropKind kind, G get, S set, std::optional<std::string> def) {
    auto p = make(std::move(name), kind, def ? TVariant(*def) : std::optional<TVariant>());
    p.getString_ = [get](const TPersistent& o) { return std::string(std::invoke(get, self(o))); };
    p.setString_ = [set](TPersistent& o, const std::string& v) { std::invoke(set, self(o), v); };
    return add(std::move(p));
  }

  template <class Base, class G>
  TPropertiesOf& owned(std::string name, TPropKind kind, G get) {
    using Result = std::invoke_result_t<G, T&>;
    using Owned = std::remove_cvref_t<std::remove_pointer_t<std::remove_cvref_t<Result>>>;
    static_assert(std::is_convertible_v<Owned*, Base*>, "getter must return the owned object");
    auto p = make(std::move(name), kind, {});
    p.getObject_ = [get](TPersistent& o) -> TPersistent* {
      decltype(auto) r = std::invoke(get, self(o));
      if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(r)>>)
        return r;
      else
        return &r;
    };
    p.copyObject_ = [](const TPersistent& owned) -> std::shared_ptr<TPersistent> {
      if constexpr (std::is_base_of_v<TCollection, Owned>) {
        return static_cast<const TCollection&>(owned).Copy();  // whatever its class, the items are copied
      } else if constexpr (std::is_default_constructible_v<Owned>) {
        auto copy = std::make_shared<Owned>();
        copy->Assign(owned);
        return copy;
      } else {
        return nullptr;
      }
    };
    return add(std::move(p));
  }

  TClassProperties props_;
};

}  // namespace zd
