#pragma once
// The object layer of the PDF writer: lines and raw stream bytes with the
// true byte offset of every object kept for the cross-reference table, page
// content buffered in memory until the page ends, and the small text
// helpers (string escaping, numbers in points, colours, Flate).
#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>

#include "host/core/Errors.h"
#include "host/graphics/Canvas.h"

namespace zd {

class EPdfError : public EZdError {
 public:
  using EZdError::EZdError;
};

// A literal string body: "(", ")" and "\" get a backslash, CR and LF become
// \r and \n so a string never breaks its line; other bytes stay as they are.
std::string PdfEscapeString(std::string_view bytes);
// Page units (96 per inch) as PDF points (72 per inch), shortest decimal.
std::string PdfPoints(double pageUnits);
// Shortest decimal of a number rounded to three fractional digits.
std::string PdfNumber(double value);
// The same, appended: page content holds many numbers.
void AppendPdfNumber(std::string& out, double value);
// "r g b RG" (stroke) or "r g b rg" (fill), each part as 0.000 to 1.000.
std::string PdfColor(TColor color, bool stroke);
// zlib stream (what FlateDecode reads back); level 1 is the fastest, 9
// the smallest.
std::string FlateCompress(std::string_view data, int level = 6);
// Two upper-case hex digits per byte.
std::string HexEncode(std::string_view data);
// A text string of the document (information, outline titles): literal
// when it is ASCII, UTF-16BE with a byte order mark otherwise.
std::string PdfTextString(std::string_view utf8);
// The current local time as a PDF date: "D:yyyymmddhhmmss".
std::string PdfCreationDate();
// Always UTF-16BE with a byte order mark, as hex: "<FEFF...>".
std::string PdfUnicodeString(std::string_view utf8);

class TPdfWriter {
 public:
  // Numbers 1 to 3 are the catalog, the information dictionary and the
  // root of the page tree; new objects start at 4.
  static constexpr int kFirstFreeObject = 4;

  // One line, ended with CR LF: into the page content while it is open,
  // otherwise into the file.
  void WriteString(std::string_view line);
  // Stream data, unchanged, into the file.
  void WriteRaw(std::string_view bytes);
  // "stream", the data, an end of line and "endstream".
  void WriteStream(std::string_view data);
  // Records that object `number` starts at the current end of the file;
  // call it right before the object's first line.
  void AddRef(int number);
  int GetNextRefIndex() { return nextObject_++; }
  int NextObjectNumber() const { return nextObject_; }

  // Page content goes to memory from BeginContent until TakeContent.
  void BeginContent();
  std::string TakeContent();
  bool InContent() const { return inContent_; }

  // Bytes in the file so far.
  size_t FilePos() const { return spooled_ + file_.size(); }
  // Cross-reference table and trailer; every number below the next free
  // one must have been placed. Throws EPdfError otherwise.
  void WriteXrefAndTrailer(int rootObject, int infoObject);

  // The document so far; only while it is not spooled.
  const std::string& Bytes() const { return file_; }
  // Writes a finished document to the stream when given, else to the file;
  // throws EPdfError when that fails.
  static void SaveBytes(const std::string& bytes, const std::string& fileName, std::ostream* stream = nullptr);

  // From now on the file's bytes go on to an unnamed temporary file a
  // buffer at a time, so that a long document does not stay in memory.
  void SpoolToTemporaryFile();
  // Puts the spooled document in place as fileName, whole or not at all,
  // or copies it to the stream when given; throws EPdfError.
  void SaveSpooledTo(const std::string& fileName, std::ostream* stream = nullptr);

  TPdfWriter() = default;
  ~TPdfWriter();
  TPdfWriter(const TPdfWriter&) = delete;
  TPdfWriter& operator=(const TPdfWriter&) = delete;

 private:
  void spillWhenFull();
  void spill();

  std::string file_;
  std::FILE* spool_ = nullptr;
  size_t spooled_ = 0;
  std::string content_;
  bool inContent_ = false;
  int nextObject_ = kFirstFreeObject;
  std::map<int, size_t> offsets_;
};

}  // namespace zd
