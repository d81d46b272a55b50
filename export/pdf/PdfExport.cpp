#include "export/pdf/PdfExport.h"

#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "export/pdf/detail/PdfFontFile.h"
#include "export/pdf/detail/PdfFonts.h"
#include "export/pdf/detail/PdfWriter.h"
#include "host/core/TextUtil.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

constexpr int kCatalogObject = 1, kInfoObject = 2, kPagesObject = 3;
constexpr int kMaxKids = 10;  // pages per intermediate page-tree node
// A cell further down than this many pages is taken for a broken position.
constexpr int64_t kMaxPages = 100000;
constexpr size_t kHexLineDigits = 78;  // 13 pixels of 6 digits

std::string ref(int number) { return std::to_string(number) + " 0 R"; }

// Pixels top row first, red, green, blue per pixel.
std::string RgbPixels(const TBitmap& bitmap) {
  std::string rgb;
  rgb.reserve(size_t(bitmap.Width()) * size_t(bitmap.Height()) * 3);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = bitmap.Pixel(x, y);
      rgb += char(RedOf(c));
      rgb += char(GreenOf(c));
      rgb += char(BlueOf(c));
    }
  return rgb;
}

// Hex digits in lines of 78, the last one closed with the end marker.
std::string HexLines(const std::string& rgb) {
  const std::string digits = HexEncode(rgb);
  std::string out;
  for (size_t at = 0; at < digits.size(); at += kHexLineDigits) {
    out += digits.substr(at, kHexLineDigits);
    if (at + kHexLineDigits < digits.size()) out += "\r\n";
  }
  return out + ">";
}

// The page a cell belongs to: the one its middle lies on, so that a rule
// at the very top of a page or a text box widened above it stays there.
int pageOfCell(const TZdqMFERecord& cell, int pageHeight) {
  int64_t middle = int64_t(cell.Top) + cell.Height / 2;
  if (cell.Kind == TZdqMFERecordKind::rkText) middle = (int64_t(cell.TextBox.Top) + cell.TextBox.Bottom) / 2;
  if (cell.Kind == TZdqMFERecordKind::rkLine) middle = (int64_t(cell.Top) + cell.LineEnd.Y) / 2;
  return middle < 0 ? 0 : int(std::min<int64_t>(middle / pageHeight, kMaxPages - 1));
}

bool inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

// Intermediate nodes of the page tree, each holding up to kMaxKids pages.
class TPdfPageTree {
 public:
  // Opens a node when the last one is full; returns the node of the next page.
  int NodeForNextPage(TPdfWriter& pdf) {
    if (pageCount_ % kMaxKids == 0) nodes_.push_back({pdf.GetNextRefIndex(), {}});
    return nodes_.back().number;
  }
  void AddPage(int page) {
    nodes_.back().pages.push_back(page);
    ++pageCount_;
  }
  int PageCount() const { return pageCount_; }

  void Write(TPdfWriter& pdf) const {
    pdf.AddRef(kPagesObject);
    pdf.WriteString(std::to_string(kPagesObject) + " 0 obj");
    pdf.WriteString("<< /Type /Pages ");
    std::string kids = "/Kids [ ";
    for (const TNode& node : nodes_) kids += ref(node.number) + " ";
    pdf.WriteString(kids + " ] ");
    pdf.WriteString("/Count " + std::to_string(pageCount_) + " >> ");
    pdf.WriteString("endobj");
    for (const TNode& node : nodes_) {
      pdf.AddRef(node.number);
      pdf.WriteString(std::to_string(node.number) + " 0 obj");
      pdf.WriteString("<< /Type /Pages ");
      std::string pages;
      for (int page : node.pages) pages += " " + ref(page);
      pdf.WriteString("/Kids [" + pages + " ] ");
      pdf.WriteString("/Count " + std::to_string(node.pages.size()) + " ");
      pdf.WriteString("/Parent " + ref(kPagesObject) + " >> ");
      pdf.WriteString("endobj");
    }
  }

 private:
  struct TNode {
    int number;
    std::vector<int> pages;
  };
  std::vector<TNode> nodes_;
  int pageCount_ = 0;
};

}  // namespace

