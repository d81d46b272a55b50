#pragma once
// The PDF exporter: writes the collected cells page by page as text
// objects, stroked lines and RGB image objects, at their own positions
// (cells are taken in collection order, without the grid). Every page of the
// export is one PDF page, and a cell goes on the page it was drawn on.
#include <string>

#include "export/ExportAttributes.h"

namespace zd {

// Encoding of image data; ASCII85, LZW and DCT are written as ASCIIHex.
enum class TZdqECompression { seASCIIHex, seASCII85, seLZW, seDCT, seFlate };
enum class TZdqECompressionMethod { cmFastest, cmNormal, cmMaxCompress };

// Filter name of an image encoding ("ASCIIHexDecode" ... "FlateDecode").
const char* PdfFilterName(TZdqECompression compression);

class TZdqExportToPDF : public TZdqExportAttributes {
 public:
  explicit TZdqExportToPDF(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToPDF"; }

  // A page of the document begins (the bars of a page share one sheet).
  void NewPage(int page, int bar) override;
  // Writes the document built from every cell collected so far; file
  // errors throw EPdfError.
  void SaveToFile(const std::string& fileName) override;
  // The document SaveToFile writes.
  std::string BuildDocument() const;

  TZdqECompression Compression = TZdqECompression::seASCIIHex;
  TZdqECompressionMethod CompressionMethod = TZdqECompressionMethod::cmNormal;  // not consulted
  // Embeds subsets of the real TrueType fonts, so that any Unicode text
  // shows and can be copied; off, text uses the PDF base fonts and the
  // 8-bit code page of each font's charset.
  bool EmbedFonts = false;

 private:
  int pagesStarted_ = 0;  // since the last save
};

}  // namespace zd
