// Clocks on POSIX: CLOCK_REALTIME for the calendar, CLOCK_MONOTONIC for the
// time since start (it does not jump when the calendar clock is set).
#include "platform/clock.h"

#include <time.h>

namespace gnutil::platform {

void WallClock(int64_t* seconds, int32_t* milliseconds) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  *seconds = static_cast<int64_t>(now.tv_sec);
  *milliseconds = static_cast<int32_t>(now.tv_nsec / 1000000);
}

uint64_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec / 1000000);
}

}  // namespace gnutil::platform
