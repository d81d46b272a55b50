#pragma once
// Tagged value shared by datasets, variables and expressions.
#include <cstdint>
#include <string>
#include <variant>

namespace zd {

enum class TVarKind { Null, Empty, Integer, Float, Boolean, String, DateTime };

// DateTime is days since 30 December 1899 with the time of day as the fraction.
struct TDateTime {
  double days = 0;
  bool operator==(const TDateTime&) const = default;
};

class TVariant {
 public:
  TVariant() = default;  // Null
  TVariant(int64_t v) : value_(v) {}
  TVariant(int v) : value_(int64_t(v)) {}
  TVariant(double v) : value_(v) {}
  TVariant(bool v) : value_(v) {}
  TVariant(std::string v) : value_(std::move(v)) {}
  TVariant(const char* v) : value_(std::string(v)) {}
  TVariant(TDateTime v) : value_(v) {}
  static TVariant empty() { TVariant v; v.value_ = EmptyTag{}; return v; }

  TVarKind kind() const { return static_cast<TVarKind>(value_.index()); }
  bool isNull() const { return kind() == TVarKind::Null; }
  bool isEmpty() const { return kind() == TVarKind::Empty; }

  // Accessors require the matching kind; check kind() first.
  int64_t asInteger() const { return std::get<int64_t>(value_); }
  double asFloat() const { return std::get<double>(value_); }
  bool asBoolean() const { return std::get<bool>(value_); }
  const std::string& asString() const { return std::get<std::string>(value_); }
  TDateTime asDateTime() const { return std::get<TDateTime>(value_); }

  bool operator==(const TVariant&) const = default;

 private:
  struct NullTag { bool operator==(const NullTag&) const = default; };
  struct EmptyTag { bool operator==(const EmptyTag&) const = default; };
  // Order matches TVarKind.
  std::variant<NullTag, EmptyTag, int64_t, double, bool, std::string, TDateTime> value_;
};

}  // namespace zd
