#include "export/pdf/detail/PdfPageDocument.h"

namespace zd {

namespace {

constexpr int kCatalogObject = 1, kInfoObject = 2, kPagesObject = 3;
constexpr size_t kKidsPerLine = 10;
// Page content is compressed at zlib's fastest level: most of the gain at a
// fraction of the time.
constexpr int kContentCompression = 1;

std::string ref(int number) { return std::to_string(number) + " 0 R"; }

}  // namespace

TPdfPageDocument::TPdfPageDocument() : shared_(pdf_), painter_(shared_) {
  pdf_.SpoolToTemporaryFile();
  pdf_.WriteString("%PDF-1.4");
  pdf_.WriteString("%\xE2\xE3\xCF\xD3");  // binary data follow
}

void TPdfPageDocument::BeginPage(int page, int bar) {
  current_ = {page, bar};
  painter_.Begin();
}

void TPdfPageDocument::EndPage(int width, int height) {
  if (width <= 0 || height <= 0)
    throw EPdfError("page " + std::to_string(current_.first + 1) + " has no size (" + std::to_string(width) +
                    " x " + std::to_string(height) + ")");
  std::string content = painter_.Finish(height);
  writePending();
  const int page = pdf_.GetNextRefIndex(), contents = pdf_.GetNextRefIndex();
  std::string resources = painter_.Resources().Dictionary(shared_, height);
  pending_.emplace(TPendingPage{page, contents, width, height, std::move(resources),
                                compressor_.Run([content = std::move(content)] {
                                  return FlateCompress(content, kContentCompression);
                                })});
  pages_.push_back(page);
  placed_.try_emplace(current_, TPlacedPage{page, height});
}

// The objects of the page before, once its content is compressed.
void TPdfPageDocument::writePending() {
  if (!pending_) return;
  TPendingPage done = std::move(*pending_);
  pending_.reset();
  const std::string content = done.content.get();
  pdf_.AddRef(done.contents);
  pdf_.WriteString(std::to_string(done.contents) + " 0 obj");
  pdf_.WriteString("<< /Filter /FlateDecode /Length " + std::to_string(content.size()) + " >>");
  pdf_.WriteStream(content);
  pdf_.WriteString("endobj");
  pdf_.AddRef(done.page);
  pdf_.WriteString(std::to_string(done.page) + " 0 obj");
  pdf_.WriteString("<< /Type /Page /Parent " + ref(kPagesObject) + " /MediaBox [0 0 " + PdfPoints(done.width) + " " +
                   PdfPoints(done.height) + "] /Contents " + ref(done.contents));
  pdf_.WriteString("/Resources " + done.resources + " >>");
  pdf_.WriteString("endobj");
}

void TPdfPageDocument::SaveTo(const std::string& fileName, std::ostream* stream, const TZdProperty& properties,
                              const std::vector<TZdqExportOutline>& outlines) {
  writePending();
  shared_.WriteDeferred();
  const int outlineRoot = writeOutlines(outlines);
  writeInfo(properties);
  writePageTree();
  writeCatalog(outlineRoot);
  pdf_.WriteXrefAndTrailer(kCatalogObject, kInfoObject);
  pdf_.SaveSpooledTo(fileName, stream);
}

// One level of bookmarks in the report's order, each showing its page from
// the top of its band.
int TPdfPageDocument::writeOutlines(const std::vector<TZdqExportOutline>& outlines) {
  std::vector<std::pair<const TZdqExportOutline*, const TPlacedPage*>> shown;
  for (const TZdqExportOutline& entry : outlines)
    if (const auto found = placed_.find({entry.Page, entry.Bar}); found != placed_.end())
      shown.push_back({&entry, &found->second});
  if (shown.empty()) return 0;

  const int root = pdf_.GetNextRefIndex();
  std::vector<int> items;
  for (size_t i = 0; i < shown.size(); ++i) items.push_back(pdf_.GetNextRefIndex());
  pdf_.AddRef(root);
  pdf_.WriteString(std::to_string(root) + " 0 obj");
  pdf_.WriteString("<< /Type /Outlines /First " + ref(items.front()) + " /Last " + ref(items.back()) + " /Count " +
                   std::to_string(items.size()) + " >>");
  pdf_.WriteString("endobj");
  for (size_t i = 0; i < shown.size(); ++i) {
    const auto& [entry, page] = shown[i];
    std::string links = "/Parent " + ref(root);
    if (i > 0) links += " /Prev " + ref(items[i - 1]);
    if (i + 1 < items.size()) links += " /Next " + ref(items[i + 1]);
    pdf_.AddRef(items[i]);
    pdf_.WriteString(std::to_string(items[i]) + " 0 obj");
    pdf_.WriteString("<< /Title " + PdfUnicodeString(entry->Text) + " " + links);
    pdf_.WriteString("/Dest [" + ref(page->object) + " /XYZ 0 " + PdfPoints(page->height - entry->Top) + " null] >>");
    pdf_.WriteString("endobj");
  }
  return root;
}

void TPdfPageDocument::writeInfo(const TZdProperty& p) {
  pdf_.AddRef(kInfoObject);
  pdf_.WriteString(std::to_string(kInfoObject) + " 0 obj");
  pdf_.WriteString("<< /Producer (ZdReport) /Creator " + PdfTextString(TZdqExport::ProductKey()) +
                   " /CreationDate (" + PdfCreationDate() + ")");
  for (const auto& [key, value] : {std::pair{"Title", &p.Title}, std::pair{"Author", &p.Author},
                                   std::pair{"Subject", &p.Subject}, std::pair{"Keywords", &p.Keywords}})
    if (!value->empty()) pdf_.WriteString(std::string("/") + key + " " + PdfUnicodeString(*value));
  pdf_.WriteString(">>");
  pdf_.WriteString("endobj");
}

void TPdfPageDocument::writePageTree() {
  pdf_.AddRef(kPagesObject);
  pdf_.WriteString(std::to_string(kPagesObject) + " 0 obj");
  pdf_.WriteString("<< /Type /Pages /Count " + std::to_string(pages_.size()) + " /Kids [");
  std::string line;
  for (size_t i = 0; i < pages_.size(); ++i) {
    line += ref(pages_[i]) + " ";
    if ((i + 1) % kKidsPerLine == 0 || i + 1 == pages_.size()) {
      pdf_.WriteString(line);
      line.clear();
    }
  }
  pdf_.WriteString("] >>");
  pdf_.WriteString("endobj");
}

void TPdfPageDocument::writeCatalog(int outlines) {
  pdf_.AddRef(kCatalogObject);
  pdf_.WriteString(std::to_string(kCatalogObject) + " 0 obj");
  std::string catalog = "<< /Type /Catalog /Pages " + ref(kPagesObject);
  if (outlines) catalog += " /Outlines " + ref(outlines) + " /PageMode /UseOutlines";
  pdf_.WriteString(catalog + " >>");
  pdf_.WriteString("endobj");
}

}  // namespace zd
