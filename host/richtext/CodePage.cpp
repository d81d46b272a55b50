#include "host/richtext/CodePage.h"

#include "host/locale/CodePages.h"
#include "host/locale/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace zd {

void TCodePageDecoder::Decode(const std::string& bytes, std::string& out) const {
  if (const char16_t* upper = SingleByteCodePage(codePage_)) {
    out += SingleByteToUtf8(bytes, upper);
    return;
  }
  const char* known = ConverterNameOfCodePage(codePage_);
  const QByteArray name = known ? QByteArray(known) : "windows-" + QByteArray::number(codePage_);
  QStringDecoder dec(name.constData());
  if (!dec.isValid()) {
    out += SingleByteToUtf8(bytes, SingleByteCodePage(1252));
    return;
  }
  const QString s = dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  out += s.toStdString();
}

}  // namespace zd
