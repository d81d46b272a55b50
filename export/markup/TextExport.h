#pragma once
// A plain-text image of the pages: every text-out is placed on a grid of
// character columns and lines by fixed factors, without the cell grid.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/Export.h"
#include "export/OutputCharset.h"

namespace zd {

class TExportOutput;

class TZdqExportToText : public TZdqExport {
 public:
  explicit TZdqExportToText(TComponent* owner = nullptr);
  ~TZdqExportToText() override;
  std::string ClassName() const override { return "TZdqExportToText"; }
  const TClassProperties* PublishedProperties() const override;

  void StartExport() override;
  void EndExport() override;
  // Ends the last line of the previous page with a form feed. When the
  // result was named, the previous pages' lines are written out then:
  // texts of later pages cannot reach them.
  void NewPage(int page, int bar) override;
  void BeginResult(const std::string& fileName) override;
  void ExportEMFRecord(const TEmfRecord& record, const TEmfState& state) override;
  // Writes the lines placed since the last save and empties the list.
  void SaveToFile(const std::string& fileName) override;

  // The file's encoding: TZdqOutputCharset::Utf8 (the default) or a
  // single-byte code page; an unknown one raises std::invalid_argument.
  int CodePage() const { return charset_.CodePage(); }
  void SetCodePage(int codePage) { charset_ = TZdqOutputCharset(codePage); }

  // Metafile units per character column and per line.
  double FactorX = 5.1;
  double FactorY = 16.0;

  // The lines placed and not yet written, as UTF-8.
  std::vector<std::string> Lines() const;

  // Texts further away than these (either way, lines counted from the first
  // line not yet written) are dropped rather than padded out to.
  static constexpr int kMaxLines = 1000000;
  static constexpr int kMaxColumns = 4096;

 private:
  void placeText(double x, double y, std::u32string text);
  static bool overlaps(const std::u32string& line, size_t from, size_t length);
  // Writes and forgets the first `count` lines.
  void writeLines(size_t count);

  // How many lines down a text may move from one it would overwrite: text
  // set closer than FactorY falls further behind with every line, by four
  // lines over a page of 15-unit lines.
  static constexpr int kMaxShift = 64;
  std::vector<std::u32string> lines_;
  std::vector<std::optional<double>> lineY_;  // where the first text of each line came from
  long long firstLine_ = 0;                    // the number of lines_[0] in the result
  std::unique_ptr<TExportOutput> output_;      // once the result is named
  TZdqOutputCharset charset_{TZdqOutputCharset::Utf8};
};

}  // namespace zd
