#include "host/core/Properties.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "host/core/ColorIdents.h"
#include "host/core/PropertyChanges.h"
#include "host/core/TextUtil.h"

namespace zd {
namespace {

const char* kindName(TPropKind kind) {
  switch (kind) {
    case TPropKind::Integer: return "integer";
    case TPropKind::Boolean: return "Boolean";
    case TPropKind::Float: return "float";
    case TPropKind::String: return "string";
    case TPropKind::Enumeration: return "enumeration";
    case TPropKind::Set: return "set";
    case TPropKind::Color: return "colour";
    case TPropKind::Variant: return "variant";
    case TPropKind::Binary: return "binary";
    case TPropKind::Method: return "event";
    case TPropKind::Reference: return "reference";
    case TPropKind::Object: return "object";
    case TPropKind::StringList: return "string list";
    case TPropKind::Collection: return "collection";
  }
  return "unknown";
}

bool isOrdinal(TPropKind k) {
  return k == TPropKind::Integer || k == TPropKind::Boolean || k == TPropKind::Enumeration ||
         k == TPropKind::Set || k == TPropKind::Color;
}

std::optional<int64_t> parseInteger(std::string_view text) {
  std::string t = Trim(text);
  int base = 10;
  std::string_view digits = t;
  bool negative = false;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  if (!digits.empty() && digits[0] == '$') {  // hexadecimal, as templates write colours
    base = 16;
    digits.remove_prefix(1);
  }
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value > uint64_t(std::numeric_limits<int64_t>::max())) return std::nullopt;
  return negative ? -int64_t(value) : int64_t(value);
}

std::optional<double> parseFloat(std::string_view text) {
  std::string t = Trim(text);
  double value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::string describe(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Null: return "Null";
    case TVarKind::Empty: return "Empty";
    case TVarKind::Integer: return std::to_string(v.asInteger());
    case TVarKind::Float: return std::to_string(v.asFloat());
    case TVarKind::Boolean: return v.asBoolean() ? "True" : "False";
    case TVarKind::String: return "\"" + v.asString() + "\"";
    case TVarKind::DateTime: return "date " + std::to_string(v.asDateTime().days);
  }
  return "?";
}

[[noreturn]] void badValue(const TPropertyInfo& prop, const TVariant& value, const std::string& why) {
  throw EPropertyError("Invalid value " + describe(value) + " for " + kindName(prop.Kind()) +
                       " property " + prop.Name() + ": " + why);
}

}  // namespace

// --- TPropertyInfo -------------------------------------------------------

void TPropertyInfo::wrongKind(const char* access) const {
  throw EPropertyError(std::string(access) + " does not apply to " + kindName(kind_) +
                       " property " + name_);
}

const TVariant& TPropertyInfo::DefaultValue() const {
  if (!default_) throw EPropertyError("Property " + name_ + " has no declared default");
  return *default_;
}

int64_t TPropertyInfo::GetOrdinal(const TPersistent& obj) const {
  require(isOrdinal(kind_), "GetOrdinal");
  return getOrdinal_(obj);
}

void TPropertyInfo::SetOrdinal(TPersistent& obj, int64_t value) const {
  require(isOrdinal(kind_), "SetOrdinal");
  int64_t lo = 0, hi = 0;
  switch (kind_) {
    case TPropKind::Integer: lo = std::numeric_limits<int32_t>::min(); hi = std::numeric_limits<int32_t>::max(); break;
    case TPropKind::Boolean: hi = 1; break;
    case TPropKind::Enumeration: hi = int64_t(names_.names.size()) - 1; break;
    case TPropKind::Set:
      hi = names_.names.size() >= 63 ? std::numeric_limits<int64_t>::max()
                                     : (int64_t(1) << names_.names.size()) - 1;
      break;
    default: hi = 0xFFFFFFFFll; break;  // colour
  }
  if (value < lo || value > hi)
    throw EPropertyError("Value " + std::to_string(value) + " out of range for property " + name_);
  TPropertyChangeNotice notice(obj, *this);
  setOrdinal_(obj, value);
  notice.Send();
}

double TPropertyInfo::GetFloat(const TPersistent& obj) const {
  require(kind_ == TPropKind::Float, "GetFloat");
  return getFloat_(obj);
}

void TPropertyInfo::SetFloat(TPersistent& obj, double value) const {
  require(kind_ == TPropKind::Float, "SetFloat");
  TPropertyChangeNotice notice(obj, *this);
  setFloat_(obj, value);
  notice.Send();
}