// One document being written: the file (spooled to a temporary one as it
// grows), the fonts and images used so far and the page being written.
class TPdfCellDocument {
 public:
  explicit TPdfCellDocument(const TZdqExportToPDF& exporter)
      : exporter_(exporter), fonts_(exporter.EmbedFonts), height_(exporter.intPageHeight) {
    if (exporter.intPageHeight <= 0 || exporter.intTotalWidth <= 0)
      throw EPdfError("PDF export needs the page size (width " + std::to_string(exporter.intTotalWidth) +
                      ", height " + std::to_string(exporter.intPageHeight) + ")");
    pdf_.SpoolToTemporaryFile();
    pdf_.WriteString("%PDF-1.2");
    pdf_.AddRef(kCatalogObject);
    pdf_.WriteString(std::to_string(kCatalogObject) + " 0 obj");
    pdf_.WriteString("<< /Type /Catalog ");
    pdf_.WriteString("/Pages " + ref(kPagesObject) + " >> ");
    pdf_.WriteString("endobj");
  }

  void StartPage() {
    const int node = tree_.NodeForNextPage(pdf_);
    const int page = pdf_.GetNextRefIndex();
    tree_.AddPage(page);
    content_ = pdf_.GetNextRefIndex();
    length_ = pdf_.GetNextRefIndex();
    procSet_ = pdf_.GetNextRefIndex();
    resources_ = pdf_.GetNextRefIndex();
    pdf_.AddRef(page);
    pdf_.WriteString(std::to_string(page) + " 0 obj");
    pdf_.WriteString("<< /Type /Page ");
    pdf_.WriteString("/Parent " + ref(node) + " ");
    pdf_.WriteString("/MediaBox [0 0 " + PdfPoints(exporter_.intTotalWidth) + " " + PdfPoints(height_) + "] ");
    pdf_.WriteString("/Resources " + ref(resources_));
    pdf_.WriteString("/Contents " + ref(content_) + " >> ");
    pdf_.WriteString("endobj");
    pdf_.AddRef(resources_);
    pdf_.WriteString(std::to_string(resources_) + " 0 obj");
    pdf_.BeginContent();
  }

  void EndPage() {
    const std::string content = pdf_.TakeContent();
    pdf_.WriteString("<<");
    if (fonts_.Count() > 0) {
      std::string line = "/Font << ";
      for (int i = 0; i < fonts_.Count(); ++i)
        line += "/F" + std::to_string(i) + " " + ref(fonts_.GetFont(i)->RefIndex) + " ";
      pdf_.WriteString(line + ">>");
    }
    if (!images_.empty()) {
      std::string line = "/XObject << ";
      for (size_t k = 0; k < images_.size(); ++k) line += "/Im" + std::to_string(k + 1) + " " + ref(images_[k]) + " ";
      pdf_.WriteString(line + ">>");
    }
    pdf_.WriteString("/ProcSet " + ref(procSet_));
    pdf_.WriteString(">>");
    pdf_.WriteString("endobj");

    pdf_.AddRef(content_);
    pdf_.WriteString(std::to_string(content_) + " 0 obj");
    pdf_.WriteString("<< /Length " + ref(length_) + " >> ");
    pdf_.WriteStream(content);
    pdf_.WriteString("endobj");
    writeNumberObject(length_, content.size());

    pdf_.AddRef(procSet_);
    pdf_.WriteString(std::to_string(procSet_) + " 0 obj");
    pdf_.WriteString(images_.empty() ? "[ /PDF /Text ] " : "[ /PDF /Text /ImageC ] ");
    pdf_.WriteString("endobj");
  }

  // One page of the document with its cells; pageTop is where the page
  // starts in the cells' coordinates. Its pictures follow it into the
  // file, so that the cells need not be kept.
  void WritePage(const std::vector<TZdqMFERecord>& cells, int64_t pageTop) {
    StartPage();
    pageTop_ = pageTop;
    for (const TZdqMFERecord& cell : cells) {
      switch (cell.Kind) {
        case TZdqMFERecordKind::rkText: writeText(cell); break;
        case TZdqMFERecordKind::rkLine: writeLine(cell); break;
        case TZdqMFERecordKind::rkPicture: writePicture(cell); break;
        default: break;
      }
    }
    EndPage();
    for (const TPageImage& image : pageImages_) writeBitmap(image);
    pageImages_.clear();
  }

