#pragma once
// A bounded table of values computed per text, in two generations: when the
// current one is full it becomes the old one and the older is dropped, and a
// text found in the old one moves back. Texts a report repeats (titles, group
// values) stay however many one-off texts (ids, dates, amounts) pass through.
#include <string>
#include <unordered_map>

namespace zd {

template <typename Value>
class TTextTable {
 public:
  explicit TTextTable(size_t generationSize) : generationSize_(generationSize) {}

  // The value of text, made by make() when the table does not hold it.
  template <typename Make>
  const Value& Get(const std::string& text, Make make) {
    if (auto it = current_.find(text); it != current_.end()) return it->second;
    if (auto it = old_.find(text); it != old_.end()) {
      auto node = old_.extract(it);
      makeRoom();
      return current_.insert(std::move(node)).position->second;
    }
    Value value = make();
    makeRoom();
    return current_.emplace(text, std::move(value)).first->second;
  }

 private:
  void makeRoom() {
    if (current_.size() < generationSize_) return;
    old_ = std::move(current_);
    current_.clear();
  }

  size_t generationSize_;
  std::unordered_map<std::string, Value> current_, old_;
};

}  // namespace zd