std::string TPropertyInfo::GetString(const TPersistent& obj) const {
  require(kind_ == TPropKind::String || kind_ == TPropKind::Method, "GetString");
  return getString_(obj);
}

void TPropertyInfo::SetString(TPersistent& obj, const std::string& value) const {
  require(kind_ == TPropKind::String || kind_ == TPropKind::Method, "SetString");
  TPropertyChangeNotice notice(obj, *this);
  setString_(obj, value);
  notice.Send();
}

TVariant TPropertyInfo::GetVariant(const TPersistent& obj) const {
  require(kind_ == TPropKind::Variant, "GetVariant");
  return getVariant_(obj);
}

void TPropertyInfo::SetVariant(TPersistent& obj, const TVariant& value) const {
  require(kind_ == TPropKind::Variant, "SetVariant");
  TPropertyChangeNotice notice(obj, *this);
  setVariant_(obj, value);
  notice.Send();
}

TBytes TPropertyInfo::GetBytes(const TPersistent& obj) const {
  require(kind_ == TPropKind::Binary, "GetBytes");
  return getBytes_(obj);
}

void TPropertyInfo::SetBytes(TPersistent& obj, const TBytes& value) const {
  require(kind_ == TPropKind::Binary, "SetBytes");
  TPropertyChangeNotice notice(obj, *this);
  setBytes_(obj, value);
  notice.Send();
}

TComponent* TPropertyInfo::GetReference(const TPersistent& obj) const {
  require(kind_ == TPropKind::Reference, "GetReference");
  return getReference_(obj);
}

bool TPropertyInfo::Fits(const TComponent& component) const {
  require(kind_ == TPropKind::Reference, "Fits");
  return fits_(component);
}

void TPropertyInfo::SetReference(TPersistent& obj, TComponent* value) const {
  require(kind_ == TPropKind::Reference, "SetReference");
  TPropertyChangeNotice notice(obj, *this);
  setReference_(obj, value);
  notice.Send();
}

TPersistent* TPropertyInfo::GetObject(TPersistent& obj) const {
  require(kind_ == TPropKind::Object || kind_ == TPropKind::StringList ||
              kind_ == TPropKind::Collection,
          "GetObject");
  TPersistent* nested = getObject_(obj);
  if (!nested) throw EPropertyError("Property " + name_ + " holds no object");
  return nested;
}

const TPersistent* TPropertyInfo::GetObject(const TPersistent& obj) const {
  // The getter only hands out the owned object; it does not modify obj.
  return GetObject(const_cast<TPersistent&>(obj));
}

void TPropertyInfo::AssignObject(TPersistent& obj, const TPersistent& source) const {
  TPersistent* owned = GetObject(obj);
  TPropertyChangeNotice notice(obj, *this);
  owned->Assign(source);
  notice.Send();
}

std::shared_ptr<TPersistent> TPropertyInfo::CopyObject(const TPersistent& obj) const {
  return copyObject_(*GetObject(obj));
}

const std::string& TPropertyInfo::EnumName(int64_t ordinal) const {
  require(kind_ == TPropKind::Enumeration || kind_ == TPropKind::Set, "EnumName");
  if (ordinal < 0 || ordinal >= int64_t(names_.names.size()))
    throw EPropertyError("Ordinal " + std::to_string(ordinal) + " is not a valid " +
                         names_.typeName + " value (property " + name_ + ")");
  return names_.names[size_t(ordinal)];
}

int64_t TPropertyInfo::EnumValue(std::string_view name) const {
  require(kind_ == TPropKind::Enumeration || kind_ == TPropKind::Set, "EnumValue");
  std::string trimmed = Trim(name);
  for (size_t i = 0; i < names_.names.size(); ++i)
    if (SameText(names_.names[i], trimmed)) return int64_t(i);
  throw EPropertyError("\"" + std::string(name) + "\" is not a valid " + names_.typeName +
                       " value (property " + name_ + ")");
}

std::vector<std::string> TPropertyInfo::SetMembers(uint64_t mask) const {
  require(kind_ == TPropKind::Set, "SetMembers");
  std::vector<std::string> r;
  for (size_t i = 0; i < names_.names.size(); ++i)
    if (mask & (uint64_t(1) << i)) r.push_back(names_.names[i]);
  if (names_.names.size() < 64 && (mask >> names_.names.size()) != 0)
    throw EPropertyError("Set value has members beyond " + names_.typeName + " (property " + name_ + ")");
  return r;
}