  // Writes what every page refers to, then the file, whole or not at all.
  void Finish(const std::string& fileName, std::ostream* stream) {
    fonts_.WriteFonts(pdf_);
    writeInfo();
    tree_.Write(pdf_);
    pdf_.WriteXrefAndTrailer(kCatalogObject, kInfoObject);
    pdf_.SaveSpooledTo(fileName, stream);
  }

 private:
  struct TPageImage {
    int index;  // the k of /Imk
    const TBitmap* bitmap;
  };

  // PDF x and y (baseline up, in points) of a position in page units.
  std::string point(double x, double y) const {
    return PdfPoints(x) + " " + PdfPoints(double(height_) - (y - double(pageTop_)));
  }

  void writeText(const TZdqMFERecord& cell) {
    if (Trim(cell.Text).empty()) return;
    const TRect& box = cell.TextBox;
    // A text wider or taller than its control shows only inside it, as on the page.
    const bool clip = cell.ControlBox && !inside(box, *cell.ControlBox);
    if (clip) {
      const TRect& c = *cell.ControlBox;
      pdf_.WriteString("q " + point(c.Left, c.Bottom) + " " + PdfPoints(c.Width()) + " " + PdfPoints(c.Height()) +
                       " re W n");
    }
    const double baseline = double(box.Top) + ascentOf(cell.Font);
    pdf_.WriteString("BT");
    pdf_.WriteString(PdfColor(cell.Font.Color, false));
    if (!fonts_.EmbedsSubsets() && fonts_.FitsBaseFont(cell.Font, cell.Text)) {
      const int font = fonts_.FontFromTable(pdf_, cell.Font);
      pdf_.WriteString(fontOperator(font, cell.Font));
      if (cell.Text.find('\t') == std::string::npos)
        pdf_.WriteString(point(box.Left, baseline) + " Td " + fonts_.TextOperand(font, cell.Text) + " Tj");
      else
        writeTabbedText(cell, font, baseline);
    } else {
      writeLaidOutText(cell, baseline);
    }
    pdf_.WriteString("ET");
    if (clip) pdf_.WriteString("Q");
  }

  // Texts come in runs of one font: its ascent is asked once per run.
  int ascentOf(const TFont& font) {
    if (!ascentFont_ || !(*ascentFont_ == font)) {
      ascent_ = FontAscent(font);
      ascentFont_ = font;
    }
    return ascent_;
  }

  std::string fontOperator(int font, const TFont& canvasFont) const {
    return "/F" + std::to_string(font) + " " + std::to_string(canvasFont.Size) + " Tf";
  }

  // Glyph runs as the page lays them out, each in the font that has its
  // glyphs: any script, right-to-left ones in their order on the page.
  // A right-to-left run is written glyph by glyph in reading order, each at
  // its place, so that text extraction reads it as written.
  void writeLaidOutText(const TZdqMFERecord& cell, double baseline) {
    int current = -1;
    for (const TPdfGlyphRun& run : LayOutPdfText(cell.Font, cell.Text)) {
      const int font = fonts_.EmbeddedFont(pdf_, run.Font);
      if (font != current) pdf_.WriteString(fontOperator(font, cell.Font));
      current = font;
      auto show = [&](size_t from, size_t to) {
        std::string shown = "1 0 0 1 " + point(cell.TextBox.Left + run.X[from], baseline) + " Tm ";
        fonts_.AppendGlyphOperand(shown, font, run, from, to);
        pdf_.WriteString(shown + " Tj");
      };
      if (!run.RightToLeft) show(0, run.Glyphs.size());
      else
        for (size_t g = run.Glyphs.size(); g-- > 0;) show(g, g + 1);
    }
  }

