#include "export/rtf/RtfExport.h"

#include <cstdio>
#include <stdexcept>

#include "export/rtf/detail/RtfBody.h"
#include "host/locale/Clock.h"
#include "host/locale/DateTime.h"
#include "host/locale/TextCodec.h"

namespace zd {

int GetTwips(int units) { return int(int64_t(units) * 144 / 10); }

std::string GetFromTable(std::vector<std::string>& list, int base, const std::string& s) {
  size_t position = 0;
  while (position < list.size() && list[position] != s) ++position;
  if (position == list.size()) list.push_back(s);
  return std::to_string(int(position) + base);
}

std::string GetAlignment(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return "\\qr";
    case TAlignment::taCenter: return "\\qc";
    default: return "";
  }
}

std::string GetFontStyle(TFontStyles style) {
  std::string codes;
  if (style.Has(fsItalic)) codes += "\\i";
  if (style.Has(fsBold)) codes += "\\b";
  if (style.Has(fsUnderline)) codes += "\\ul";
  return codes;
}

std::string DateTimeToRTF(TDateTime dateTime) {
  const TDateParts date = DecodeDate(dateTime);
  std::string text = "yr" + std::to_string(date.year) + "\\mo" + std::to_string(date.month) + "\\dy" +
                     std::to_string(date.day);
  if (TimeOf(dateTime).days != 0) {
    const TTimeParts time = DecodeTime(dateTime);
    text += "\\hr" + std::to_string(time.hour) + "\\min" + std::to_string(time.minute);
  }
  return text;
}

std::string WriteBitmap(const TBitmap& bitmap) {
  std::vector<uint8_t> info, bits;
  bitmap.ToDib(info, bits);
  info.insert(info.end(), bits.begin(), bits.end());
  std::string hex;
  hex.reserve(info.size() * 2);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (uint8_t byte : info) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return "{\\pict\\dibitmap " + hex + " }";
}

std::string RtfText(std::string_view utf8, const TZdqOutputCharset& charset, size_t maxChars) {
  const std::u32string chars = DecodeUtf8(utf8).substr(0, maxChars);
  std::string text;
  for (size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (c == U'\\' || c == U'{' || c == U'}') {
      text += '\\';
      text += char(c);
    } else if (c == U'\t') {
      text += "\\tab ";
    } else if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') ++i;
      text += "\\line ";
    } else if (c < 0x20) {
      continue;  // no other control character shows anything
    } else if (c < 0x80) {
      text += char(c);
    } else if (charset.CanEncode(c)) {
      // Escaped, as some readers drop 8-bit bytes in the text.
      std::string one;
      AppendUtf8(c, one);
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", unsigned(uint8_t(charset.Encode(one)[0])));
      text += hex;
    } else {
      std::u16string units;
      AppendUtf16(c, units);
      for (char16_t unit : units) text += "\\u" + std::to_string(int16_t(unit)) + "?";
    }
  }
  return text;
}

std::string RtfTable(const std::string& opening, const std::vector<std::string>& items) {
  std::string table, pending = opening;
  for (const std::string& item : items) {
    if (pending.size() + item.size() >= 255) {
      table += pending + "\r\n";
      pending.clear();
    }
    pending += item;
  }
  return table + pending + "}\r\n";
}

TZdqExportToRTF::TZdqExportToRTF(TComponent* owner) : TZdqExportToSpreadsheet(owner) {
  RecordKinds = {TZdqMFERecordKind::rkText, TZdqMFERecordKind::rkLine, TZdqMFERecordKind::rkRectangle,
                 TZdqMFERecordKind::rkEllipse};
  TZdqExportToRTF::SetCodePage(AnsiSingleByteCodePage());
}

void TZdqExportToRTF::SetCodePage(int codePage) {
  if (TZdqOutputCharset(codePage).IsUtf8())
    throw std::invalid_argument("RTF text is 8-bit: give a single-byte code page such as cp1252");
  TZdqExportToSpreadsheet::SetCodePage(codePage);
}

TZdqExportToRTF::~TZdqExportToRTF() = default;

void TZdqExportToRTF::openBody(const std::string& fileName) {
  lstFonts.clear();
  lstColors.clear();
  body_ = std::make_unique<TRtfBody>(DestinationStream() ? std::string() : TRtfBody::FileNameFor(fileName));
  replacedBefore_ = ReplacedCharacters;
}

