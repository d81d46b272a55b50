#include "export/pdf/detail/PdfPageResources.h"

#include <QImage>

#include <functional>

#include "host/graphics/Bitmap.h"
#include "host/graphics/QtGraphics.h"

namespace zd {

namespace {

std::string ref(int number) { return std::to_string(number) + " 0 R"; }

std::string digestOf(const TPdfImageSource& s) {
  const std::hash<std::string_view> hash;
  return std::to_string(hash(s.Info)) + ':' + std::to_string(hash(s.Bits)) + ':' + std::to_string(s.Bits.size()) +
         ':' + std::to_string(s.X) + ',' + std::to_string(s.Y) + ',' + std::to_string(s.Width) + ',' +
         std::to_string(s.Height);
}

// Rows top first, red, green and blue bytes per pixel.
std::string RgbRows(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  const size_t row = size_t(rgb.width()) * 3;
  std::string out;
  out.reserve(row * size_t(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y) out.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), row);
  return out;
}

// Tiles of eight page units from the page's top left, y downwards, lines one
// unit wide through the pixels the player's hatch brushes set.
constexpr const char* kHatchTiles[TPdfSharedResources::kHatchStyles] = {
    "0 3.5 m 8 3.5 l S",                                 // horizontal
    "4.5 0 m 4.5 8 l S",                                 // vertical
    "-1 -1 m 9 9 l 7 -1 m 9 1 l -1 7 m 1 9 l S",         // down from the left
    "9 -1 m -1 9 l 1 -1 m -1 1 l 9 7 m 7 9 l S",         // up from the left
    "0 3.5 m 8 3.5 l 4.5 0 m 4.5 8 l S",                 // cross
    "-1 -1 m 9 9 l 7 -1 m 9 1 l -1 7 m 1 9 l 9 -1 m -1 9 l 1 -1 m -1 1 l 9 7 m 7 9 l S",  // diagonal cross
};

}  // namespace

int TPdfSharedResources::Image(const TPdfImageSource& source) {
  const std::string digest = digestOf(source);
  if (const auto found = images_.find(digest); found != images_.end()) return found->second;

  const TBitmap bitmap = TBitmap::FromDib(reinterpret_cast<const uint8_t*>(source.Info.data()), source.Info.size(),
                                          reinterpret_cast<const uint8_t*>(source.Bits.data()), source.Bits.size());
  const QImage& whole = ToQImage(bitmap);
  const QRect part = QRect(source.X, source.Y, source.Width, source.Height).intersected(whole.rect());
  int number = 0;
  if (!part.isEmpty()) {
    const QImage image = part == whole.rect() ? whole : whole.copy(part);
    const std::string data = FlateCompress(RgbRows(image));
    number = pdf_.GetNextRefIndex();
    pdf_.AddRef(number);
    pdf_.WriteString(std::to_string(number) + " 0 obj");
    pdf_.WriteString("<< /Type /XObject /Subtype /Image /Width " + std::to_string(image.width()) + " /Height " +
                     std::to_string(image.height()) +
                     " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " +
                     std::to_string(data.size()) + " >>");
    pdf_.WriteStream(data);
    pdf_.WriteString("endobj");
  }
  images_.emplace(digest, number);
  return number;
}

int TPdfSharedResources::HatchPattern(uint32_t hatch, int pageHeight) {
  if (hatch >= kHatchStyles) throw EPdfError("hatch style " + std::to_string(hatch) + " does not exist");
  int& number = patterns_[{hatch, pageHeight}];
  if (!number) number = pdf_.GetNextRefIndex();
  return number;
}

void TPdfSharedResources::WriteDeferred() {
  fonts_.WriteFonts(pdf_);
  for (const auto& [key, number] : patterns_) {
    const auto& [hatch, pageHeight] = key;
    const std::string tile = kHatchTiles[hatch];
    pdf_.AddRef(number);
    pdf_.WriteString(std::to_string(number) + " 0 obj");
    // Pattern space is the page's default space: page units from the top.
    pdf_.WriteString("<< /Type /Pattern /PatternType 1 /PaintType 2 /TilingType 1 /BBox [0 0 8 8] /XStep 8 "
                     "/YStep 8 /Matrix [0.75 0 0 -0.75 0 " + PdfPoints(pageHeight) +
                     "] /Resources << >> /Length " + std::to_string(tile.size()) + " >>");
    pdf_.WriteStream(tile);
    pdf_.WriteString("endobj");
  }
}

std::string TPdfPageResources::Font(int index) {
  fonts_.insert(index);
  return "/F" + std::to_string(index);
}

std::string TPdfPageResources::Image(int object) {
  images_.insert(object);
  return "/I" + std::to_string(object);
}

std::string TPdfPageResources::Hatch(uint32_t hatch) {
  hatches_.insert(hatch);
  return "/H" + std::to_string(hatch);
}

std::string TPdfPageResources::Dictionary(TPdfSharedResources& shared, int pageHeight) const {
  const TZdqPDFFonts& fonts = shared.Fonts();
  std::string d = "<< ";
  if (!fonts_.empty()) {
    d += "/Font << ";
    for (int i : fonts_) d += "/F" + std::to_string(i) + " " + ref(fonts.GetFont(i)->RefIndex) + " ";
    d += ">> ";
  }
  if (!images_.empty()) {
    d += "/XObject << ";
    for (int n : images_) d += "/I" + std::to_string(n) + " " + ref(n) + " ";
    d += ">> ";
  }
  if (!hatches_.empty()) {
    d += "/ColorSpace << /Hatch [/Pattern /DeviceRGB] >> /Pattern << ";
    for (uint32_t hatch : hatches_)
      d += "/H" + std::to_string(hatch) + " " + ref(shared.HatchPattern(hatch, pageHeight)) + " ";
    d += ">> ";
  }
  return d + ">>";
}

void TPdfPageResources::Clear() {
  fonts_.clear();
  images_.clear();
  hatches_.clear();
}

}  // namespace zd
