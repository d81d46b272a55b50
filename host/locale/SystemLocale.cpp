#include "host/locale/SystemLocale.h"

#include <QLocale>
#include <QString>
#include <array>
#include <utility>

namespace zd {
namespace {

std::string text(const QString& s) { return s.toStdString(); }

// Blanks of any width become a plain blank, so patterns compare simply.
QString plainBlanks(QString s) {
  for (QChar& c : s)
    if (c.isSpace()) c = u' ';
  return s;
}

char separatorChar(const QString& s, char fallback) {
  if (s.isEmpty()) return fallback;
  const QChar c = s.front();
  if (c.isSpace()) return ' ';
  return c.unicode() < 0x80 ? char(c.unicode()) : fallback;
}

// Qt format codes to ours: 24-hour "H" becomes "h" (no AM/PM marker means a
// 24-hour clock), any AM/PM code becomes "AMPM", the time zone is dropped.
std::string convertFormat(const QString& qtFormat) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < qtFormat.size(); ++i) {
    const QChar c = qtFormat[i];
    if (c == u'\'') quoted = !quoted;
    if (quoted || c == u'\'') {
      out += c;
      continue;
    }
    if (c == u'H') {
      out += u'h';
    } else if (c == u'A' || c == u'a') {
      if (i + 1 < qtFormat.size() && (qtFormat[i + 1] == u'P' || qtFormat[i + 1] == u'p')) ++i;
      out += u"AMPM";
    } else if (c == u't') {
      while (!out.isEmpty() && out.back().isSpace()) out.chop(1);
    } else {
      out += c;
    }
  }
  return text(plainBlanks(out).trimmed());
}

char firstSeparator(const QString& format, char fallback) {
  bool quoted = false;
  for (QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    else if (!quoted && !c.isLetter() && !c.isSpace()) return separatorChar(QString(c), fallback);
  }
  return fallback;
}

// Currency layout from how the locale writes 1 and -1: the number becomes
// "1" and the symbol "$", then the pattern is looked up in the system tables.
struct TCurrencyLayout {
  int format = 0, negFormat = 0, decimals = 2;
};

TCurrencyLayout currencyLayout(const QLocale& loc) {
  TCurrencyLayout r;
  const QString symbol = loc.currencySymbol();
  QString positive = plainBlanks(loc.toCurrencyString(1.0));
  QString number = positive;
  if (!symbol.isEmpty()) number.remove(symbol);
  number = number.trimmed();
  const qsizetype point = number.indexOf(loc.decimalPoint());
  r.decimals = point < 0 ? 0 : int(number.size() - point - 1);
  auto pattern = [&](QString s) {
    s = plainBlanks(s);
    s.replace(number, u"1"_qs);
    if (!symbol.isEmpty()) s.replace(symbol, u"$"_qs);
    s.replace(loc.negativeSign(), u"-"_qs);
    return s.toStdString();
  };
  static constexpr std::array<const char*, 4> kPositive{"$1", "1$", "$ 1", "1 $"};
  static constexpr std::array<const char*, 16> kNegative{
      "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
      "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const std::string pos = pattern(positive), neg = pattern(loc.toCurrencyString(-1.0));
  for (size_t i = 0; i < kPositive.size(); ++i)
    if (pos == kPositive[i]) r.format = int(i);
  r.negFormat = 1;
  for (size_t i = 0; i < kNegative.size(); ++i)
    if (neg == kNegative[i]) r.negFormat = int(i);
  return r;
}

struct TLanguageCodes {
  QLocale::Language language;
  int primaryId, codePage;
};

constexpr std::array<TLanguageCodes, 27> kLanguages{{
    {QLocale::English, 0x09, 1252},   {QLocale::German, 0x07, 1252},
    {QLocale::French, 0x0C, 1252},    {QLocale::Spanish, 0x0A, 1252},
    {QLocale::Italian, 0x10, 1252},   {QLocale::Portuguese, 0x16, 1252},
    {QLocale::Dutch, 0x13, 1252},     {QLocale::Danish, 0x06, 1252},
    {QLocale::Swedish, 0x1D, 1252},   {QLocale::NorwegianBokmal, 0x14, 1252},
    {QLocale::Finnish, 0x0B, 1252},   {QLocale::Polish, 0x15, 1250},
    {QLocale::Czech, 0x05, 1250},     {QLocale::Slovak, 0x1B, 1250},
    {QLocale::Hungarian, 0x0E, 1250}, {QLocale::Romanian, 0x18, 1250},
    {QLocale::Croatian, 0x1A, 1250},  {QLocale::Slovenian, 0x24, 1250},
    {QLocale::Russian, 0x19, 1251},   {QLocale::Ukrainian, 0x22, 1251},
    {QLocale::Bulgarian, 0x02, 1251}, {QLocale::Greek, 0x08, 1253},
    {QLocale::Turkish, 0x1F, 1254},   {QLocale::Hebrew, 0x0D, 1255},
    {QLocale::Arabic, 0x01, 1256},    {QLocale::Lithuanian, 0x27, 1257},
    {QLocale::Japanese, 0x11, 932},
}};

TLocale fromQLocale(const QLocale& loc) {
  TLocale r;
  r.decimalSeparator = separatorChar(loc.decimalPoint(), '.');
  r.thousandSeparator = separatorChar(loc.groupSeparator(), ',');
  const QString shortDate = loc.dateFormat(QLocale::ShortFormat);
  const QString shortTime = loc.timeFormat(QLocale::ShortFormat);
  r.dateSeparator = firstSeparator(shortDate, '/');
  r.timeSeparator = firstSeparator(shortTime, ':');
  r.shortDateFormat = convertFormat(shortDate);
  r.longDateFormat = convertFormat(loc.dateFormat(QLocale::LongFormat));
  r.shortTimeFormat = convertFormat(shortTime);
  r.longTimeFormat = convertFormat(loc.timeFormat(QLocale::LongFormat));
  r.timeAMString = text(loc.amText());
  r.timePMString = text(loc.pmText());
  for (int m = 1; m <= 12; ++m) {
    r.shortMonthNames[size_t(m - 1)] = text(loc.monthName(m, QLocale::ShortFormat));
    r.longMonthNames[size_t(m - 1)] = text(loc.monthName(m, QLocale::LongFormat));
  }
  for (int d = 0; d < 7; ++d) {
    const int qtDay = d == 0 ? 7 : d;  // ours start on Sunday, Qt's on Monday
    r.shortDayNames[size_t(d)] = text(loc.dayName(qtDay, QLocale::ShortFormat));
    r.longDayNames[size_t(d)] = text(loc.dayName(qtDay, QLocale::LongFormat));
  }
  r.currencyString = text(loc.currencySymbol());
  const TCurrencyLayout layout = currencyLayout(loc);
  r.currencyFormat = layout.format;
  r.negCurrencyFormat = layout.negFormat;
  r.currencyDecimals = layout.decimals;
  for (const auto& l : kLanguages)
    if (l.language == loc.language()) {
      r.primaryLanguageId = l.primaryId;
      r.ansiCodePage = l.codePage;
    }
  return r;
}

}  // namespace

TLocale SystemLocale() { return fromQLocale(QLocale::system()); }

TLocale LocaleForName(const std::string& name) {
  const QLocale loc(QString::fromStdString(name));
  if (loc.language() == QLocale::C && name != "C")
    throw std::invalid_argument("Unknown locale name " + name);
  return fromQLocale(loc);
}

}  // namespace zd
