#include "report/template/TemplateObjects.h"

#include <filesystem>
#include <functional>
#include <memory>

#include "host/core/ClassRegistry.h"
#include "host/core/ColorIdents.h"
#include "host/core/Errors.h"
#include "host/core/TextUtil.h"
#include "host/data/SqlDataSet.h"
#include "report/model/ZdReport.h"

namespace zd {

namespace {

const char* TagName(TValueTag tag) {
  switch (tag) {
    case TValueTag::vaNull: return "null";
    case TValueTag::vaList: return "list";
    case TValueTag::vaInt8:
    case TValueTag::vaInt16:
    case TValueTag::vaInt32:
    case TValueTag::vaInt64: return "integer";
    case TValueTag::vaExtended:
    case TValueTag::vaSingle:
    case TValueTag::vaDouble: return "float";
    case TValueTag::vaString:
    case TValueTag::vaLString:
    case TValueTag::vaWString:
    case TValueTag::vaUTF8String: return "string";
    case TValueTag::vaIdent: return "identifier";
    case TValueTag::vaFalse:
    case TValueTag::vaTrue: return "Boolean";
    case TValueTag::vaBinary: return "binary data";
    case TValueTag::vaSet: return "set";
    case TValueTag::vaNil: return "nil";
    case TValueTag::vaCollection: return "collection";
    case TValueTag::vaCurrency: return "currency";
    case TValueTag::vaDate: return "date";
  }
  return "unknown value";
}

// A problem of the value itself; the caller adds where it was found.
class EValueMismatch : public EZdError {
 public:
  using EZdError::EZdError;
};

[[noreturn]] void Expect(const char* wanted, const TStreamValue& found) {
  throw EValueMismatch(std::string("expects ") + wanted + ", found " + TagName(found.tag));
}


// ---- writing ----

TStreamValue VariantValue(const TVariant& v) {
  switch (v.kind()) {
    case TVarKind::Null: return TStreamValue::Of(TValueTag::vaNull);
    case TVarKind::Empty: return TStreamValue::Of(TValueTag::vaNil);
    case TVarKind::Integer: return TStreamValue::Integer(v.asInteger());
    case TVarKind::Float: return TStreamValue::Float(v.asFloat());
    case TVarKind::Boolean: return TStreamValue::Boolean(v.asBoolean());
    case TVarKind::String: return TStreamValue::String(v.asString());
    case TVarKind::DateTime: return TStreamValue::Float(v.asDateTime().days, TValueTag::vaDate);
  }
  return TStreamValue::Of(TValueTag::vaNull);
}

TStreamValue ScalarValue(const TPersistent& obj, const TPropertyInfo& prop, const std::string& path) {
  switch (prop.Kind()) {
    case TPropKind::Integer: return TStreamValue::Integer(prop.GetOrdinal(obj));
    case TPropKind::Boolean: return TStreamValue::Boolean(prop.GetOrdinal(obj) != 0);
    case TPropKind::Float: return TStreamValue::Float(prop.GetFloat(obj));
    case TPropKind::String: return TStreamValue::String(prop.GetString(obj));
    case TPropKind::Method: return TStreamValue::Ident(prop.GetString(obj));
    case TPropKind::Enumeration: return TStreamValue::Ident(prop.EnumName(prop.GetOrdinal(obj)));
    case TPropKind::Set: {
      TStreamValue v = TStreamValue::Of(TValueTag::vaSet);
      v.members = prop.SetMembers(uint64_t(prop.GetOrdinal(obj)));
      return v;
    }
    case TPropKind::Color: {
      const auto color = uint32_t(prop.GetOrdinal(obj));
      if (auto ident = ColorToIdent(color)) return TStreamValue::Ident(*ident);
      return TStreamValue::Integer(int32_t(color));  // system colours come out negative, as 32-bit streams hold them
    }
    case TPropKind::Variant: return VariantValue(prop.GetVariant(obj));
    case TPropKind::Binary: {
      TStreamValue v = TStreamValue::Of(TValueTag::vaBinary);
      v.bytes = prop.GetBytes(obj);
      return v;
    }
    case TPropKind::Reference: {
      const TComponent* c = prop.GetReference(obj);
      if (c->Name().empty())
        throw ETemplateError("Property " + path + " refers to a component without a name, which a template cannot store");
      return TStreamValue::Ident(c->Name());
    }
    default: break;
  }
  throw ETemplateError("Property " + path + " has no single value to write");
}

void AppendProperties(const TPersistent& obj, const std::string& prefix, bool skipName,
                      std::vector<TStreamProperty>& out);

TStreamItem ItemOf(const TPersistent& item) {
  TStreamItem result;
  AppendProperties(item, "", false, result.properties);
  return result;
}

void AppendProperties(const TPersistent& obj, const std::string& prefix, bool skipName,
                      std::vector<TStreamProperty>& out) {
  const TClassProperties* cls = obj.PublishedProperties();
  if (!cls) return;
  for (const TPropertyInfo* prop : cls->Properties()) {
    if (skipName && SameText(prop->Name(), "Name")) continue;
    const std::string path = prefix + prop->Name();
    if (!prop->StoredFor(obj)) continue;
    switch (prop->Kind()) {
      case TPropKind::Object: AppendProperties(*prop->GetObject(obj), path + ".", false, out); break;
      case TPropKind::Collection: {
        const auto* collection = static_cast<const TCollection*>(prop->GetObject(obj));
        if (collection->Count() == 0) break;
        TStreamValue v = TStreamValue::Of(TValueTag::vaCollection);
        for (int i = 0; i < collection->Count(); ++i) v.items.push_back(ItemOf(*collection->Items(i)));
        out.push_back({path, std::move(v)});
        break;
      }
      case TPropKind::StringList: {
        const auto* lines = static_cast<const TStrings*>(prop->GetObject(obj));
        if (lines->Empty()) break;
        TStreamValue v = TStreamValue::Of(TValueTag::vaList);
        for (const std::string& line : lines->Items()) v.list.push_back(TStreamValue::String(line));
        out.push_back({path + ".Strings", std::move(v)});
        break;
      }
      default:
        if (!IsStoredDefault(obj, *prop)) out.push_back({path, ScalarValue(obj, *prop, path)});
        break;
    }
  }
}

// A SQLite database file is stored relative to the template's folder.
constexpr const char* kDatabaseFile = "DatabaseName";

bool ReadsAFile(const TDataSet& dataset) {
  const auto* sql = dynamic_cast<const TSqlDataSet*>(&dataset);
  return sql && !sql->DatabaseFile().empty();
}

// A class a template can build a dataset of.
bool IsDatasetClass(const std::string& className) {
  const TComponentClass* cls = GlobalClassRegistry().Find(className);
  return cls && cls->properties && cls->properties->InheritsFrom(TDataSet::ClassProperties());
}

std::string RelativeToFolder(const std::string& file, const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path absolute = fs::absolute(file, error);
  if (error) return file;
  const fs::path relative = absolute.lexically_normal().lexically_relative(fs::path(folder).lexically_normal());
  return relative.empty() ? file : relative.generic_string();
}

std::string InFolder(const std::string& file, const std::string& folder) {
  namespace fs = std::filesystem;
  if (folder.empty() || fs::path(file).is_absolute()) return file;
  return (fs::path(folder) / file).lexically_normal().string();
}

TStreamObject ObjectOf(const TComponent& component) {
  TStreamObject o;
  o.className = component.ClassName();
  o.name = component.Name();
  o.properties = StreamProperties(component);
  return o;
}

// ---- reading ----

TVariant ToVariant(const TStreamValue& v) {
  if (v.IsInteger()) return TVariant(v.integer);
  if (v.IsString()) return TVariant(v.text);
  switch (v.tag) {
    case TValueTag::vaNull: return TVariant();
    case TValueTag::vaNil: return TVariant::empty();
    case TValueTag::vaFalse: return TVariant(false);
    case TValueTag::vaTrue: return TVariant(true);
    case TValueTag::vaDate: return TVariant(TDateTime{v.AsFloat()});
    case TValueTag::vaExtended:
    case TValueTag::vaSingle:
    case TValueTag::vaDouble:
    case TValueTag::vaCurrency: return TVariant(v.AsFloat());
    default: Expect("a variant value", v);
  }
}

bool ToBoolean(const TStreamValue& v) {
  if (v.tag == TValueTag::vaTrue) return true;
  if (v.tag == TValueTag::vaFalse) return false;
  if (v.tag == TValueTag::vaIdent && SameText(v.text, "True")) return true;
  if (v.tag == TValueTag::vaIdent && SameText(v.text, "False")) return false;
  Expect("True or False", v);
}

void ApplyRecord(TPersistent& obj, const TStreamProperty& record, TStreamReadContext& context,
                 const std::string& where, const std::string& pathPrefix);

void ApplyItems(const TStreamValue& value, TStreamReadContext& context, const std::string& where,
                const std::string& path, const std::function<TPersistent&()>& add) {
  for (size_t i = 0; i < value.items.size(); ++i) {
    TPersistent& item = add();
    for (const TStreamProperty& r : value.items[i].properties)
      ApplyRecord(item, r, context, where, path + "[" + std::to_string(i) + "].");
  }
}

// Sets a property that the record's path ends at.
void ApplyValue(TPersistent& obj, const TPropertyInfo& prop, const TStreamValue& v, TStreamReadContext& context,
                const std::string& where, const std::string& path) {
  switch (prop.Kind()) {
    case TPropKind::Integer:
      if (!v.IsInteger()) Expect("an integer", v);
      return prop.SetOrdinal(obj, v.integer);
    case TPropKind::Boolean: return prop.SetOrdinal(obj, ToBoolean(v));
    case TPropKind::Float:
      if (!v.IsInteger() && !v.IsFloat()) Expect("a number", v);
      return prop.SetFloat(obj, v.AsFloat());
    case TPropKind::String:
      if (!v.IsString()) Expect("a string", v);
      return prop.SetString(obj, v.text);
    case TPropKind::Method:
      if (v.tag == TValueTag::vaNil) return prop.SetString(obj, "");
      if (v.tag != TValueTag::vaIdent && !v.IsString()) Expect("an event handler name", v);
      return prop.SetString(obj, v.text);
    case TPropKind::Enumeration:
      if (v.tag != TValueTag::vaIdent) Expect("an identifier", v);
      return prop.SetOrdinal(obj, prop.EnumValue(v.text));
    case TPropKind::Set:
      if (v.tag != TValueTag::vaSet) Expect("a set", v);
      return prop.SetOrdinal(obj, int64_t(prop.SetMask(v.members)));
    case TPropKind::Color:
      if (v.tag == TValueTag::vaIdent) {
        const auto color = IdentToColor(v.text);
        if (!color) throw EValueMismatch("\"" + v.text + "\" is not a colour name");
        return prop.SetOrdinal(obj, *color);
      }
      if (!v.IsInteger()) Expect("a colour", v);
      if (v.integer < INT32_MIN || v.integer > int64_t(UINT32_MAX))
        throw EValueMismatch(std::to_string(v.integer) + " is not a colour");
      return prop.SetOrdinal(obj, uint32_t(v.integer));
    case TPropKind::Variant: return prop.SetVariant(obj, ToVariant(v));
    case TPropKind::Binary:
      if (v.tag != TValueTag::vaBinary) Expect("binary data", v);
      return prop.SetBytes(obj, v.bytes);
    case TPropKind::Reference: {
      if (v.tag == TValueTag::vaNil) return prop.SetReference(obj, nullptr);
      if (v.tag != TValueTag::vaIdent && !v.IsString()) Expect("a component name", v);
      TComponent* found = context.resolve ? context.resolve(v.text) : nullptr;
      if (!found) {
        context.unresolved.push_back(path + " = " + v.text);
        return;
      }
      return prop.SetReference(obj, found);
    }
    case TPropKind::StringList: {
      if (v.tag != TValueTag::vaList) Expect("a list of strings", v);
      TStringList read;
      for (const TStreamValue& e : v.list) {
        if (!e.IsString()) Expect("strings only in the list", e);
        read.Add(e.text);
      }
      return prop.AssignObject(obj, read);
    }
    case TPropKind::Collection: {
      if (v.tag != TValueTag::vaCollection) Expect("a collection", v);
      // Items are read aside and then replace the contents, as an edit in
      // the inspector would.
      const std::shared_ptr<TPersistent> read = prop.CopyObject(obj);
      auto* collection = static_cast<TCollection*>(read.get());
      collection->Clear();
      ApplyItems(v, context, where, path, [collection]() -> TPersistent& { return *collection->Add(); });
      return prop.AssignObject(obj, *collection);
    }
    case TPropKind::Object: throw EValueMismatch("is an object; its fields are written as " + path + ".Field");
  }
}

void ApplyRecord(TPersistent& obj, const TStreamProperty& record, TStreamReadContext& context,
                 const std::string& where, const std::string& pathPrefix) {
  const std::string path = pathPrefix + record.name;
  try {
    TPersistent* target = &obj;
    size_t start = 0;
    for (;;) {
      const size_t dot = record.name.find('.', start);
      const std::string segment = record.name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      const TClassProperties* cls = target->PublishedProperties();
      const TPropertyInfo* prop = cls ? cls->Find(segment) : nullptr;
      if (!prop) throw EValueMismatch("no such property in " + target->ClassName());
      if (dot == std::string::npos) return ApplyValue(*target, *prop, record.value, context, where, path);
      const std::string rest = record.name.substr(dot + 1);
      if (prop->Kind() == TPropKind::StringList && SameText(rest, "Strings"))
        return ApplyValue(*target, *prop, record.value, context, where, path);
      if (prop->Kind() != TPropKind::Object) throw EValueMismatch(segment + " has no fields of its own");
      target = prop->GetObject(*target);
      start = dot + 1;
    }
  } catch (const ETemplateError&) {
    throw;  // already placed, by a nested record
  } catch (const std::exception& e) {
    TemplateErrorAt(context, record.offset, "property " + path + " of " + where + ": " + e.what(), path);
  }
}

std::string Describe(const TStreamObject& o) { return o.className + (o.name.empty() ? "" : " " + o.name); }

// A registered class whose descriptors descend from base.
const TComponentClass& FindClass(const TStreamObject& o, const TClassProperties& base, const char* role,
                                const TStreamReadContext& context) {
  const TComponentClass* cls = GlobalClassRegistry().Find(o.className);
  if (!cls) TemplateErrorAt(context, o.offset, "unknown class " + o.className);
  if (!cls->properties || !cls->properties->InheritsFrom(base))
    TemplateErrorAt(context, o.offset, "class " + o.className + " is not " + role);
  return *cls;
}

template <class T>
T& Create(const TComponentClass& cls, TComponent& owner, const TStreamObject& o, const TStreamReadContext& context) {
  TComponent* made = cls.create(&owner);
  auto* typed = dynamic_cast<T*>(made);
  if (!typed) {
    delete made;
    TemplateErrorAt(context, o.offset, "class " + o.className + " built an object of another kind");
  }
  typed->SetLoading(true);
  if (!o.name.empty()) {
    try {
      typed->SetName(o.name);
    } catch (const std::exception& e) {
      TemplateErrorAt(context, o.offset, std::string("name of ") + Describe(o) + ": " + e.what());
    }
  }
  return *typed;
}

void ReadControl(const TStreamObject& o, TZdqBand& band, TStreamReadContext& context) {
  const TComponentClass& cls = FindClass(o, TZdqControl::ClassProperties(), "a report control", context);
  if (cls.properties->InheritsFrom(TZdqBand::ClassProperties()))
    TemplateErrorAt(context, o.offset, "a band cannot hold the band " + Describe(o));
  auto& control = Create<TZdqControl>(cls, band, o, context);
  ApplyStreamProperties(control, o.properties, context, Describe(o));
  if (!o.children.empty()) TemplateErrorAt(context, o.children.front().offset, Describe(o) + " cannot hold child objects");
  control.SetLoading(false);
}

void ReadDataset(const TStreamObject& o, TZdReport& report, TStreamReadContext& context) {
  if (o.name.empty()) TemplateErrorAt(context, o.offset, "a dataset needs a name");
  const TComponentClass& cls = FindClass(o, TDataSet::ClassProperties(), "a dataset", context);
  auto& dataset = Create<TDataSet>(cls, report, o, context);
  ApplyStreamProperties(dataset, o.properties, context, Describe(o));
  if (!o.children.empty()) TemplateErrorAt(context, o.children.front().offset, Describe(o) + " cannot hold child objects");
  if (ReadsAFile(dataset)) {
    auto& sql = static_cast<TSqlDataSet&>(dataset);
    sql.SetDatabaseName(InFolder(sql.DatabaseName(), context.templateFolder));
  }
  dataset.SetLoading(false);
}

void ReadBand(const TStreamObject& o, TZdReport& report, TStreamReadContext& context) {
  const TComponentClass& cls = FindClass(o, TZdqBand::ClassProperties(), "a band; a report holds only bands", context);
  auto& band = Create<TZdqBand>(cls, report, o, context);
  ApplyStreamProperties(band, o.properties, context, Describe(o));
  for (const TStreamObject& child : o.children) ReadControl(child, band, context);
  band.SetLoading(false);
}

}  // namespace

void TemplateErrorAt(const TStreamReadContext& context, size_t offset, const std::string& what,
                     const std::string& propertyPath) {
  const std::string place = context.describePlace ? context.describePlace(offset) : "byte " + std::to_string(offset);
  ETemplateError error = AtOffset(ETemplateError("Template error at " + place + ": " + what), offset);
  error.SetPropertyPath(propertyPath);
  throw error;
}

std::vector<TStreamProperty> StreamProperties(const TPersistent& obj) {
  std::vector<TStreamProperty> out;
  AppendProperties(obj, "", dynamic_cast<const TComponent*>(&obj) != nullptr, out);
  return out;
}

bool TemplateStoresDataset(const TComponent& component) {
  return dynamic_cast<const TDataSet*>(&component) && IsDatasetClass(component.ClassName());
}

TStreamObject ReportToStream(const TZdReport& report, const std::string& templateFolder) {
  TStreamObject root = ObjectOf(report);
  for (const TComponent* component : report.Components()) {
    if (!TemplateStoresDataset(*component)) continue;
    const auto& dataset = static_cast<const TDataSet&>(*component);
    if (dataset.Name().empty())
      throw ETemplateError("A dataset of the report has no name, which a template needs to store it");
    TStreamObject d = ObjectOf(dataset);
    if (!templateFolder.empty() && ReadsAFile(dataset))
      for (TStreamProperty& p : d.properties)
        if (p.name == kDatabaseFile) p.value.text = RelativeToFolder(p.value.text, templateFolder);
    root.children.push_back(std::move(d));
  }
  for (const TZdqBand* band : report.Bands()) {
    TStreamObject b = ObjectOf(*band);
    for (const TZdqControl* control : band->Objects()) b.children.push_back(ObjectOf(*control));
    root.children.push_back(std::move(b));
  }
  return root;
}

void ApplyStreamProperties(TPersistent& obj, const std::vector<TStreamProperty>& records,
                           TStreamReadContext& context, const std::string& where) {
  for (const TStreamProperty& r : records) ApplyRecord(obj, r, context, where, "");
}

void StreamToReport(const TStreamObject& root, TZdReport& report, TStreamReadContext& context) {
  for (const TStreamObject& child : root.children)
    if (IsDatasetClass(child.className)) ReadDataset(child, report, context);
  ApplyStreamProperties(report, root.properties, context, Describe(root));
  for (const TStreamObject& child : root.children)
    if (!IsDatasetClass(child.className)) ReadBand(child, report, context);
}

}  // namespace zd
