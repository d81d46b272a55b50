#pragma once
// Ordered list of strings (page lists, SQL text, template string properties).
#include <string>
#include <vector>

#include "host/core/Component.h"

namespace zd {

class TStrings : public TPersistent {
 public:
  std::string ClassName() const override { return "TStrings"; }
  void Assign(const TPersistent& source) override;

  int Count() const { return int(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](int i) const { return items_.at(size_t(i)); }
  const std::string& Strings(int i) const { return items_.at(size_t(i)); }
  void Put(int i, const std::string& s) { items_.at(size_t(i)) = s; }

  virtual int Add(const std::string& s);
  void Insert(int i, const std::string& s);
  void Delete(int i);
  void Clear() { items_.clear(); }
  int IndexOf(const std::string& s) const;  // exact match, -1 when absent

  // Lines joined with CR LF, each terminated; SetText splits on CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& text);
  // Comma-separated, quoting empty items and items that hold commas, quotes
  // or characters up to the blank.
  std::string CommaText() const;
  // Splits on commas and unquoted blanks; "" inside quotes stands for one
  // quote, and a trailing comma adds an empty item.
  void SetCommaText(const std::string& text);

  const std::vector<std::string>& Items() const { return items_; }
  bool operator==(const TStrings& o) const { return items_ == o.items_; }

 protected:
  std::vector<std::string> items_;
};

class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items) { items_ = items; }
  std::string ClassName() const override { return "TStringList"; }
};

}  // namespace zd
