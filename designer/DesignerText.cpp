#include "designer/DesignerText.h"

#include "print/Language.h"

namespace zd {

QString DesignerText(int languageShift, int id) { return QString::fromStdString(GetString(languageShift, id)); }

}  // namespace zd
