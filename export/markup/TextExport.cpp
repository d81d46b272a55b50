#include "export/markup/TextExport.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "export/detail/ExportOutput.h"
#include "host/core/Properties.h"
#include "host/core/TextUtil.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

// Nearest integer, exact halves to the even one; nullopt outside [lo, hi].
std::optional<long long> roundedWithin(double v, double lo, double hi) {
  if (!std::isfinite(v)) return std::nullopt;
  double r = std::floor(v);
  const double diff = v - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  if (r < lo || r > hi) return std::nullopt;
  return static_cast<long long>(r);
}

bool isBlank(const std::u32string& line) {
  for (char32_t c : line)
    if (c > U' ') return false;
  return true;
}

}  // namespace

TZdqExportToText::TZdqExportToText(TComponent* owner) : TZdqExport(owner) {}

TZdqExportToText::~TZdqExportToText() = default;

const TClassProperties* TZdqExportToText::PublishedProperties() const {
  static const TClassProperties props =
      TPropertiesOf<TZdqExportToText>("TZdqExportToText", TZdqExport::PublishedProperties())
          .Integer("CodePage", &TZdqExportToText::CodePage, &TZdqExportToText::SetCodePage,
                   TZdqOutputCharset::Utf8)
          .Build();
  return &props;
}

void TZdqExportToText::StartExport() {
  TZdqExport::StartExport();
  lines_.clear();
  lineY_.clear();
  firstLine_ = 0;
  output_.reset();
  FactorX = 5.1;
  FactorY = 16.0;
}

void TZdqExportToText::EndExport() {
  lines_.clear();
  lineY_.clear();
  firstLine_ = 0;
  output_.reset();  // a result never saved leaves no file
  TZdqExport::EndExport();
}

void TZdqExportToText::BeginResult(const std::string& fileName) {
  TZdqExport::BeginResult(fileName);
  output_ = std::make_unique<TExportOutput>(fileName, DestinationStream());
}

void TZdqExportToText::NewPage(int page, int bar) {
  if (page >= 1 && bar == 0 && firstLine_ + (long long)lines_.size() >= 2) {
    lines_.back() += U'\f';
    // The last line with text stays: a page without text puts its form feed
    // there too, and trailing blank lines are dropped only at the end.
    size_t lastText = lines_.size() - 1;
    while (lastText > 0 && isBlank(lines_[lastText])) --lastText;
    if (output_) writeLines(lastText);
  }
  TZdqExport::NewPage(page, bar);
}

void TZdqExportToText::writeLines(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += EncodeUtf8(lines_[i]) + "\r\n";
  const std::string bytes = charset_.Encode(text, &ReplacedCharacters);
  output_->Stream().write(bytes.data(), std::streamsize(bytes.size()));
  lines_.erase(lines_.begin(), lines_.begin() + std::ptrdiff_t(count));
  lineY_.erase(lineY_.begin(), lineY_.begin() + std::ptrdiff_t(count));
  firstLine_ += (long long)count;
}

void TZdqExportToText::ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) {
  TZdqExport::ExportEMFRecord(record, state);
  if (record.Type != EMR_EXTTEXTOUTA && record.Type != EMR_EXTTEXTOUTW && record.Type != EMR_SMALLTEXTOUT)
    return;
  const std::optional<TEmfText> text = ReadEmfText(record);
  if (!text || Trim(text->Text).empty()) return;
  // The left and top of the inflated bounds; a small text has only its reference point.
  const bool small = record.Type == EMR_SMALLTEXTOUT;
  const double x = small ? double(text->Reference.X) : double(text->Bounds.Left) - 1;
  const double y = small ? double(text->Reference.Y) : double(text->Bounds.Top) - 1;
  placeText(OffsetX + x, OffsetY + y, DecodeUtf8(text->Text));
}

// A text that cannot be placed (far outside any page) is dropped, so one bad
// record does not stop the export.
void TZdqExportToText::placeText(double x, double y, std::u32string text) {
  if (FactorX <= 0 || FactorY <= 0) return;
  const double first = double(firstLine_);
  const std::optional<long long> line = roundedWithin(y / FactorY, first - kMaxLines, first + kMaxLines - 1);
  const std::optional<long long> column = roundedWithin(x / FactorX, -kMaxColumns, kMaxColumns);
  if (!line || !column) return;
  // Line breaks inside a text would split the line it is placed on.
  for (char32_t& c : text)
    if (c < U' ') c = U' ';

  // Lines already written are out of reach: a text above them goes to the first open one.
  size_t index = size_t(std::max(*line - firstLine_, 0LL));
  // Lines of text closer together than a text line, which round to the same
  // line, would overwrite each other: the later one goes below.
  const size_t from = size_t(std::max(*column - 1, 0LL));
  for (int tries = 0; tries < kMaxShift && index < lineY_.size() && lineY_[index] && *lineY_[index] != y &&
                      overlaps(lines_[index], from, text.size());
       ++tries)
    ++index;
  if (lines_.size() <= index) {
    lines_.resize(index + 1);
    lineY_.resize(index + 1);
  }
  if (!lineY_[index]) lineY_[index] = y;
  std::u32string& target = lines_[index];
  if (*column < 1) {
    target.insert(0, text);
    return;
  }
  const size_t at = size_t(*column - 1);
  if (target.size() < size_t(*column)) target.resize(size_t(*column), U' ');
  target.erase(at, text.size());
  target.insert(at, text);
}

bool TZdqExportToText::overlaps(const std::u32string& line, size_t from, size_t length) {
  for (size_t i = from; i < std::min(line.size(), from + length); ++i)
    if (line[i] != U' ') return true;
  return false;
}

void TZdqExportToText::SaveToFile(const std::string& fileName) {
  TZdqExport::SaveToFile(fileName);
  while (!lines_.empty() && firstLine_ + (long long)lines_.size() > 1 && isBlank(lines_.back())) lines_.pop_back();
  if (!output_)
    output_ = std::make_unique<TExportOutput>(fileName, DestinationStream());
  writeLines(lines_.size());
  lineY_.clear();
  firstLine_ = 0;
  std::unique_ptr<TExportOutput> output = std::move(output_);
  output->Commit();
}

std::vector<std::string> TZdqExportToText::Lines() const {
  std::vector<std::string> out;
  out.reserve(lines_.size());
  for (const std::u32string& line : lines_) out.push_back(EncodeUtf8(line));
  return out;
}

}  // namespace zd
