// The picture exporters: the TIFF writer's layout, pixel formats that keep
// their colours, pages drawn where they belong at any resolution, and
// metafiles whose 16-bit form never wraps around nor loses a character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "export/picture/BitmapExport.h"
#include "export/picture/MetafileExport.h"
#include "export/picture/Tiff.h"
#include "host/emf/WindowsMetafile.h"
#include "host/graphics/Canvas.h"
#include "host/locale/CodePages.h"
#include "host/richtext/CodePage.h"
#include "print/PrintZd.h"
#include "tests/Fixtures.h"
#include "tests/TempPath.h"

namespace zd {
namespace {

// Colours every palette and 5-bit component holds exactly.
const TColor kTopRow[] = {clRed, clLime, clBlue};
const TColor kBottomRow[] = {clWhite, clBlack, clYellow};

TBitmap SixPixels() {
  TBitmap bitmap(3, 2);
  for (int x = 0; x < 3; ++x) {
    bitmap.SetPixel(x, 0, kTopRow[x]);
    bitmap.SetPixel(x, 1, kBottomRow[x]);
  }
  return bitmap;
}

std::string Tiff(const TDib& dib) {
  std::ostringstream out;
  BMP2TIFFStream(out, dib);
  return out.str();
}

uint32_t U32(const std::string& b, size_t at) {
  return uint8_t(b[at]) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

// The value field of an IFD entry.
uint32_t TagValue(const std::string& tiff, uint16_t tag) {
  const uint32_t ifd = U32(tiff, 4);
  for (uint16_t i = 0; i < U16(tiff, ifd); ++i)
    if (U16(tiff, ifd + 2 + 12 * i) == tag) return U32(tiff, ifd + 2 + 12 * i + 8);
  ADD_FAILURE() << "no tag " << tag;
  return 0;
}

TDib TopDown(TDib dib) {
  const size_t stride = dib.Stride();
  std::vector<uint8_t> flipped;
  for (int y = dib.Rows() - 1; y >= 0; --y)
    flipped.insert(flipped.end(), dib.Bits.begin() + long(y * stride), dib.Bits.begin() + long((y + 1) * stride));
  dib.Bits = flipped;
  dib.Height = -dib.Height;
  return dib;
}

TEST(TiffWriter, RgbPicturesAreOneStripTopRowFirstWhateverTheirPixels) {
  const std::string tiff = Tiff(DibOf(SixPixels(), TPixelFormat::pf24bit));
  ASSERT_EQ(tiff.size(), 244u);
  EXPECT_EQ(tiff.substr(0, 4), std::string("II*\0", 4));
  EXPECT_EQ(U32(tiff, 4), 58u);
  EXPECT_EQ(TagValue(tiff, 273), 40u);
  EXPECT_EQ(TagValue(tiff, 279), 18u);
  EXPECT_EQ(tiff.substr(30, 10), "Mirel soft");
  EXPECT_EQ(tiff.substr(40, 18), std::string("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF\0\0\0\xFF\xFF\0", 18));

  // 32-bit pixels lose their fourth byte, 16-bit ones are widened by their
  // masks, and rows stored top-down come out the same.
  for (TPixelFormat format : {TPixelFormat::pf32bit, TPixelFormat::pf16bit, TPixelFormat::pf15bit})
    EXPECT_EQ(Tiff(DibOf(SixPixels(), format)), tiff) << int(format);
  EXPECT_EQ(Tiff(TopDown(DibOf(SixPixels(), TPixelFormat::pf24bit))), tiff);
}

TEST(TiffWriter, PalettePicturesCarryTheirColourMap) {
  const TDib dib = DibOf(SixPixels(), TPixelFormat::pf8bit);
  const std::string tiff = Tiff(dib);
  ASSERT_EQ(tiff.size(), 1570u + 2 * 3 + 2 + 15 * 12 + 4);
  EXPECT_EQ(U32(tiff, 1544), 877u);
  EXPECT_EQ(U32(tiff, 1548), 10u);
  EXPECT_EQ(tiff.substr(1560, 10), "Mirel soft");
  EXPECT_EQ(TagValue(tiff, 273), 1570u);
  EXPECT_EQ(TagValue(tiff, 320), 8u);
  EXPECT_EQ(TagValue(tiff, 262), 3u);
  // The top row's first pixel is red: its index names full red in the red
  // array and nothing in the green and blue ones.
  const uint8_t red = uint8_t(tiff[1570]);
  EXPECT_EQ(U16(tiff, 8 + 2 * red), 0xFF00);
  EXPECT_EQ(U16(tiff, 8 + 512 + 2 * red), 0);
  EXPECT_EQ(U16(tiff, 8 + 1024 + 2 * red), 0);

  EXPECT_EQ(Tiff(DibOf(SixPixels(), TPixelFormat::pf1bit)), "");
  EXPECT_EQ(Tiff(TDib{}), "");
}

// Readers may take 5-bit components without stretching them to 8 bits.
bool Near(TColor a, TColor b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 7) return false;
  return true;
}

TEST(BmpFiles, EveryPixelFormatKeepsTheColoursItCanHold) {
  for (TPixelFormat format : {TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf15bit,
                              TPixelFormat::pf16bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TBitmap read;
    read.LoadFromBytes(BmpFileBytes(DibOf(SixPixels(), format), 96));
    for (int x = 0; x < 3; ++x) {
      EXPECT_PRED2(Near, read.Pixel(x, 0), kTopRow[x]) << int(format) << " at " << x;
      EXPECT_PRED2(Near, read.Pixel(x, 1), kBottomRow[x]) << int(format) << " at " << x;
    }
  }
  TBitmap mono;
  mono.LoadFromBytes(BmpFileBytes(DibOf(SixPixels(), TPixelFormat::pf1bit), 96));
  EXPECT_EQ(mono.Pixel(0, 1), clWhite);
  EXPECT_EQ(mono.Pixel(1, 1), clBlack);
  EXPECT_EQ(mono.Pixel(2, 1), clWhite);  // yellow is light
}

class TwoPageReport : public TZdPrintComponent {
 public:
  using TZdPrintComponent::TZdPrintComponent;
  void PrepareReport() override {
    TZdPrintComponent::PrepareReport();
    BeginDoc();
    for (int p = 1; p <= 2; ++p) {
      NewPage();
      TCanvas& canvas = *Producer().MFCanvas();
      canvas.Brush.Style = TBrushStyle::bsSolid;
      canvas.Brush.Color = clBlack;
      // Each page has its box somewhere else, so a misplaced page shows.
      canvas.FillRect({20 * p, 30, 20 * p + 40, 70});
    }
    EndDoc();
  }
};

int DarkPixels(const TBitmap& bitmap, int top, int bottom) {
  int dark = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < bitmap.Width(); ++x) dark += bitmap.Pixel(x, y) == clBlack;
  return dark;
}

// Where the black pixels above `bottom` are, right and bottom exclusive.
TRect DarkBox(const TBitmap& bitmap, int bottom) {
  TRect box{bitmap.Width(), bottom, 0, 0};
  for (int y = 0; y < bottom; ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) == clBlack)
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  return box;
}

class BitmapExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::useVirtualPrinter(); }
  void SetUp() override { report.PrepareReport(); }

  TBitmap Exported(int resolution) {
    std::ostringstream out;
    report.ExportTo(out, pages, [resolution](TComponent* owner) {
      auto exporter = std::make_unique<TZdqExportToPNG>(owner);
      exporter->SetResolution(resolution);
      return std::unique_ptr<TZdqExport>(std::move(exporter));
    });
    TBitmap bitmap;
    const std::string bytes = out.str();
    bitmap.LoadFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return bitmap;
  }

  TwoPageReport report;
  const TStringList pages{"1", "2"};
};

