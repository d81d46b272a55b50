#include "export/pdf/detail/PdfWriter.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "export/detail/ExportOutput.h"
#include "host/locale/Clock.h"
#include "host/locale/DateTime.h"
#include "host/locale/TextCodec.h"

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
void AppendPdfNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += '0';
    return;
  }
  // Numbers from broken input stay within what the thousandths can count.
  constexpr double kLimit = 1e12;
  value = std::clamp(value, -kLimit, kLimit);
  const long long thousandths = std::llround(value * 1000);
  const unsigned long long magnitude =
      thousandths < 0 ? 0ULL - static_cast<unsigned long long>(thousandths) : static_cast<unsigned long long>(thousandths);
  if (thousandths < 0) out += '-';
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 1000).ptr;
  out.append(digits, end);
  const unsigned fraction = unsigned(magnitude % 1000);
  if (fraction != 0) {
    const char decimals[3] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
    int length = 3;
    while (decimals[length - 1] == '0') --length;
    out += '.';
    out.append(decimals, size_t(length));
  }
}

std::string PdfNumber(double value) {
  std::string s;
  AppendPdfNumber(s, value);
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

std::string FlateCompress(std::string_view data, int level) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                           reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                           level);
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

std::string PdfUnicodeString(std::string_view utf8) {
  std::string bigEndian = "\xFE\xFF";
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    bigEndian += char(unit >> 8);
    bigEndian += char(unit & 0xFF);
  }
  return "<" + HexEncode(bigEndian) + ">";
}

std::string PdfTextString(std::string_view utf8) {
  for (unsigned char c : utf8)
    if (c >= 0x80) return PdfUnicodeString(utf8);
  return "(" + PdfEscapeString(utf8) + ")";
}

std::string PdfCreationDate() {
  const TDateTime now = Now();
  const TDateParts d = DecodeDate(now);
  TTimeParts t = DecodeTime(now);
  if (t.hour > 23) t = {23, 59, 59, 0};  // rounding to the millisecond can reach midnight
  char buf[32];
  std::snprintf(buf, sizeof buf, "D:%04d%02d%02d%02d%02d%02d", d.year, d.month, d.day, t.hour, t.minute, t.second);
  return buf;
}

namespace {
// Spooled documents go to disk in pieces of this size.
constexpr size_t kSpoolBuffer = 1 << 20;
}  // namespace

TPdfWriter::~TPdfWriter() {
  if (spool_) std::fclose(spool_);
}

void TPdfWriter::WriteString(std::string_view line) {
  std::string& target = inContent_ ? content_ : file_;
  target.append(line);
  target.append("\r\n");
  if (!inContent_) spillWhenFull();
}

void TPdfWriter::WriteRaw(std::string_view bytes) {
  file_.append(bytes);
  spillWhenFull();
}

void TPdfWriter::spillWhenFull() {
  if (spool_ && file_.size() >= kSpoolBuffer) spill();
}

void TPdfWriter::spill() {
  if (std::fwrite(file_.data(), 1, file_.size(), spool_) != file_.size())
    throw EPdfError("cannot write the PDF document to a temporary file");
  spooled_ += file_.size();
  file_.clear();
}

void TPdfWriter::SpoolToTemporaryFile() {
  if (spool_) return;
  spool_ = std::tmpfile();
  if (!spool_) throw EPdfError("cannot create a temporary file for the PDF document");
  spill();
}

void TPdfWriter::SaveSpooledTo(const std::string& fileName, std::ostream* stream) {
  if (!spool_) throw EPdfError("the PDF document was not spooled");
  spill();
  if (std::fflush(spool_) != 0 || std::fseek(spool_, 0, SEEK_SET) != 0)
    throw EPdfError("cannot read back the temporary file of the PDF document");
  try {
    TExportOutput out(fileName, stream);
    std::string buffer(kSpoolBuffer, '\0');
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), spool_)) > 0;)
      out.Stream().write(buffer.data(), std::streamsize(got));
    if (std::ferror(spool_)) throw EPdfError("cannot read back the temporary file of the PDF document");
    out.Commit();
  } catch (const EZdqExportFileError& e) {
    throw EPdfError(e.what());
  }
}

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
  if (!offsets_.emplace(number, FilePos()).second)
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
  const size_t xrefPos = FilePos();
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

void TPdfWriter::SaveBytes(const std::string& bytes, const std::string& fileName, std::ostream* stream) {
  try {
    WriteExportOutput(fileName, stream, bytes);
  } catch (const EZdqExportFileError& e) {
    throw EPdfError(e.what());
  }
}

}  // namespace zd
