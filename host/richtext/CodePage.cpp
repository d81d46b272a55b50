#include "host/richtext/CodePage.h"

#include "host/locale/CodePages.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace zd {

namespace {
// Bytes a code page leaves undefined decode as U+FFFD.
void decodeSingleByte(const char16_t* upper, const std::string& bytes, std::string& out) {
  for (unsigned char b : bytes) {
    const char16_t u = b < 0x80 ? char16_t(b) : upper[b - 0x80];
    AppendUtf8(u ? char32_t(u) : char32_t(0xFFFD), out);
  }
}
}  // namespace

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

int CodePageOfCharset(int charset, int fallback) {
  switch (charset) {
    case 0: case 1: return fallback;
    case 2: return 1252;  // symbol fonts: bytes are glyph indices
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return fallback;
  }
}

void TCodePageDecoder::Decode(const std::string& bytes, std::string& out) const {
  if (const char16_t* t = SingleByteCodePage(codePage_)) return decodeSingleByte(t, bytes, out);
  const QByteArray name = codePage_ == 10000 ? QByteArray("macintosh")
                        : codePage_ == 932   ? QByteArray("Shift_JIS")
                        : codePage_ == 936   ? QByteArray("GBK")
                        : codePage_ == 949   ? QByteArray("EUC-KR")
                        : codePage_ == 950   ? QByteArray("Big5")
                        : "windows-" + QByteArray::number(codePage_);
  QStringDecoder dec(name.constData());
  if (!dec.isValid()) return decodeSingleByte(SingleByteCodePage(1252), bytes, out);
  const QString s = dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  out += s.toStdString();
}

}  // namespace zd
