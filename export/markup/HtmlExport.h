#pragma once
// The grid as an HTML table: one table row per grid row, fonts and
// background colours as the old-style font and bgcolor markup.
#include <string>

#include "export/Spreadsheet.h"

namespace zd {

class TZdqExportToHTML : public TZdqExportToSpreadsheet {
 public:
  explicit TZdqExportToHTML(TComponent* owner = nullptr);
  std::string ClassName() const override { return "TZdqExportToHTML"; }

  // Colour of the page body; set from the export's last background colour
  // when the file is begun.
  TColor BodyBackColor = clWhite;

 protected:
  void WriteFileBegin() override;
  void WriteFileEnd() override;
  void WriteRowStart() override;
  void WriteRowEnd() override;
  void WriteData(TSpreadsheetCellType cellType, const TZdqMFERecord* rec, int row, int col,
                 const std::string& text, TAlignment alignment, TColor color) override;

 private:
  // Saves the picture as a JPEG next to the output file; the img tag for it.
  std::string writePicture(const TBitmap& bitmap) const;
};

// The colour attribute ("color=\"#RRGGBB\"", with "bg" in front for a
// background); empty for black, which is never written.
std::string GetHTMLColor(TColor color, bool isBackground);
// HTML font size 1..6 of a point size; "-1" when none fits.
std::string GetHTMLFontSize(int size);
// Markup text s in a font tag with the font's face, size, colour and styles
// (the face escaped for a document in `charset`).
std::string GetHTMLTextWithFont(const std::string& s, const TFont& font, const TZdqOutputCharset& charset);

}  // namespace zd
