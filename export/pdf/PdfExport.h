#pragma once
// The PDF exporter: writes the collected cells page by page as text
// objects, stroked lines and RGB image objects, at their own positions
// (cells are taken in collection order, without the grid). Every page of the
// export is one PDF page, and a cell goes on the page it was drawn on.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/ExportAttributes.h"

namespace zd {

// Encoding of image data; ASCII85, LZW and DCT are written as ASCIIHex.
enum class TZdqECompression { seASCIIHex, seASCII85, seLZW, seDCT, seFlate };
enum class TZdqECompressionMethod { cmFastest, cmNormal, cmMaxCompress };

// Filter name of an image encoding ("ASCIIHexDecode" ... "FlateDecode").
const char* PdfFilterName(TZdqECompression compression);

class TPdfCellDocument;

class TZdqExportToPDF : public TZdqExportAttributes {
 public:
  explicit TZdqExportToPDF(TComponent* owner = nullptr);
  ~TZdqExportToPDF() override;
  std::string ClassName() const override { return "TZdqExportToPDF"; }

  // A page of the document begins (the bars of a page share one sheet);
  // the pages before the previous one are complete and go to the file.
  void NewPage(int page, int bar) override;
  // Writes the rest of the document since the last save; file errors and a
  // missing page size throw EPdfError.
  void SaveToFile(const std::string& fileName) override;
  // Drops a document that was never saved.
  void EndExport() override;

  TZdqECompression Compression = TZdqECompression::seASCIIHex;
  TZdqECompressionMethod CompressionMethod = TZdqECompressionMethod::cmNormal;  // not consulted
  // Embeds subsets of the real TrueType fonts, so that any Unicode text
  // shows and can be copied; off, text uses the PDF base fonts and the
  // 8-bit code page of each font's charset.
  bool EmbedFonts = false;

 private:
  TPdfCellDocument& document();
  void sortCells(int firstOpenPage);
  void writePagesBefore(int end);

  std::unique_ptr<TPdfCellDocument> document_;
  std::map<int, std::vector<TZdqMFERecord>> waiting_;  // cells of pages not yet written, by page
  int pagesStarted_ = 0;  // since the last save
  int written_ = 0;       // pages in the document
};

}  // namespace zd
