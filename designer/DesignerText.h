#pragma once
// The designer's captions and messages come from the string tables in the
// report's language.
#include <QString>

namespace zd {

// Text `id` of the string table, in the language `languageShift` selects.
QString DesignerText(int languageShift, int id);

}  // namespace zd
