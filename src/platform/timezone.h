// The platform seam for the clock and the runtime's time zone.
//
// src/locale/datetime.cpp keeps the portable rules: the clock lock, the choice
// between a thread's own zone and the system's, and the range checks. This
// header is the runtime underneath: the current time, local-time conversion
// both ways, and switching the zone the runtime converts in.
//
// Every function here touches process-wide runtime state (the TZ variable,
// the runtime's zone rules and globals); callers serialise them with the
// clock lock.
#ifndef GNUTIL_SRC_PLATFORM_TIMEZONE_H
#define GNUTIL_SRC_PLATFORM_TIMEZONE_H

#include <time.h>

namespace gnutil::platform {

// Seconds since 1970-01-01 00:00:00 UTC.
long long CurrentTime();

// Breaks seconds down into local time in the zone now in force. false (and
// the result untouched) when the runtime cannot convert them. checkZone
// false skips bringing the runtime in line with TZ first, for a caller that
// knows nothing has touched the zone since its last conversion.
bool LocalTime(long long seconds, tm& result, bool checkZone = true);

// The seconds of a broken-down local time, with the runtime's mktime rules:
// fields out of range are carried, tm_isdst < 0 lets the zone decide, and t is
// normalised (weekday, day of year and daylight flag included). -1 when the
// time cannot be represented. checkZone as for LocalTime.
long long MakeTime(tm& t, bool checkZone = true);

// Changes whenever this layer switches the zone or re-reads it (ApplyZone,
// UseSystemZone, a conversion that finds TZ or the zone file changed). A
// caller that saw the same value before and after its own switch knows the
// zone it chose is still the one in force.
unsigned ZoneGeneration();

// Puts the zone name (the runtime's TZ syntax) into the environment and makes
// the runtime use it, unless TZ already holds exactly that name. The empty
// name removes TZ, so that the runtime goes back to the system zone.
void ApplyZone(const char* name);

// Makes the next conversion use the system zone without reading the zone
// again where the runtime allows it. threaded: the process may have TZ set by
// ApplyZone for another thread.
void UseSystemZone(bool threaded);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_TIMEZONE_H
