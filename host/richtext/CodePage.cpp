#include "host/richtext/CodePage.h"

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace zd {

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
  if (const char16_t* upper = SingleByteCodePage(codePage_)) {
    out += SingleByteToUtf8(bytes, upper);
    return;
  }
  const QByteArray name = codePage_ == 10000 ? QByteArray("macintosh")
                        : codePage_ == 932   ? QByteArray("Shift_JIS")
                        : codePage_ == 936   ? QByteArray("GBK")
                        : codePage_ == 949   ? QByteArray("EUC-KR")
                        : codePage_ == 950   ? QByteArray("Big5")
                        : "windows-" + QByteArray::number(codePage_);
  QStringDecoder dec(name.constData());
  if (!dec.isValid()) {
    out += SingleByteToUtf8(bytes, SingleByteCodePage(1252));
    return;
  }
  const QString s = dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  out += s.toStdString();
}

}  // namespace zd