  // A tab shows as the gap the page leaves for it: each piece between tabs
  // starts where the page's advances put it.
  void writeTabbedText(const TZdqMFERecord& cell, int font, double baseline) {
    const std::vector<int> advances = CharAdvances(cell.Font, cell.Text);
    const std::u32string chars = DecodeUtf8(cell.Text);
    int64_t x = cell.TextBox.Left;
    std::string piece;
    int64_t pieceX = x;
    auto flush = [&] {
      if (!piece.empty())
        pdf_.WriteString("1 0 0 1 " + point(double(pieceX), baseline) + " Tm " + fonts_.TextOperand(font, piece) +
                         " Tj");
      piece.clear();
    };
    for (size_t i = 0; i < chars.size(); ++i) {
      if (chars[i] == U'\t') flush();
      else AppendUtf8(chars[i], piece);
      x += i < advances.size() ? advances[i] : 0;
      if (chars[i] == U'\t') pieceX = x;
    }
    flush();
  }

  // Through the pixel centres with the pen's width and square ends, as the
  // page draws it.
  void writeLine(const TZdqMFERecord& cell) {
    if (cell.Pen.Style == TPenStyle::psClear) return;
    pdf_.WriteString("q " + PdfColor(cell.Pen.Color, true) + " " + PdfPoints(cell.Pen.Width) + " w 2 J");
    pdf_.WriteString(point(cell.Left + 0.5, cell.Top + 0.5) + " m " + point(cell.LineEnd.X + 0.5, cell.LineEnd.Y + 0.5) +
                     " l S Q");
  }

  void writePicture(const TZdqMFERecord& cell) {
    if (!cell.Bitmap || cell.Bitmap->Empty()) return;
    const TBitmap& bitmap = *cell.Bitmap;
    images_.push_back(pdf_.GetNextRefIndex());
    pageImages_.push_back({int(images_.size()), &bitmap});
    // The cell's box is the picture's, widened by one on every side.
    pdf_.WriteString("q");
    pdf_.WriteString(PdfPoints(bitmap.Width()) + " 0 0 " + PdfPoints(bitmap.Height()) + " " +
                     point(cell.Left + 1, double(cell.Top) + 1 + bitmap.Height()) + " cm");
    pdf_.WriteString("/Im" + std::to_string(images_.size()) + " Do");
    pdf_.WriteString("Q");
  }

  void writeBitmap(const TPageImage& image) {
    const bool flate = exporter_.Compression == TZdqECompression::seFlate;
    const std::string rgb = RgbPixels(*image.bitmap);
    const std::string data = flate ? FlateCompress(rgb) : HexLines(rgb);
    const int length = pdf_.GetNextRefIndex();
    const int number = images_[size_t(image.index - 1)];
    pdf_.AddRef(number);
    pdf_.WriteString(std::to_string(number) + " 0 obj");
    pdf_.WriteString("<< ");
    pdf_.WriteString("/Type /XObject");
    pdf_.WriteString("/Subtype /Image");
    pdf_.WriteString("/Name /Im" + std::to_string(image.index));
    pdf_.WriteString("/Width " + std::to_string(image.bitmap->Width()));
    pdf_.WriteString("/Height " + std::to_string(image.bitmap->Height()));
    pdf_.WriteString("/BitsPerComponent 8");
    pdf_.WriteString("/ColorSpace /DeviceRGB");
    pdf_.WriteString(std::string("/Filter /") +
                     PdfFilterName(flate ? TZdqECompression::seFlate : TZdqECompression::seASCIIHex) + " ");
    pdf_.WriteString("/Length " + ref(length) + " >> ");
    pdf_.WriteStream(data);
    pdf_.WriteString("endobj");
    writeNumberObject(length, data.size());
  }

  void writeNumberObject(int number, size_t value) {
    pdf_.AddRef(number);
    pdf_.WriteString(std::to_string(number) + " 0 obj");
    pdf_.WriteString(std::to_string(value));
    pdf_.WriteString("endobj");
  }

  void writeInfo() {
    const TZdProperty& p = exporter_.Properties();
    pdf_.AddRef(kInfoObject);
    pdf_.WriteString(std::to_string(kInfoObject) + " 0 obj");
    pdf_.WriteString("<< /Creator " + PdfTextString(TZdqExport::ProductKey()));
    pdf_.WriteString("/CreationDate (" + PdfCreationDate() + ")");
    pdf_.WriteString("/Title " + PdfTextString(p.Title));
    pdf_.WriteString("/Author " + PdfTextString(p.Author));
    pdf_.WriteString("/Producer (ZdReport)");
    pdf_.WriteString("/Keywords " + PdfTextString(p.Keywords));
    pdf_.WriteString("/Subject " + PdfTextString(p.Subject) + " >>");
    pdf_.WriteString("endobj");
  }

