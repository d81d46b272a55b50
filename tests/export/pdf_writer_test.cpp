// The PDF object layer: escaping, numbers, colours, Flate, document texts,
// a cross-reference table whose offsets lead to the objects they name, and
// long documents spooled to disk rather than held in memory.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "export/pdf/detail/PdfWriter.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

TEST(PdfText, EscapesPointsColoursAndDocumentTexts) {
  // Parentheses, backslashes and line breaks are escaped; other bytes stay.
  EXPECT_EQ(PdfEscapeString("a(b)c\\d"), "a\\(b\\)c\\\\d");
  EXPECT_EQ(PdfEscapeString("one\r\ntwo"), "one\\r\\ntwo");
  EXPECT_EQ(PdfEscapeString("\xE9t\xE9"), "\xE9t\xE9");
  EXPECT_EQ(PdfEscapeString(""), "");
  // Page units become points at 72 per 96.
  EXPECT_EQ(PdfPoints(794), "595.5");
  EXPECT_EQ(PdfPoints(1123), "842.25");
  EXPECT_EQ(PdfPoints(96), "72");
  EXPECT_EQ(PdfPoints(-1), "-0.75");
  EXPECT_EQ(PdfPoints(0), "0");
  EXPECT_EQ(PdfNumber(0.0004), "0");
  // Colours are three decimals with a point.
  EXPECT_EQ(PdfColor(clRed, false), "1.000 0.000 0.000 rg");
  EXPECT_EQ(PdfColor(clBlack, true), "0.000 0.000 0.000 RG");
  EXPECT_EQ(PdfColor(RGBColor(0, 128, 255), true), "0.000 0.502 1.000 RG");
  // Document texts are literal when ASCII, UTF-16 with a byte order mark otherwise.
  EXPECT_EQ(PdfTextString("Q3 (net)"), "(Q3 \\(net\\))");
  EXPECT_EQ(PdfTextString("Zo\u00eb"), "<FEFF005A006F00EB>");
  EXPECT_EQ(PdfUnicodeString("A"), "<FEFF0041>");
  EXPECT_EQ(PdfUnicodeString("\U0001F600"), "<FEFFD83DDE00>");  // a surrogate pair
  EXPECT_EQ(PdfUnicodeString(""), "<FEFF>");
}

TEST(PdfText, FlateDataInflatesBackToTheInput) {
  std::string input;
  for (int i = 0; i < 5000; ++i) input += char('a' + i % 7);
  const std::string packed = FlateCompress(input);
  EXPECT_LT(packed.size(), input.size() / 10);
  std::string back(input.size(), '\0');
  uLongf size = uLongf(back.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(back.data()), &size,
                       reinterpret_cast<const Bytef*>(packed.data()), uLong(packed.size())),
            Z_OK);
  back.resize(size);
  EXPECT_EQ(back, input);
  EXPECT_EQ(HexEncode(std::string_view("\x00\xAB\xFF" "A", 4)), "00ABFF41");
}

// Reads startxref and the table back and checks that every entry points at
// "N 0 obj" of its own number.
void ExpectXrefMatchesObjects(const std::string& file, int expectedObjects) {
  const size_t eofAt = file.rfind("%%EOF");
  ASSERT_NE(eofAt, std::string::npos);
  const size_t startxref = file.rfind("startxref\r\n");
  ASSERT_NE(startxref, std::string::npos);
  const size_t xref = std::stoul(file.substr(startxref + 11));
  ASSERT_EQ(file.compare(xref, 6, "xref\r\n"), 0);
  size_t at = xref + 6;
  const size_t lineEnd = file.find("\r\n", at);
  EXPECT_EQ(file.substr(at, lineEnd - at), "0 " + std::to_string(expectedObjects + 1));
  at = lineEnd + 2;
  EXPECT_EQ(file.substr(at, 20), "0000000000 65535 f\r\n");
  for (int n = 1; n <= expectedObjects; ++n) {
    at += 20;
    const std::string entry = file.substr(at, 20);
    ASSERT_TRUE(std::regex_match(entry, std::regex("[0-9]{10} 00000 n\r\n"))) << entry;
    const size_t offset = std::stoul(entry.substr(0, 10));
    const std::string header = std::to_string(n) + " 0 obj\r\n";
    EXPECT_EQ(file.compare(offset, header.size(), header), 0) << "object " << n << " at " << offset;
  }
  EXPECT_EQ(file.compare(at + 20, 9, "trailer\r\n"), 0);
  EXPECT_NE(file.find("/Size " + std::to_string(expectedObjects + 1) + " >> "), std::string::npos);
}

