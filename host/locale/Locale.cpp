#include "host/locale/Locale.h"

namespace zd {
namespace {
TLocale& localeStorage() {
  static TLocale locale;
  return locale;
}
}  // namespace

const TLocale& currentLocale() { return localeStorage(); }
void setCurrentLocale(const TLocale& locale) { localeStorage() = locale; }

}  // namespace zd
