// Clocks on Windows: the local wall-clock time with its milliseconds
// (GetLocalTime) turned back into calendar seconds with the zone's bias, and
// the 32-bit tick count.
//
// The calendar seconds are worked out here from the zone description rather
// than with the runtime's mktime: in a threaded process the date-time layer
// switches the runtime's zone (TZ) for one thread's conversion at a time, and
// mktime would then read this thread's local time in another thread's zone.
#include "platform/clock.h"

#include <windows.h>

namespace gnutil::platform {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

void WallClock(int64_t* seconds, int32_t* milliseconds) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  // Bias is UTC minus local time in minutes. Daylight saving counts only
  // when the zone has it now and it moves the clock at all.
  LONG bias = 0;
  if (which != TIME_ZONE_ID_INVALID) {
    bias = zone.Bias;
    if (which == TIME_ZONE_ID_DAYLIGHT && zone.DaylightBias != 0) {
      bias += zone.DaylightBias;
    } else if (which == TIME_ZONE_ID_STANDARD) {
      bias += zone.StandardBias;
    }
  }
  int64_t days = DaysFromCivil(local.wYear, local.wMonth, local.wDay);
  int64_t secs = days * 86400 + local.wHour * 3600 + local.wMinute * 60 + local.wSecond;
  *seconds = secs + static_cast<int64_t>(bias) * 60;
  *milliseconds = local.wMilliseconds;
}

uint64_t TickCount() { return GetTickCount(); }

}  // namespace gnutil::platform
