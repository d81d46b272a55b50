#include "host/core/Strings.h"

#include <algorithm>

namespace zd {

void TStrings::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TStrings*>(&source)) {
    items_ = s->items_;
    return;
  }
  TPersistent::Assign(source);
}

int TStrings::Add(const std::string& s) {
  items_.push_back(s);
  return int(items_.size()) - 1;
}

void TStrings::Insert(int i, const std::string& s) {
  if (i < 0 || i > Count()) throw std::out_of_range("List index out of bounds");
  items_.insert(items_.begin() + i, s);
}

void TStrings::Delete(int i) {
  if (i < 0 || i >= Count()) throw std::out_of_range("List index out of bounds");
  items_.erase(items_.begin() + i);
}

int TStrings::IndexOf(const std::string& s) const {
  auto it = std::find(items_.begin(), items_.end(), s);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

std::string TStrings::Text() const {
  std::string r;
  for (const auto& s : items_) r += s + "\r\n";
  return r;
}

void TStrings::SetText(const std::string& text) {
  items_.clear();
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      items_.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) items_.push_back(line);
}

std::string TStrings::CommaText() const {
  std::string r;
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string& s = items_[i];
    if (i) r += ',';
    bool quote = s.empty() || std::any_of(s.begin(), s.end(), [](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
    });
    if (!quote) {
      r += s;
      continue;
    }
    r += '"';
    for (char c : s) {
      if (c == '"') r += '"';
      r += c;
    }
    r += '"';
  }
  return r;
}

namespace {
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

void TStrings::SetCommaText(const std::string& text) {
  items_.clear();
  size_t i = 0, n = text.size();
  auto skipBlanks = [&] {
    while (i < n && isBlank(text[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      // Quoted: runs to the closing quote, or to the end when there is none.
      for (++i; i < n; ++i) {
        if (text[i] != '"') {
          item += text[i];
        } else if (i + 1 < n && text[i + 1] == '"') {
          item += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    } else {
      size_t start = i;
      while (i < n && !isBlank(text[i]) && text[i] != ',') ++i;
      item = text.substr(start, i - start);
    }
    items_.push_back(item);
    skipBlanks();
    if (i < n && text[i] == ',') {
      ++i;
      if (i == n) items_.emplace_back();
      skipBlanks();
    }
  }
}

}  // namespace zd
