#pragma once
// The current date and time as every part of the system reads it. The real
// clock by default; tests and the command line fix it for reproducible output.
#include <functional>

#include "host/core/Variant.h"

namespace zd {

using TClockFunction = std::function<TDateTime()>;

TDateTime Now();
// An empty function restores the system clock.
void SetClock(TClockFunction clock);
// The machine's local time, whatever clock is installed.
TDateTime SystemNow();

// Fixes the clock for a scope, restoring the previous one afterwards.
class TClockOverride {
 public:
  explicit TClockOverride(TDateTime fixed);
  explicit TClockOverride(TClockFunction clock);
  ~TClockOverride();
  TClockOverride(const TClockOverride&) = delete;
  TClockOverride& operator=(const TClockOverride&) = delete;

 private:
  TClockFunction previous_;
};

}  // namespace zd