uint64_t TPropertyInfo::SetMask(const std::vector<std::string>& members) const {
  require(kind_ == TPropKind::Set, "SetMask");
  uint64_t mask = 0;
  for (const auto& m : members) mask |= uint64_t(1) << EnumValue(m);
  return mask;
}

std::string SetToText(const TPropertyInfo& prop, uint64_t mask) {
  std::string r = "[";
  for (const auto& m : prop.SetMembers(mask)) {
    if (r.size() > 1) r += ',';
    r += m;
  }
  return r + "]";
}

// --- TClassProperties ----------------------------------------------------

void TClassProperties::add(TPropertyInfo info) {
  for (const auto& p : own_)
    if (SameText(p.Name(), info.Name()))
      throw EPropertyError("Property " + info.Name() + " declared twice in " + className_);
  own_.push_back(std::move(info));
}

std::vector<const TPropertyInfo*> TClassProperties::Properties() const {
  std::vector<const TPropertyInfo*> r = parent_ ? parent_->Properties() : std::vector<const TPropertyInfo*>();
  for (const auto& p : own_) {
    auto it = std::find_if(r.begin(), r.end(), [&](const TPropertyInfo* q) { return SameText(q->Name(), p.Name()); });
    if (it != r.end())
      *it = &p;
    else
      r.push_back(&p);
  }
  return r;
}

const TPropertyInfo* TClassProperties::Find(std::string_view name) const {
  for (const TClassProperties* c = this; c; c = c->parent_)
    for (const auto& p : c->own_)
      if (SameText(p.Name(), name)) return &p;
  return nullptr;
}

const TPropertyInfo& TClassProperties::Get(std::string_view name) const {
  if (const TPropertyInfo* p = Find(name)) return *p;
  throw EPropertyError(className_ + " has no property " + std::string(name));
}

bool TClassProperties::InheritsFrom(const TClassProperties& other) const {
  for (const TClassProperties* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

// --- defaults and variants -----------------------------------------------

bool IsStoredDefault(const TPersistent& obj, const TPropertyInfo& prop) {
  if (!prop.StoredFor(obj)) return true;
  switch (prop.Kind()) {
    case TPropKind::Object:
    case TPropKind::Collection: return false;
    case TPropKind::StringList:
      return static_cast<const TStrings*>(prop.GetObject(obj))->Empty();
    default: break;
  }
  if (prop.HasDefault()) return ValueOf(obj, prop) == prop.DefaultValue();
  switch (prop.Kind()) {
    case TPropKind::String:
    case TPropKind::Method: return prop.GetString(obj).empty();
    case TPropKind::Reference: return prop.GetReference(obj) == nullptr;
    case TPropKind::Binary: return prop.GetBytes(obj).empty();
    case TPropKind::Variant: return prop.GetVariant(obj).isNull();
    default: return false;
  }
}

TVariant ValueOf(const TPersistent& obj, const TPropertyInfo& prop) {
  switch (prop.Kind()) {
    case TPropKind::Integer:
    case TPropKind::Color: return TVariant(prop.GetOrdinal(obj));
    case TPropKind::Boolean: return TVariant(prop.GetOrdinal(obj) != 0);
    case TPropKind::Enumeration: return TVariant(prop.EnumName(prop.GetOrdinal(obj)));
    case TPropKind::Set: return TVariant(SetToText(prop, uint64_t(prop.GetOrdinal(obj))));
    case TPropKind::Float: return TVariant(prop.GetFloat(obj));
    case TPropKind::String:
    case TPropKind::Method: return TVariant(prop.GetString(obj));
    case TPropKind::Variant: return prop.GetVariant(obj);
    case TPropKind::Binary: {
      TBytes b = prop.GetBytes(obj);
      return TVariant(std::string(b.begin(), b.end()));
    }
    case TPropKind::Reference: {
      TComponent* c = prop.GetReference(obj);
      return TVariant(c ? c->Name() : std::string());
    }
    case TPropKind::StringList:
      return TVariant(static_cast<const TStrings*>(prop.GetObject(obj))->Text());
    case TPropKind::Object:
    case TPropKind::Collection: break;
  }
  throw EPropertyError(std::string("The ") + kindName(prop.Kind()) + " property " + prop.Name() +
                       " has no single value");
}

namespace {

int64_t toInteger(const TPropertyInfo& prop, const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Integer: return v.asInteger();
    case TVarKind::Float:
      if (std::isfinite(v.asFloat()) && v.asFloat() == std::trunc(v.asFloat()) &&
          std::fabs(v.asFloat()) < 9.2e18)
        return int64_t(v.asFloat());
      badValue(prop, v, "not a whole number");
    case TVarKind::String:
      if (auto i = parseInteger(v.asString())) return *i;
      badValue(prop, v, "not a number");
    default: badValue(prop, v, "a number is needed");
  }
}

bool toBoolean(const TPropertyInfo& prop, const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Boolean: return v.asBoolean();
    case TVarKind::Integer: return v.asInteger() != 0;
    case TVarKind::String:
      if (SameText(Trim(v.asString()), "True")) return true;
      if (SameText(Trim(v.asString()), "False")) return false;
      badValue(prop, v, "expected True or False");
    default: badValue(prop, v, "expected True or False");
  }
}

uint64_t setFromText(const TPropertyInfo& prop, const std::string& text) {
  std::string t = Trim(text);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') t = t.substr(1, t.size() - 2);
  std::vector<std::string> members;
  size_t start = 0;
  while (start <= t.size()) {
    size_t comma = t.find(',', start);
    if (comma == std::string::npos) comma = t.size();
    std::string m = Trim(std::string_view(t).substr(start, comma - start));
    if (!m.empty())
      members.push_back(m);
    else if (comma < t.size())
      throw EPropertyError("Empty member in set \"" + text + "\" (property " + prop.Name() + ")");
    start = comma + 1;
  }
  return prop.SetMask(members);
}

}  // namespace

