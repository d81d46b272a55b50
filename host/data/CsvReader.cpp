#include "host/data/CsvReader.h"

namespace zd {

ECsvError::ECsvError(int line, const std::string& message)
    : EZdError("Line " + std::to_string(line) + ": " + message), line_(line) {}

char DetectCsvDelimiter(std::string_view text) {
  constexpr char kCandidates[] = {',', ';', '\t'};
  int counts[3] = {0, 0, 0};
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') {
      if (counts[0] + counts[1] + counts[2] > 0) break;  // blank lines before the header do not count
      continue;
    }
    for (int i = 0; i < 3; ++i) counts[i] += c == kCandidates[i];
  }
  int best = 0;
  for (int i = 1; i < 3; ++i)
    if (counts[i] > counts[best]) best = i;
  return kCandidates[best];
}

TCsvReader::TCsvReader(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {
  if (delimiter == '"' || delimiter == '\r' || delimiter == '\n')
    throw std::invalid_argument("A CSV delimiter cannot be a quote or a line break");
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

bool TCsvReader::AtLineBreak() const {
  return pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r');
}

void TCsvReader::SkipLineBreak() {
  if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++line_;
}

bool TCsvReader::ReadRecord(std::vector<std::string>& fields) {
  while (AtLineBreak()) SkipLineBreak();
  if (pos_ >= text_.size()) return false;
  recordLine_ = line_;
  recordOffset_ = pos_;
  size_t count = 0;
  for (;;) {
    if (count == fields.size()) fields.emplace_back();
    std::string& field = fields[count++];
    field.clear();
    if (text_[pos_] == '"')
      ReadQuoted(field);
    else
      ReadPlain(field);
    if (pos_ >= text_.size()) break;
    if (text_[pos_] == delimiter_) {
      ++pos_;
      if (pos_ >= text_.size()) {  // a trailing delimiter opens one last, empty field
        if (count == fields.size()) fields.emplace_back();
        fields[count++].clear();
        break;
      }
      continue;
    }
    SkipLineBreak();
    break;
  }
  fields.resize(count);
  return true;
}

void TCsvReader::ReadQuoted(std::string& field) {
  const int startLine = line_;
  const size_t quoteAt = pos_;
  ++pos_;  // opening quote
  for (;;) {
    if (pos_ >= text_.size()) throw AtOffset(ECsvError(startLine, "unterminated quoted field"), quoteAt);
    const char c = text_[pos_];
    if (c == '"') {
      if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        field += '"';
        pos_ += 2;
        continue;
      }
      ++pos_;
      break;
    }
    if (c == '\n' || (c == '\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n'))) ++line_;
    field += c;
    ++pos_;
  }
  if (pos_ < text_.size() && text_[pos_] != delimiter_ && !AtLineBreak())
    throw AtOffset(ECsvError(line_, "unexpected character after a closing quote"), pos_);
}

void TCsvReader::ReadPlain(std::string& field) {
  const size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != delimiter_ && !AtLineBreak()) ++pos_;
  field.assign(text_.data() + start, pos_ - start);
}

}  // namespace zd