  const TZdqExportToPDF& exporter_;
  TPdfWriter pdf_;
  TZdqPDFFonts fonts_;
  TPdfPageTree tree_;
  std::vector<int> images_;  // object numbers of /Im1, /Im2, ...
  std::vector<TPageImage> pageImages_;  // those of the page being written
  int height_;
  int64_t pageTop_ = 0;
  std::optional<TFont> ascentFont_;  // the font ascent_ is of
  int ascent_ = 0;
  int content_ = 0, length_ = 0, procSet_ = 0, resources_ = 0;
};

const char* PdfFilterName(TZdqECompression compression) {
  switch (compression) {
    case TZdqECompression::seASCIIHex: return "ASCIIHexDecode";
    case TZdqECompression::seASCII85: return "ASCII85Decode";
    case TZdqECompression::seLZW: return "LZWDecode";
    case TZdqECompression::seDCT: return "DCTDecode";
    case TZdqECompression::seFlate: return "FlateDecode";
  }
  return "ASCIIHexDecode";
}

TZdqExportToPDF::TZdqExportToPDF(TComponent* owner) : TZdqExportAttributes(owner) {
  RecordKinds = {TZdqMFERecordKind::rkText, TZdqMFERecordKind::rkLine, TZdqMFERecordKind::rkPicture};
}

TZdqExportToPDF::~TZdqExportToPDF() = default;

TPdfCellDocument& TZdqExportToPDF::document() {
  if (!document_) document_ = std::make_unique<TPdfCellDocument>(*this);
  return *document_;
}

void TZdqExportToPDF::NewPage(int page, int bar) {
  TZdqExportAttributes::NewPage(page, bar);
  // The bars of a page share one wide sheet.
  if (bar != 0) return;
  ++pagesStarted_;
  // A cell may hang over onto the next page, so only the pages before the
  // previous one are complete.
  sortCells(pagesStarted_ - 2);
  writePagesBefore(pagesStarted_ - 2);
}

// Moves the collected cells to the pages they belong on; one belonging on
// a page already written goes on the first page still open. A last text
// that a run of the next page could still extend stays, unless it belongs
// before firstOpenPage.
void TZdqExportToPDF::sortCells(int firstOpenPage) {
  std::vector<TZdqMFERecord>& cells = Records();
  if (cells.empty()) return;
  document();  // checks the page size pageOfCell divides by
  size_t complete = cells.size();
  if (cells.back().Kind == TZdqMFERecordKind::rkText && pageOfCell(cells.back(), intPageHeight) >= firstOpenPage)
    --complete;
  for (size_t i = 0; i < complete; ++i)
    waiting_[std::max(pageOfCell(cells[i], intPageHeight), written_)].push_back(std::move(cells[i]));
  cells.erase(cells.begin(), cells.begin() + long(complete));
}

void TZdqExportToPDF::writePagesBefore(int end) {
  for (; written_ < end; ++written_) {
    const auto found = waiting_.find(written_);
    document().WritePage(found == waiting_.end() ? std::vector<TZdqMFERecord>() : found->second,
                         int64_t(written_) * intPageHeight);
    if (found != waiting_.end()) waiting_.erase(found);
  }
}

void TZdqExportToPDF::SaveToFile(const std::string& fileName) {
  // The writer places cells by their own positions, so the grid is not built.
  sortCells(std::numeric_limits<int>::max());
  int end = std::max(pagesStarted_, 1);
  if (!waiting_.empty()) end = std::max(end, waiting_.rbegin()->first + 1);
  writePagesBefore(end);
  // With one file per page the next file must hold only its own page.
  const std::unique_ptr<TPdfCellDocument> finished = std::move(document_);
  pagesStarted_ = written_ = 0;
  finished->Finish(fileName, DestinationStream());
}

void TZdqExportToPDF::EndExport() {
  document_.reset();
  waiting_.clear();
  Records().clear();
  pagesStarted_ = written_ = 0;
  TZdqExportAttributes::EndExport();
}

}  // namespace zd
