#include "export/markup/HtmlExport.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "export/detail/ExportOutput.h"
#include "export/markup/detail/XmlEscape.h"
#include "host/core/TextUtil.h"
#include "host/locale/TextCodec.h"

namespace zd {

namespace {

std::string Base64(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    const uint32_t group = uint32_t(bytes[i]) << 16 | (left > 1 ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (left > 2 ? uint32_t(bytes[i + 2]) : 0);
    out += kDigits[group >> 18 & 63];
    out += kDigits[group >> 12 & 63];
    out += left > 1 ? kDigits[group >> 6 & 63] : '=';
    out += left > 2 ? kDigits[group & 63] : '=';
  }
  return out;
}

// The first count characters of a UTF-8 text.
std::string firstCharacters(const std::string& utf8, size_t count) {
  return EncodeUtf8(DecodeUtf8(utf8).substr(0, count));
}

// A name no file in the folder has yet.
std::filesystem::path freshPictureName(const std::filesystem::path& folder) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "ZDQ%08X.jpg", unsigned(random()));
    std::filesystem::path candidate = folder / name;
    if (!std::filesystem::exists(candidate)) return candidate;
  }
  throw EZdqExportFileError("no free picture file name in \"" + folder.string() + "\"");
}

std::string alignmentAttribute(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return " align=\"right\"";
    case TAlignment::taCenter: return " align=\"center\"";
    default: return "";
  }
}

}  // namespace

std::string GetHTMLColor(TColor color, bool isBackground) {
  const unsigned rgb = color & 0xFFFFFF;
  if (rgb == 0) return "";
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
  return std::string(isBackground ? "bg" : "") + "color=\"#" + hex + "\"";
}

std::string GetHTMLFontSize(int size) {
  if (size >= 6 && size <= 7) return "1";
  if (size >= 8 && size <= 9) return "2";
  if (size >= 10 && size <= 13) return "3";
  if (size >= 14 && size <= 17) return "4";
  if (size >= 18 && size <= 23) return "5";
  if (size >= 24 && size <= 35) return "6";
  return "-1";
}

std::string GetHTMLTextWithFont(const std::string& s, const TFont& font, const TZdqOutputCharset& charset) {
  std::string wrapped = s;
  if (font.Style.Has(fsUnderline)) wrapped = "<u>" + wrapped + "</u>";
  if (font.Style.Has(fsItalic)) wrapped = "<i>" + wrapped + "</i>";
  if (font.Style.Has(fsBold)) wrapped = "<b>" + wrapped + "</b>";
  std::string tag = "<font ";
  if (font.Name != "MS Sans Serif") tag += "face=\"" + EscapeMarkup(font.Name, charset) + "\" ";
  const std::string size = GetHTMLFontSize(font.Size);
  if (size != "-1") tag += "size=" + size;
  const std::string color = GetHTMLColor(font.Color, false);
  if (!color.empty()) tag += " " + color;
  return tag + ">" + wrapped + "</font>";
}

TZdqExportToHTML::TZdqExportToHTML(TComponent* owner) : TZdqExportToSpreadsheet(owner) {
  RecordKinds = {TZdqMFERecordKind::rkText, TZdqMFERecordKind::rkPicture};
}

// Characters the declared encoding cannot hold are written as character
// references, so no character is lost.
void TZdqExportToHTML::WriteFileBegin() {
  BodyBackColor = CurrentBackColor();
  const TZdProperty& p = Properties();
  WriteString("<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\"\r\ncontent=\"text/html; charset=" +
              Charset().Name() + "\">\r\n");
  WriteMarkup("<meta name=\"AUTHOR\" content=\"" + EscapeMarkup(p.Author, Charset()) + "\">\r\n");
  WriteMarkup("<meta name=\"KEYWORDS\" content=\"" + EscapeMarkup(p.Keywords, Charset()) + "\">\r\n");
  WriteString("<meta name=\"GENERATOR\" content=\"Harbolt ZdReport\">\r\n");
  WriteMarkup("<title>" + EscapeMarkup(p.Title, Charset()) + "</title>\r\n");
  WriteString("</head>\r\n\r\n");
  WriteString("<body " + GetHTMLColor(BodyBackColor, true) + ">\r\n");
  WriteString("<table border=1>\r\n");
}

void TZdqExportToHTML::WriteFileEnd() { WriteString("</table>\r\n</body>\r\n</html>\r\n"); }
void TZdqExportToHTML::WriteRowStart() { WriteString("  <TR>\r\n"); }
void TZdqExportToHTML::WriteRowEnd() { WriteString("  </TR>\r\n"); }

// The cell's own UTF-8 text is written rather than the 8-bit text handed in,
// so that characters outside the code page survive as references.
void TZdqExportToHTML::WriteData(TSpreadsheetCellType, const TZdqMFERecord* rec, int, int, const std::string&,
                                 TAlignment alignment, TColor) {
  const bool isText = rec && rec->Kind == TZdqMFERecordKind::rkText;
  std::string attributes;
  if (isText && rec->BackColor != BodyBackColor) {
    const std::string color = GetHTMLColor(rec->BackColor, true);
    if (!color.empty()) attributes = " " + color;
  }
  std::string content;
  if (!rec || Trim(rec->Text).empty()) {
    if (rec && rec->Kind == TZdqMFERecordKind::rkPicture && rec->Bitmap && !rec->Bitmap->Empty())
      content = writePicture(*rec->Bitmap);
    else
      content = "&nbsp;";
  } else {
    content = EscapeMarkup(firstCharacters(rec->Text, MaxCellText), Charset());
    if (isText) content = GetHTMLTextWithFont(content, rec->Font, Charset());
    attributes += alignmentAttribute(alignment);
  }
  WriteMarkup("    <TD" + attributes + ">" + content + "</TD>\r\n");
}

// Referred to by its bare name, so the page and its pictures can move
// together; a page written to a stream has no folder and carries its
// pictures inside.
std::string TZdqExportToHTML::writePicture(const TBitmap& bitmap) const {
  std::string source;
  if (DestinationStream()) {
    source = "data:image/jpeg;base64," + Base64(bitmap.SaveToBytes(TImageFormat::Jpeg));
  } else {
    const std::filesystem::path output(DestinationFileName());
    const std::filesystem::path picture = freshPictureName(output.parent_path().empty() ? "." : output.parent_path());
    bitmap.SaveToFile(picture.string(), TImageFormat::Jpeg);
    source = EscapeMarkup(picture.filename().string(), Charset());
  }
  return "<img src=\"" + source + "\" width=\"" + std::to_string(bitmap.Width()) + "\" height=\"" +
         std::to_string(bitmap.Height()) + "\">";
}

}  // namespace zd
