#include "host/locale/Clock.h"

#include <QDateTime>

#include "host/locale/DateTime.h"

namespace zd {
namespace {

TClockFunction& installed() {
  static TClockFunction clock;
  return clock;
}

}  // namespace

TDateTime SystemNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return EncodeDateTime({d.year(), d.month(), d.day()}, {t.hour(), t.minute(), t.second(), t.msec()});
}

TDateTime Now() {
  const TClockFunction& clock = installed();
  return clock ? clock() : SystemNow();
}

void SetClock(TClockFunction clock) { installed() = std::move(clock); }

TClockOverride::TClockOverride(TDateTime fixed)
    : TClockOverride(TClockFunction([fixed] { return fixed; })) {}

TClockOverride::TClockOverride(TClockFunction clock) : previous_(installed()) {
  installed() = std::move(clock);
}

TClockOverride::~TClockOverride() { installed() = std::move(previous_); }

}  // namespace zd
