#pragma once
// What the pages of one document share: the fonts, the images and the hatch
// patterns, each written once under its object number; and per page the
// names its content uses them by.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "export/pdf/detail/PdfFonts.h"
#include "export/pdf/detail/PdfPageText.h"
#include "export/pdf/detail/PdfWriter.h"

namespace zd {

// The part of a device-independent bitmap a page draws.
struct TPdfImageSource {
  std::string_view Info, Bits;  // header (with colour table) and pixels
  int X = 0, Y = 0, Width = 0, Height = 0;
};

class TPdfSharedResources {
 public:
  static constexpr int kHatchStyles = 6;

  explicit TPdfSharedResources(TPdfWriter& pdf) : pdf_(pdf), fonts_(true) {}

  TPdfWriter& Pdf() { return pdf_; }
  TZdqPDFFonts& Fonts() { return fonts_; }
  TPdfTextLayout& Text() { return text_; }

  // Object number of the image; the first time a picture is met it is
  // written to the file (Flate, RGB), a repeated one is shared. Throws
  // EGraphicsError for a bitmap it cannot read.
  int Image(const TPdfImageSource& source);
  // Object number of the tiling pattern of a hatch style (0 to 5) on pages
  // of this height: hatches line up with the page's top.
  int HatchPattern(uint32_t hatch, int pageHeight);
  // The fonts and patterns, at the end of the document.
  void WriteDeferred();

 private:
  TPdfWriter& pdf_;
  TZdqPDFFonts fonts_;
  TPdfTextLayout text_;
  std::unordered_map<std::string, int> images_;  // by the picture's digest
  std::map<std::pair<uint32_t, int>, int> patterns_;  // by hatch and page height
};

// The names a page's content uses and the resource dictionary binding them.
class TPdfPageResources {
 public:
  // "/F" + index of the font in the document's font table.
  std::string Font(int index);
  std::string Image(int object);
  // The name of a hatch style's pattern.
  std::string Hatch(uint32_t hatch);
  // The dictionary for a page of this height.
  std::string Dictionary(TPdfSharedResources& shared, int pageHeight) const;
  void Clear();

 private:
  std::set<int> fonts_, images_;
  std::set<uint32_t> hatches_;
};

}  // namespace zd
