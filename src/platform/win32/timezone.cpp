// Win32 side of the clock seam: the C runtime's time, localtime and mktime,
// its TZ handling through _putenv and _tzset, and the system zone from
// GetTimeZoneInformation.
#include "platform/timezone.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <windows.h>

namespace gnutil::platform {
namespace {

// The runtime keeps a pointer into the string given to _putenv on some
// versions, so the text lives in a process-wide buffer: "TZ=" and a name of
// at most 124 bytes. Written only under the clock lock.
char g_tzBuffer[128];

// Counts every switch, the system zone's included; written under the clock
// lock.
unsigned g_generation = 1;

}  // namespace

long long CurrentTime() { return static_cast<long long>(time(nullptr)); }

bool LocalTime(long long seconds, tm& result, bool) {
  time_t t = static_cast<time_t>(seconds);
  tm* r = localtime(&t);
  if (!r) return false;
  result = *r;
  return true;
}

long long MakeTime(tm& t, bool) {
  time_t r = mktime(&t);
  return r == static_cast<time_t>(-1) ? -1 : static_cast<long long>(r);
}

unsigned ZoneGeneration() { return g_generation; }

void ApplyZone(const char* name) {
  const char* tz = getenv("TZ");
  if (tz != nullptr && strcmp(tz, name) == 0) return;
  ++g_generation;
  snprintf(g_tzBuffer, sizeof g_tzBuffer, "TZ=%s", name);
  // The runtime re-reads its zone only when TZ changed since its last
  // _tzset; the detour through a dummy zone makes sure it does.
  _putenv("TZ=dummy");
  _tzset();
  _putenv(g_tzBuffer);
  _tzset();
}

void UseSystemZone(bool threaded) {
  ++g_generation;
  // Overwriting the runtime's offset is not enough when another thread's
  // zone is still in TZ: that thread's next ApplyZone finds TZ unchanged,
  // skips _tzset and converts with the system's offset. So, threaded, TZ
  // goes and the runtime loads the system zone whole, as TimeTS does.
  // Unthreaded, the environment is never touched.
  if (threaded && getenv("TZ") != nullptr) ApplyZone("");
  TIME_ZONE_INFORMATION info;
  if (GetTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID) return;
  _timezone = info.Bias * 60;
  _daylight = info.DaylightBias != 0 ? 1 : 0;
}

}  // namespace gnutil::platform
