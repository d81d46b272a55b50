#pragma once
// A plain-text image of the pages: every text-out is placed on a grid of
// character columns and lines by fixed factors, without the cell grid.
#include <optional>
#include <string>
#include <vector>

#include "export/Export.h"
#include "export/OutputCharset.h"

namespace zd {

class TZdqExportToText : public TZdqExport {
 public:
  explicit TZdqExportToText(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToText"; }
  const TClassProperties* PublishedProperties() const override;

  void StartExport() override;
  void EndExport() override;
  // Ends the last line of the previous page with a form feed.
  void NewPage(int page, int bar) override;
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

  // The lines placed so far, as UTF-8.
  std::vector<std::string> Lines() const;

  // Texts further away than these (either way) are dropped rather than padded out to.
  static constexpr int kMaxLines = 1000000;
  static constexpr int kMaxColumns = 4096;

 private:
  void placeText(double x, double y, std::u32string text);
  static bool overlaps(const std::u32string& line, size_t from, size_t length);

  // How many lines down a text may move from one it would overwrite.
  static constexpr int kMaxShift = 3;
  std::vector<std::u32string> lines_;
  std::vector<std::optional<double>> lineY_;  // where the first text of each line came from
  TZdqOutputCharset charset_{TZdqOutputCharset::Utf8};
};

}  // namespace zd