void SetValue(TPersistent& obj, const TPropertyInfo& prop, const TVariant& value,
              const TReferenceResolver& resolve) {
  const bool isText = value.kind() == TVarKind::String;
  switch (prop.Kind()) {
    case TPropKind::Integer: return prop.SetOrdinal(obj, toInteger(prop, value));
    case TPropKind::Boolean: return prop.SetOrdinal(obj, toBoolean(prop, value));
    case TPropKind::Enumeration:
      if (isText) return prop.SetOrdinal(obj, prop.EnumValue(value.asString()));
      return prop.SetOrdinal(obj, toInteger(prop, value));
    case TPropKind::Set:
      if (isText) return prop.SetOrdinal(obj, int64_t(setFromText(prop, value.asString())));
      return prop.SetOrdinal(obj, toInteger(prop, value));
    case TPropKind::Color:
      if (isText)
        if (auto c = IdentToColor(Trim(value.asString()))) return prop.SetOrdinal(obj, *c);
      {
        int64_t c = toInteger(prop, value);
        // Negative values are how 32-bit streams carry system colours.
        if (c < 0 && c >= std::numeric_limits<int32_t>::min()) c = int64_t(uint32_t(int32_t(c)));
        return prop.SetOrdinal(obj, c);
      }
    case TPropKind::Float:
      if (value.kind() == TVarKind::Float) return prop.SetFloat(obj, value.asFloat());
      if (value.kind() == TVarKind::Integer) return prop.SetFloat(obj, double(value.asInteger()));
      if (isText)
        if (auto f = parseFloat(value.asString())) return prop.SetFloat(obj, *f);
      badValue(prop, value, "a number is needed");
    case TPropKind::String:
    case TPropKind::Method:
      if (isText) return prop.SetString(obj, value.asString());
      if (value.isNull() || value.isEmpty()) return prop.SetString(obj, "");
      badValue(prop, value, "a string is needed");
    case TPropKind::Variant: return prop.SetVariant(obj, value);
    case TPropKind::Binary:
      if (isText) return prop.SetBytes(obj, TBytes(value.asString().begin(), value.asString().end()));
      badValue(prop, value, "bytes are needed");
    case TPropKind::StringList:
      if (isText) {
        TStringList lines;
        lines.SetText(value.asString());
        return prop.AssignObject(obj, lines);
      }
      badValue(prop, value, "a text is needed");
    case TPropKind::Reference: {
      if (!isText && !value.isNull()) badValue(prop, value, "a component name is needed");
      std::string name = isText ? Trim(value.asString()) : std::string();
      if (name.empty()) return prop.SetReference(obj, nullptr);
      if (!resolve) badValue(prop, value, "no way to look up components here");
      TComponent* c = resolve(name);
      if (!c) badValue(prop, value, "no component of that name");
      return prop.SetReference(obj, c);
    }
    case TPropKind::Object:
    case TPropKind::Collection: break;
  }
  throw EPropertyError(std::string("The ") + kindName(prop.Kind()) + " property " + prop.Name() +
                       " is assigned, not set");
}

}  // namespace zd