void TZdqExportToRTF::BeginGridRows() {
  openBody(DestinationFileName());
  TZdqExportToSpreadsheet::BeginGridRows();
}

void TZdqExportToRTF::SaveToFile(const std::string& fileName) {
  if (!body_) openBody(fileName);
  try {
    TZdqExportToSpreadsheet::SaveToFile(fileName);
  } catch (...) {
    body_.reset();
    throw;
  }
  body_.reset();
  ReplacedCharacters = replacedBefore_;
}

void TZdqExportToRTF::EndExport() {
  body_.reset();
  TZdqExportToSpreadsheet::EndExport();
}

void TZdqExportToRTF::WriteFileBegin() {
  WriteString("{\\rtf1\\ansi\\ansicpg" + std::to_string(CodePage()) + "\\uc1\r\n");
  const std::string title = RtfText(Properties().Title, Charset());
  const std::string author = RtfText(Properties().Author, Charset());
  std::string info = "{\\*\\generator ZdReport Designer;}{\\info{\\operator " + std::string(ProductKey()) +
                     "}{\\*\\company Harbolt Software}{\\creatim\\" + DateTimeToRTF(Now()) + "}";
  if (!title.empty()) info += "{\\title " + title + "}";
  if (!author.empty()) info += "{\\author " + author + "}";
  info += "}\r\n";
  if (!title.empty()) info += "{\\header \\pard\\plain {" + title + " \\par }}\r\n";
  body_->Write(info);
}

void TZdqExportToRTF::WriteDimensions(int, int) {
  std::string row = "\\par\r\n\\paperw" + std::to_string(GetTwips(intTotalWidth)) + "\\paperh" +
                    std::to_string(GetTwips(intTotalHeight)) +
                    "\r\n\\trowd\\irow\\trautofit1\\trql\\trgaph0\\trleft0\r\n";
  for (int x : Columns())
    row += "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth \\cellx" +
           std::to_string(GetTwips(x)) + "\r\n";
  body_->Write(row);
}

void TZdqExportToRTF::WriteRowEnd() { body_->Write("\\row\r\n"); }

void TZdqExportToRTF::WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int, int,
                                const std::string&, TAlignment alignment, TColor) {
  std::string cell = "\\pard\\intbl\\li30\\ri30";
  if (rec && cellType != TSpreadsheetCellType::ctBlank)
    cell += textRun(*rec, alignment);
  else if (rec && rec->Kind == TZdqMFERecordKind::rkPicture && rec->Bitmap && !rec->Bitmap->Empty())
    cell += WriteBitmap(*rec->Bitmap);
  body_->Write(cell + "\\cell ");
}

std::string TZdqExportToRTF::textRun(const TZdqMFERecord& rec, TAlignment alignment) {
  std::string run = GetAlignment(alignment) + "{\\f" + GetFromTable(lstFonts, 0, rec.Font.Name) + "\\fs" +
                    std::to_string(2 * rec.Font.Size) + GetFontStyle(rec.Font.Style);
  if (rec.Font.Color != clWhite)
    run += "\\cf" + GetFromTable(lstColors, 1, std::to_string(int32_t(rec.Font.Color)));
  return run + " " + RtfText(rec.Text, Charset(), MaxCellText) + "}";
}

void TZdqExportToRTF::WriteFileEnd() {
  body_->Write("\\pard\\par}");
  if (!lstFonts.empty()) {
    std::vector<std::string> items;
    for (size_t i = 0; i < lstFonts.size(); ++i)
      items.push_back("{\\f" + std::to_string(i) + " " + RtfText(lstFonts[i], Charset()) + "}");
    WriteString(RtfTable("{\\fonttbl", items));
  }
  if (!lstColors.empty()) {
    std::vector<std::string> items;
    for (const std::string& text : lstColors) {
      // A system colour reference is written from its raw bytes as well.
      const uint32_t color = uint32_t(std::stol(text));
      items.push_back("\\red" + std::to_string(color & 0xFF) + "\\green" + std::to_string(color >> 8 & 0xFF) +
                      "\\blue" + std::to_string(color >> 16 & 0xFF) + ";");
    }
    WriteString(RtfTable("{\\colortbl;", items));
  }
  WriteString(body_->Contents());
}

}  // namespace zd