TEST_F(BitmapExportTest, OneResultStacksThePagesAndSeparateFilesHoldOnePageEach) {
  const TBitmap whole = Exported(96);
  const int pageHeight = whole.Height() / 2;
  ASSERT_EQ(whole.Height(), 2 * pageHeight);
  EXPECT_EQ(DarkPixels(whole, 0, pageHeight), 40 * 40);
  EXPECT_EQ(DarkPixels(whole, pageHeight, whole.Height()), 40 * 40);

  const std::filesystem::path name = test::UniqueTempPath("page.bmp");
  report.ExportTo(name.string(), true, pages, ExportClassOf<TZdqExportToBMP>());
  for (int p = 0; p < 2; ++p) {
    const std::string file = SeparatePageFileName(name.string(), p, 0);
    TBitmap page;
    page.LoadFromFile(file);
    std::filesystem::remove(file);
    ASSERT_EQ(page.Width(), whole.Width());
    ASSERT_EQ(page.Height(), pageHeight);
    for (int y = 25; y < 75; ++y)
      for (int x = 0; x < 120; ++x)
        ASSERT_EQ(page.Pixel(x, y), whole.Pixel(x, p * pageHeight + y)) << "page " << p << " at " << x << "," << y;
  }
}

TEST_F(BitmapExportTest, AHigherResolutionDrawsThePagesScaled) {
  const TBitmap normal = Exported(96), fine = Exported(288);
  EXPECT_EQ(fine.Width(), 3 * normal.Width());
  EXPECT_EQ(fine.Height(), 3 * normal.Height());
  EXPECT_EQ(DarkPixels(fine, 0, fine.Height() / 2), 120 * 120);
  const TRect box = DarkBox(normal, normal.Height() / 2), fineBox = DarkBox(fine, fine.Height() / 2);
  // Within a pixel: edges at a third of a pixel round either way.
  EXPECT_NEAR(fineBox.Left, 3 * box.Left, 1);
  EXPECT_NEAR(fineBox.Top, 3 * box.Top, 1);
  EXPECT_EQ(fineBox.Width(), 3 * box.Width());
  EXPECT_EQ(fineBox.Height(), 3 * box.Height());
}

