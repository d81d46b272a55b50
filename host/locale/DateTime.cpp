#include "host/locale/DateTime.h"

#include <cmath>
#include <string>

namespace zd {
namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr int64_t kMinDay = -693593, kMaxDay = 2958465;

// Days from 1970-01-01 of a proleptic Gregorian date, and back (the
// era-based algorithms that stay exact for every year).
int64_t daysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

TDateParts civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = int(doy - (153 * mp + 2) / 5 + 1);
  const int m = int(mp < 10 ? mp + 3 : mp - 9);
  return {int(yoe + era * 400 + (m <= 2)), m, d};
}

// 1899-12-30 counted from 1970-01-01.
const int64_t kEpochFromUnix = daysFromCivil(1899, 12, 30);

struct TTimeStamp {
  int64_t day;   // day number, 0 = 1899-12-30
  int64_t msec;  // of that day
};

TTimeStamp toTimeStamp(TDateTime value) {
  const double v = value.days;
  if (!std::isfinite(v) || v < double(kMinDay) - 1 || v > double(kMaxDay) + 1)
    throw EConvertError("Invalid date/time value " + std::to_string(v));
  double whole = std::trunc(v);
  TTimeStamp ts{int64_t(whole), int64_t(std::llround(std::fabs(v - whole) * double(kMSecsPerDay)))};
  if (ts.msec >= kMSecsPerDay) {  // rounded up to midnight: the next calendar day
    ts.msec -= kMSecsPerDay;
    ts.day += 1;
  }
  if (ts.day < kMinDay || ts.day > kMaxDay)
    throw EConvertError("Invalid date/time value " + std::to_string(v));
  return ts;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

TDateTime EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day))
    throw EConvertError("Invalid date " + std::to_string(year) + "-" + std::to_string(month) +
                        "-" + std::to_string(day));
  return {double(daysFromCivil(year, month, day) - kEpochFromUnix)};
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      msec < 0 || msec > 999)
    throw EConvertError("Invalid time " + std::to_string(hour) + ":" + std::to_string(minute) +
                        ":" + std::to_string(second) + "." + std::to_string(msec));
  return {double(((hour * 60 + minute) * 60 + second) * 1000 + msec) / double(kMSecsPerDay)};
}

TDateTime EncodeDateTime(const TDateParts& date, const TTimeParts& time) {
  double d = EncodeDate(date.year, date.month, date.day).days;
  double t = EncodeTime(time.hour, time.minute, time.second, time.msec).days;
  return {d < 0 ? d - t : d + t};
}

TDateParts DecodeDate(TDateTime value) { return civilFromDays(toTimeStamp(value).day + kEpochFromUnix); }

TTimeParts DecodeTime(TDateTime value) {
  int64_t ms = toTimeStamp(value).msec;
  return {int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
}

int DayOfWeek(TDateTime value) {
  // Day 0 was a Saturday.
  int64_t r = (toTimeStamp(value).day + 6) % 7;
  if (r < 0) r += 7;
  return int(r) + 1;
}

TDateTime DateOf(TDateTime value) { return {std::trunc(value.days)}; }

TDateTime TimeOf(TDateTime value) { return {std::fabs(value.days - std::trunc(value.days))}; }

}  // namespace zd
