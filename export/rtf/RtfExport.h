#pragma once
// The grid as a Rich Text Format document holding one table: a table row
// per grid row, a cell per grid column, texts in their font, size, style
// and colour, pictures as device-independent bitmaps.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/Spreadsheet.h"
#include "host/core/Variant.h"

namespace zd {

class TRtfBody;

class TZdqExportToRTF : public TZdqExportToSpreadsheet {
 public:
  // Texts are in the locale's ANSI code page (1252 when that is none this
  // library can write); characters it lacks are written as Unicode escapes.
  explicit TZdqExportToRTF(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToRTF"; }
  // The header names an 8-bit code page: UTF-8 is refused (std::invalid_argument).
  void SetCodePage(int codePage) override;
  ~TZdqExportToRTF() override;
  // The font and colour tables precede the body but are known only at its
  // end, so the body waits beside the output (see TRtfBody::FileNameFor),
  // or in memory when the output is a stream.
  void SaveToFile(const std::string& fileName) override;
  void EndExport() override;

 protected:
  // Streamed rows go to the body, opened here.
  void BeginGridRows() override;
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  // The one row definition that serves every row.
  void WriteDimensions(int rows, int columns) override;
  void WriteRowEnd() override;
  // Texts are taken from the cell itself rather than from `text`, so that
  // characters outside the code page survive as Unicode escapes.
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;

 private:
  std::string textRun(const TZdqMFERecord& rec, TAlignment alignment);
  void openBody(const std::string& fileName);

  // Fonts by name and colours as signed decimal text, in order of first use;
  // the position is the font number, the position plus 1 the colour number.
  std::vector<std::string> lstFonts, lstColors;
  std::unique_ptr<TRtfBody> body_;  // from the first row to SaveToFile
  // The driver counts what its 8-bit cell texts lose, but the cells are
  // written from their own text, where nothing is lost.
  size_t replacedBefore_ = 0;
};

// Metafile units (96 per inch) as twips, truncated.
int GetTwips(int units);
// The position of s in list, appended when absent, plus base, as decimal text.
std::string GetFromTable(std::vector<std::string>& list, int base, const std::string& s);
std::string GetAlignment(TAlignment alignment);  // "\qr", "\qc" or nothing
std::string GetFontStyle(TFontStyles style);     // "\i", "\b", "\ul" in this order
// "yr2026\mo1\dy2", with "\hr3\min4" when the time is not midnight.
std::string DateTimeToRTF(TDateTime dateTime);
// A picture group holding the 24-bit device-independent bitmap in hexadecimal.
std::string WriteBitmap(const TBitmap& bitmap);
// UTF-8 text, cut to maxChars characters, as 7-bit RTF text in `charset`:
// \ { } escaped, tab and line breaks as \tab and \line, other control
// characters dropped, the charset's 8-bit characters as \'hh, characters it
// lacks as \uN? (UTF-16 units, signed).
std::string RtfText(std::string_view utf8, const TZdqOutputCharset& charset,
                    size_t maxChars = std::string::npos);
// A font or colour table: the opening, the items and a closing brace, put
// on a new line whenever a line would reach 255 characters.
std::string RtfTable(const std::string& opening, const std::vector<std::string>& items);

}  // namespace zd