TEST_F(BitmapExportTest, AMetafileOfTwoPagesHasEachPageInItsPlace) {
  std::ostringstream out;
  report.ExportTo(out, pages, ExportClassOf<TZdqExportToEMF>());
  const std::string bytes = out.str();
  TMetafile joined;
  joined.LoadFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  const TBitmap whole = Exported(96);
  ASSERT_EQ(joined.Width(), whole.Width());
  ASSERT_EQ(joined.Height(), whole.Height());
  TBitmap played(joined.Width(), joined.Height());
  PlayMetafileOnBitmap(joined, played, {0, 0, joined.Width(), joined.Height()});
  for (int y = 0; y < whole.Height(); y += 3)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(played.Pixel(x, y), whole.Pixel(x, y)) << x << "," << y;
}

struct TWmfRecord {
  uint16_t function;
  std::vector<uint8_t> params;
  int16_t Word(size_t i) const { return int16_t(params[2 * i] | params[2 * i + 1] << 8); }
};

// The records of a placeable WMF in order.
std::vector<TWmfRecord> WmfRecordList(const std::vector<uint8_t>& wmf) {
  auto word = [&](size_t at) { return uint16_t(wmf[at] | wmf[at + 1] << 8); };
  std::vector<TWmfRecord> found;
  size_t at = 22 + 18;  // placeable header, then the metafile header
  while (at + 6 <= wmf.size()) {
    const uint32_t words = word(at) | uint32_t(word(at + 2)) << 16;
    if (words < 3 || at + 2 * size_t(words) > wmf.size()) break;
    found.push_back({word(at + 4), std::vector<uint8_t>(wmf.begin() + long(at + 6), wmf.begin() + long(at + 2 * words))});
    at += 2 * size_t(words);
  }
  return found;
}

// The WMF records of one function: their parameter words.
std::vector<std::vector<int16_t>> WmfRecords(const std::vector<uint8_t>& wmf, uint16_t function) {
  std::vector<std::vector<int16_t>> found;
  for (const TWmfRecord& r : WmfRecordList(wmf)) {
    if (r.function != function) continue;
    std::vector<int16_t> params;
    for (size_t i = 0; i < r.params.size() / 2; ++i) params.push_back(r.Word(i));
    found.push_back(params);
  }
  return found;
}

// A text record read as a reader would: its bytes in the code page of the
// character set of the font selected at the time.
struct TWmfText {
  std::string utf8;
  int x, y;
};
std::vector<TWmfText> WmfTexts(const std::vector<uint8_t>& wmf) {
  constexpr int kFree = -1, kNotAFont = -2;
  std::vector<int> objects;  // by slot: the font's character set, or what else is there
  int charset = 0;
  std::vector<TWmfText> texts;
  for (const TWmfRecord& r : WmfRecordList(wmf)) {
    switch (r.function) {
      case 0x02FA: case 0x02FB: case 0x02FC: {  // pen, font, brush: the lowest free slot
        const auto slot = std::find(objects.begin(), objects.end(), kFree);
        const int what = r.function == 0x02FB ? r.params[13] : kNotAFont;
        if (slot == objects.end()) objects.push_back(what);
        else *slot = what;
        break;
      }
      case 0x012D:  // select
        if (objects.at(r.Word(0)) >= 0) charset = objects.at(r.Word(0));
        break;
      case 0x01F0: objects.at(r.Word(0)) = kFree; break;
      case 0x0A32: {  // text: y, x, length, options, rectangle when clipped or opaque, bytes
        const size_t at = 8 + ((r.Word(3) & 6) ? 8 : 0);
        std::string out;
        TCodePageDecoder(CodePageOfCharset(charset, 1252))
            .Decode(std::string(r.params.begin() + long(at), r.params.begin() + long(at) + r.Word(2)), out);
        texts.push_back({out, r.Word(1), r.Word(0)});
        break;
      }
      default: break;
    }
  }
  return texts;
}

