// The platform seam of the clocks behind the timing functions.
#ifndef GNUTIL_SRC_PLATFORM_CLOCK_H
#define GNUTIL_SRC_PLATFORM_CLOCK_H

#include <stdint.h>

namespace gnutil::platform {

// The calendar time: seconds since 1970 (UTC) and the milliseconds of the
// current second.
void WallClock(int64_t* seconds, int32_t* milliseconds);

// Milliseconds since the system started. On Windows this is the 32-bit tick
// count, which wraps after 49.7 days.
uint64_t TickCount();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_CLOCK_H
