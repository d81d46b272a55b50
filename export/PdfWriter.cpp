#include "export/PdfWriter.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>

#include "export/TextExportFile.h"

namespace zd {

std::string PdfEscapeString(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    switch (c) {
      case '(': case ')': case '\\': out += '\\'; out += c; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

// By hand rather than by printf: pages hold many numbers, and no locale may
// put a comma in.
std::string PdfNumber(double value) {
  if (!std::isfinite(value)) return "0";
  const long long thousandths = std::llround(value * 1000);
  const unsigned long long magnitude =
      thousandths < 0 ? 0ULL - static_cast<unsigned long long>(thousandths) : static_cast<unsigned long long>(thousandths);
  std::string s = (thousandths < 0 ? "-" : "") + std::to_string(magnitude / 1000);
  unsigned fraction = unsigned(magnitude % 1000);
  if (fraction != 0) {
    char digits[4] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10), char('0' + fraction % 10), 0};
    int length = 3;
    while (digits[length - 1] == '0') --length;
    s += '.';
    s.append(digits, size_t(length));
  }
  return s;
}

std::string PdfPoints(double pageUnits) { return PdfNumber(pageUnits * 72.0 / 96.0); }

std::string PdfColor(TColor color, bool stroke) {
  // Formatted by hand so that no locale can put a comma in.
  auto part = [](uint8_t v) {
    const int thousandths = int(std::lround(v * 1000.0 / 255.0));
    const char text[] = {char('0' + thousandths / 1000), '.', char('0' + thousandths / 100 % 10),
                         char('0' + thousandths / 10 % 10), char('0' + thousandths % 10)};
    return std::string(text, sizeof text);
  };
  return part(RedOf(color)) + " " + part(GreenOf(color)) + " " + part(BlueOf(color)) +
         (stroke ? " RG" : " rg");
}

std::string FlateCompress(std::string_view data) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                           reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                           Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) throw EPdfError("Flate compression failed (zlib error " + std::to_string(rc) + ")");
  out.resize(size);
  return out;
}

std::string HexEncode(std::string_view data) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(data.size() * 2);
  for (unsigned char b : data) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

void TPdfWriter::WriteString(std::string_view line) {
  std::string& target = inContent_ ? content_ : file_;
  target.append(line);
  target.append("\r\n");
}

void TPdfWriter::WriteRaw(std::string_view bytes) { file_.append(bytes); }

void TPdfWriter::WriteStream(std::string_view data) {
  WriteString("stream");
  WriteRaw(data);
  // The end of line before "endstream" is not part of the data.
  if (!data.empty() && data.back() != '\n') WriteRaw("\r\n");
  WriteString("endstream");
}

void TPdfWriter::AddRef(int number) {
  if (number < 1 || number >= nextObject_)
    throw EPdfError("PDF object " + std::to_string(number) + " was never numbered");
  if (!offsets_.emplace(number, file_.size()).second)
    throw EPdfError("PDF object " + std::to_string(number) + " is written twice");
}

void TPdfWriter::BeginContent() {
  content_.clear();
  inContent_ = true;
}

std::string TPdfWriter::TakeContent() {
  inContent_ = false;
  return std::move(content_);
}

void TPdfWriter::WriteXrefAndTrailer(int rootObject, int infoObject) {
  if (inContent_) throw EPdfError("PDF page content still open at the end of the file");
  const int count = nextObject_ - 1;
  for (int n = 1; n <= count; ++n)
    if (!offsets_.count(n)) throw EPdfError("PDF object " + std::to_string(n) + " was numbered but not written");
  const size_t xrefPos = file_.size();
  WriteString("xref");
  WriteString("0 " + std::to_string(count + 1));
  WriteString("0000000000 65535 f");
  char buf[32];
  for (const auto& [number, offset] : offsets_) {
    std::snprintf(buf, sizeof buf, "%010zu 00000 n", offset);
    WriteString(buf);
  }
  WriteString("trailer");
  WriteString("<< /Root " + std::to_string(rootObject) + " 0 R ");
  WriteString("/Info " + std::to_string(infoObject) + " 0 R ");
  WriteString("/Size " + std::to_string(count + 1) + " >> ");
  WriteString("startxref");
  WriteString(std::to_string(xrefPos));
  WriteString("%%EOF");
}

void TPdfWriter::SaveBytes(const std::string& bytes, const std::string& fileName) {
  try {
    WriteExportFile(fileName, bytes);
  } catch (const EZdqExportFileError& e) {
    throw EPdfError(e.what());
  }
}

}  // namespace zd
