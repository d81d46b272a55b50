#include "app/zdreport/ParameterValues.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "host/core/TextUtil.h"
#include "host/locale/DateTime.h"
#include "report/model/ZdReport.h"

namespace zd::cli {
namespace {

bool ReadInteger(const std::string& text, int64_t& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool ReadFloat(const std::string& text, double& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool ReadBoolean(const std::string& text, bool& out) {
  for (const char* yes : {"true", "yes", "1", "on"})
    if (SameText(text, yes)) return out = true, true;
  for (const char* no : {"false", "no", "0", "off"})
    if (SameText(text, no)) return out = false, true;
  return false;
}

// yyyy-mm-dd, optionally followed by hh:mm or hh:mm:ss.
bool ReadDateTime(const std::string& text, TDateTime& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
  const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n %2d:%2d%n:%2d%n", &y, &mo, &d, &used, &h, &mi, &used, &s, &used);
  if (fields < 3 || size_t(used) != text.size() || !IsValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59)
    return false;
  out = TDateTime{EncodeDate(y, mo, d).days + EncodeTime(h, mi, s, 0).days};
  return true;
}

[[noreturn]] void Unreadable(const std::string& what, const char* kind, const std::string& text) {
  throw std::runtime_error(what + " needs " + kind + ", got '" + text + "'");
}

}  // namespace

TVariant ParameterValueFromText(const std::string& text, const TVariant& current, bool checkBox,
                                const std::string& what) {
  int64_t i = 0;
  double f = 0;
  bool b = false;
  TDateTime dt;
  if (checkBox || current.kind() == TVarKind::Boolean) {
    if (!ReadBoolean(text, b)) Unreadable(what, "true or false", text);
    return b;
  }
  switch (current.kind()) {
    case TVarKind::Integer:
      if (!ReadInteger(text, i)) Unreadable(what, "a whole number", text);
      return i;
    case TVarKind::Float:
      if (!ReadFloat(text, f)) Unreadable(what, "a number", text);
      return f;
    case TVarKind::DateTime:
      if (!ReadDateTime(text, dt)) Unreadable(what, "a date (yyyy-mm-dd [hh:mm[:ss]])", text);
      return dt;
    case TVarKind::String: return text;
    default:
      if (ReadInteger(text, i)) return i;
      if (ReadFloat(text, f)) return f;
      return text;
  }
}

void TCommandLineParameters::Apply(TZdReport& report) {
  TZdqParameters& parameters = report.Parameters();
  for (const auto& [name, text] : values_) {
    TZdqParameter* found = nullptr;
    for (int i = 0; i < parameters.Count() && !found; ++i)
      if (SameText(parameters[i]->Name(), name) || SameText(parameters[i]->DisplayLabel(), name)) found = parameters[i];
    if (!found) {
      std::string known;
      for (int i = 0; i < parameters.Count(); ++i) known += (known.empty() ? "" : ", ") + parameters[i]->Name();
      throw std::runtime_error("the report has no parameter '" + name + "'" +
                               (known.empty() ? std::string(" (it has none)") : " (parameters: " + known + ")"));
    }
    found->SetValue(ParameterValueFromText(text, found->Value(),
                                          found->ParameterEditor() == TZdqParameterEditor::peCheckBox,
                                          "parameter " + found->Name()));
  }
}

void RequireParameterValues(const std::vector<TZdqParameter*>& asked) {
  for (const TZdqParameter* p : asked)
    if (p->Value().isNull() || p->Value().isEmpty())
      throw std::runtime_error("parameter " + p->Name() + " has no value: give --param " + p->Name() + "=VALUE");
}

}  // namespace zd::cli
