#include "export/TextExportFile.h"

#include <fstream>

#include "export/PdfCodePages.h"
#include "host/locale/Locale.h"
#include "host/richtext/CodePage.h"

namespace zd {

TZdqOutputCharset::TZdqOutputCharset(int codePage) : codePage_(SingleByteCodePage(codePage) ? codePage : 0) {}

TZdqOutputCharset TZdqOutputCharset::Ansi() { return TZdqOutputCharset(currentLocale().ansiCodePage); }

std::string TZdqOutputCharset::Name() const {
  return IsUtf8() ? std::string("UTF-8") : "windows-" + std::to_string(codePage_);
}

std::string TZdqOutputCharset::Encode(std::string_view utf8) const {
  if (!IsUtf8()) return EncodeToCodePage(utf8, codePage_);
  std::string out;
  for (char32_t cp : DecodeUtf8(utf8)) AppendUtf8(cp, out);
  return out;
}

void WriteExportFile(const std::string& fileName, std::string_view bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EZdqExportFileError("cannot create the file \"" + fileName + "\"");
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  if (!out) throw EZdqExportFileError("cannot write the file \"" + fileName + "\"");
}

}  // namespace zd