TEST(WindowsMetafile, TextKeepsEveryCharacterInTheCodePageOfItsFont) {
  test::ensureGuiApp();
  TMetafile emf;
  emf.SetWidth(600);
  emf.SetHeight(200);
  const std::string mixed = "Käse Сыр 中文 ok";
  {
    TMetafileCanvas canvas(emf);
    canvas.Font.Name = "Arial";
    canvas.Font.Size = 12;
    canvas.TextOut(10, 10, "Käse €5");
    canvas.TextOut(10, 50, "Сыр");
    canvas.SetTextAlign(TA_RIGHT | TA_TOP);
    canvas.TextOut(500, 90, mixed);
    canvas.Font.Name = "文泉驿正黑";
    canvas.TextOut(500, 130, "中文");
  }
  const std::vector<uint8_t> wmf = WindowsMetafileOf(emf);
  std::vector<TWmfText> texts = WmfTexts(wmf);
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(texts[0].utf8, "Käse €5");
  EXPECT_EQ(texts[1].utf8, "Сыр");
  EXPECT_EQ(texts.back().utf8, "中文");
  texts.pop_back();
  // Latin text is written in the font as made; the Cyrillic text, the mixed line's
  // Cyrillic and Chinese runs and the Chinese text each in a font of their character set,
  // whose face name is written in that character set too.
  const auto fonts = WmfRecords(wmf, 0x02FB);
  ASSERT_EQ(fonts.size(), 6u);
  constexpr uint8_t kGb2312 = 134;
  const std::vector<int16_t>& chinese = fonts.back();
  // Words: height, width, escapement, orientation, weight, then bytes two to a word:
  // italic, underline, strike-out, character set, ... and the face name from word 9.
  auto byteAt = [&](size_t i) { return uint8_t(uint16_t(chinese[i / 2]) >> (i % 2 * 8)); };
  EXPECT_EQ(byteAt(13), kGb2312) << "a text in Chinese that Japanese could also hold, in a font "
                                    "whose name only Chinese spells";
  std::string face;
  for (size_t i = 18; i < chinese.size() * 2; ++i) face += char(byteAt(i));
  std::string decoded;
  TCodePageDecoder(936).Decode(face.substr(0, face.find('\0')), decoded);
  EXPECT_EQ(decoded, "文泉驿正黑");

  // The mixed line: runs of one code page each, left to right, ending where the right-aligned text ends.
  std::string line;
  int lastX = -1;
  for (size_t i = 2; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].y, 90);
    EXPECT_GT(texts[i].x, lastX);
    lastX = texts[i].x;
    line += texts[i].utf8;
  }
  EXPECT_EQ(line, mixed);
  EXPECT_NEAR(texts[2].x + MeasureText(TFont{"Arial", 12}, mixed).Width, 500, 2);
  const auto aligns = WmfRecords(wmf, 0x012E);
  ASSERT_FALSE(aligns.empty());
  EXPECT_EQ(aligns.back()[0], TA_RIGHT | TA_TOP) << "the alignment is put back after the runs";
}

TEST(WindowsMetafile, PicturesTallerThan16BitsAreScaledNotWrapped) {
  constexpr uint16_t kRectangle = 0x041B;
  for (int height : {1000, 70000}) {
    TMetafile emf;
    emf.SetWidth(800);
    emf.SetHeight(height);
    {
      TMetafileCanvas canvas(emf);
      canvas.Rectangle(TRect{100, height - 900, 700, height - 100});
    }
    const std::vector<uint8_t> wmf = WindowsMetafileOf(emf);
    const double scale = height > 32767 ? 32767.0 / height : 1.0;
    auto word = [&](size_t at) { return uint16_t(wmf[at] | wmf[at + 1] << 8); };
    EXPECT_EQ(word(12), uint16_t(std::lround(height * scale))) << "bounding box bottom";
    EXPECT_EQ(word(14), uint16_t(std::lround(96 * scale))) << "units per inch";
    const auto rectangles = WmfRecords(wmf, kRectangle);
    ASSERT_EQ(rectangles.size(), 1u);
    // bottom, right, top, left
    EXPECT_EQ(rectangles[0][2], std::lround((height - 900) * scale));
    EXPECT_EQ(rectangles[0][3], std::lround(100 * scale));
  }
}

}  // namespace
}  // namespace zd
