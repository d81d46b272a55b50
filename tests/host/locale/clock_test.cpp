#include "host/locale/Clock.h"

#include <gtest/gtest.h>

#include <QDate>

#include "host/locale/DateTime.h"

namespace zd {
namespace {

TEST(Clock, DefaultIsTheSystemClock) {
  SetClock({});
  const TDateTime now = Now();
  const QDate today = QDate::currentDate();
  const TDateParts d = DecodeDate(now);
  // Allow for midnight passing between the two readings.
  const QDate read(d.year, d.month, d.day);
  EXPECT_LE(std::abs(read.daysTo(today)), 1);
  EXPECT_GE(now.days, EncodeDate(2020, 1, 1).days);
}

TEST(Clock, OverrideFixesTheTimeAndRestoresThePrevious) {
  const TDateTime fixed = EncodeDateTime({2001, 2, 3}, {4, 5, 6, 0});
  {
    TClockOverride outer(fixed);
    EXPECT_EQ(Now(), fixed);
    {
      TClockOverride inner(TDateTime{1.5});
      EXPECT_EQ(Now().days, 1.5);
    }
    EXPECT_EQ(Now(), fixed);
  }
  EXPECT_NE(Now(), fixed);  // back to the real clock
}

TEST(Clock, SetClockInstallsAFunctionUntilReset) {
  double t = 10;
  SetClock([&t] { return TDateTime{t += 1}; });
  EXPECT_EQ(Now().days, 11);
  EXPECT_EQ(Now().days, 12);
  SetClock({});
  EXPECT_GT(Now().days, 40000);
}

}  // namespace
}  // namespace zd