TEST(PdfWriter, CrossReferenceOffsetsPointAtTheirObjectsAlsoAfterBufferedContent) {
  TPdfWriter pdf;
  pdf.WriteString("%PDF-1.2");
  for (int n : {1, 2, 3}) {
    pdf.AddRef(n);
    pdf.WriteString(std::to_string(n) + " 0 obj");
    pdf.WriteString("<< >>");
    pdf.WriteString("endobj");
  }
  const int holder = pdf.GetNextRefIndex(), stream = pdf.GetNextRefIndex();
  EXPECT_EQ(holder, TPdfWriter::kFirstFreeObject);
  pdf.AddRef(holder);
  pdf.WriteString(std::to_string(holder) + " 0 obj");
  const size_t before = pdf.FilePos();
  pdf.BeginContent();
  pdf.WriteString("BT (buffered, not yet in the file) Tj ET");
  EXPECT_EQ(pdf.FilePos(), before);
  const std::string content = pdf.TakeContent();
  EXPECT_EQ(content, "BT (buffered, not yet in the file) Tj ET\r\n");
  pdf.WriteString("<< >>");
  pdf.WriteString("endobj");
  pdf.AddRef(stream);
  pdf.WriteString(std::to_string(stream) + " 0 obj");
  pdf.WriteString("<< /Length " + std::to_string(content.size()) + " >>");
  pdf.WriteStream(content);
  pdf.WriteString("endobj");
  pdf.WriteXrefAndTrailer(1, 2);
  const std::string& file = pdf.Bytes();
  ExpectXrefMatchesObjects(file, 5);
  const size_t data = file.find("stream\r\n") + 8;
  EXPECT_EQ(file.compare(data, content.size(), content), 0);
  EXPECT_EQ(file.compare(data + content.size(), 9, "endstream"), 0);
}

TEST(PdfWriter, NumberingMistakesAndUnwritableFilesAreRefused) {
  TPdfWriter pdf;
  EXPECT_THROW(pdf.AddRef(TPdfWriter::kFirstFreeObject), EPdfError);  // not numbered yet
  pdf.AddRef(1);
  EXPECT_THROW(pdf.AddRef(1), EPdfError);
  pdf.AddRef(2);
  EXPECT_THROW(pdf.WriteXrefAndTrailer(1, 2), EPdfError);  // object 3 never written
  TPdfWriter open;
  for (int n : {1, 2, 3}) open.AddRef(n);
  open.BeginContent();
  EXPECT_THROW(open.WriteXrefAndTrailer(1, 2), EPdfError);
  // An unwritable file gives a clear error.
  try {
    TPdfWriter::SaveBytes("%PDF", "/nonexistent-dir/x.pdf");
    FAIL() << "no error";
  } catch (const EPdfError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent-dir/x.pdf"), std::string::npos);
  }
}

TEST(PdfWriter, ASpooledDocumentKeepsLittleInMemoryAndArrivesWholeWithTrueOffsets) {
  const std::string file = test::UniqueTempPath("zd_spooled.pdf").string();
  TPdfWriter pdf;
  pdf.SpoolToTemporaryFile();
  pdf.WriteString("%PDF-1.4");
  const std::string block(100000, 'x');
  std::string written = "%PDF-1.4\r\n";
  for (int i = 0; i < 40; ++i) {
    pdf.WriteRaw(block);
    written += block;
  }
  EXPECT_LT(pdf.Bytes().size(), 2u << 20) << "the bytes went on to the temporary file";
  EXPECT_EQ(pdf.FilePos(), written.size());
  for (int n : {1, 2, 3}) {
    pdf.AddRef(n);
    pdf.WriteString(std::to_string(n) + " 0 obj");
    pdf.WriteString("endobj");
  }
  pdf.WriteXrefAndTrailer(1, 2);
  pdf.SaveSpooledTo(file);
  std::ifstream in(file, std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved.compare(0, written.size(), written), 0);
  ExpectXrefMatchesObjects(saved, 3);
  EXPECT_FALSE(std::filesystem::exists(file + ".partial"));

  TPdfWriter unwritable;
  unwritable.SpoolToTemporaryFile();
  EXPECT_THROW(unwritable.SaveSpooledTo("/nonexistent-dir/x.pdf"), EPdfError);
  TPdfWriter inMemory;
  EXPECT_THROW(inMemory.SaveSpooledTo(file), EPdfError);
}

}  // namespace
}  // namespace zd
