#pragma once

// Windows wakes sleeping threads on its timer tick, by default every
// 15.6 ms: a wait of 1 ms would last a whole tick. While a holder lives,
// the tick is 1 ms for the whole system (as a media player sets it), so the
// reader can wait for a quiet line in steps of a millisecond.

#include "core/win32_api.h"
// After <windows.h>, which it needs.
#include <mmsystem.h>

namespace vn::serial {

class FineTimerPeriod {
 public:
  FineTimerPeriod() : raised_(::timeBeginPeriod(kPeriodMs) == TIMERR_NOERROR) {}
  FineTimerPeriod(const FineTimerPeriod&) = delete;
  FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;
  ~FineTimerPeriod() {
    if (raised_) ::timeEndPeriod(kPeriodMs);
  }

 private:
  static constexpr UINT kPeriodMs = 1;
  bool raised_;
};

}  // namespace vn::serial
