// glibc side of the clock seam.
//
// The system zone is the one glibc reads from /etc/localtime when TZ is not
// set. glibc's mktime (and localtime, as opposed to localtime_r) re-reads the
// zone on every call; with TZ unset that means a stat of /etc/localtime each
// time, which made a conversion 17 to 18 times slower. So this file converts
// with localtime_r, which uses the rules loaded last, builds mktime on top of
// it, and re-reads the zone itself (tzset) only when something may have
// changed: TZ differs from what the last re-read saw, or, for the system zone
// file, at most once a second.
#include "platform/timezone.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>

namespace gnutil::platform {
namespace {

// What the last tzset saw; guarded by the caller's clock lock.
struct ZoneCache {
  bool loaded = false;
  bool hadTZ = false;
  std::string tz;
  long long checkedAt = 0;  // coarse monotonic seconds of the last re-read
};
ZoneCache g_zone;

long long CoarseSeconds() {
  timespec ts;
#ifdef CLOCK_MONOTONIC_COARSE
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0) return ts.tv_sec;
#endif
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec;
}

void Reload(const char* tz, long long now) {
  tzset();
  g_zone.loaded = true;
  g_zone.hadTZ = tz != nullptr;
  g_zone.tz = tz ? tz : "";
  g_zone.checkedAt = now;
}

// Brings glibc's rules in line with TZ (and the zone file) before a
// conversion. Cheap when nothing changed: one getenv and one vDSO clock read.
void Refresh() {
  const char* tz = getenv("TZ");
  long long now = CoarseSeconds();
  if (!g_zone.loaded || g_zone.hadTZ != (tz != nullptr) || (tz && g_zone.tz != tz)) {
    Reload(tz, now);
    return;
  }
  // A TZ naming a rule string never changes under us; a zone file (the
  // system's, or a TZ naming one) may be replaced at any time.
  if (now - g_zone.checkedAt >= 1) Reload(tz, now);
}

// Days from 1970-01-01 to the given proleptic Gregorian date (month 1..12).
long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  long long yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool Offset(long long t, long* gmtoff, int* isdst) {
  time_t tt = static_cast<time_t>(t);
  tm r;
  if (!localtime_r(&tt, &r)) return false;
  *gmtoff = r.tm_gmtoff;
  *isdst = r.tm_isdst;
  return true;
}

// The offset of a moment near t whose daylight flag is wanted (> 0: summer
// time, 0: standard time). Like mktime, looks a week at a time up to about
// eight and a half years either way; false when the zone has no such moment
// there.
bool OffsetWithFlag(long long t, int wanted, long* gmtoff) {
  const long long stride = 601200;
  const long long bound = 536454000 / 2 + stride;
  for (long long delta = stride; delta < bound; delta += stride) {
    for (int sign = -1; sign <= 1; sign += 2) {
      long off;
      int dst;
      if (Offset(t + sign * delta, &off, &dst) && (dst > 0) == (wanted > 0)) {
        *gmtoff = off;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

long long CurrentTime() { return static_cast<long long>(time(nullptr)); }

bool LocalTime(long long seconds, tm& result) {
  Refresh();
  time_t t = static_cast<time_t>(seconds);
  tm r;
  if (!localtime_r(&t, &r)) return false;
  result = r;
  return true;
}

// mktime without glibc's unconditional zone re-read. The wall-clock time is
// counted as if it were UTC; every offset in force within a day of it gives a
// candidate, and a candidate is real when the zone has that offset at that
// moment. Ties and gaps are settled as glibc does: the daylight flag asked
// for wins, and a wall time that does not exist is read with the offset that
// the flag asks for, or with the offset in force before the gap.
long long MakeTime(tm& t) {
  Refresh();
  long long mon = t.tm_mon;
  long long year = static_cast<long long>(t.tm_year) + 1900 + mon / 12;
  mon %= 12;
  if (mon < 0) {
    mon += 12;
    --year;
  }
  long long wall = (DaysFromCivil(year, mon + 1, 1) + t.tm_mday - 1) * 86400LL +
                   static_cast<long long>(t.tm_hour) * 3600 +
                   static_cast<long long>(t.tm_min) * 60 + t.tm_sec;
  const long long probes[3] = {wall - 86400, wall, wall + 86400};
  long offsets[3];
  int n = 0;
  for (long long p : probes) {
    long off;
    int dst;
    if (!Offset(p, &off, &dst)) return -1;
    bool seen = false;
    for (int i = 0; i < n; ++i) seen = seen || offsets[i] == off;
    if (!seen) {
      offsets[n++] = off;
    }
  }
  long long valid[3];
  int validFlag[3];
  int nValid = 0;
  for (int i = 0; i < n; ++i) {
    long long cand = wall - offsets[i];
    long off;
    int dst;
    if (Offset(cand, &off, &dst) && off == offsets[i]) {
      valid[nValid] = cand;
      validFlag[nValid++] = dst;
    }
  }
  long long chosen;
  if (nValid > 0) {
    chosen = valid[0];
    if (t.tm_isdst >= 0) {
      int match = -1;
      for (int i = 0; i < nValid && match < 0; ++i)
        if ((validFlag[i] > 0) == (t.tm_isdst > 0)) match = i;
      long want;
      if (match >= 0) {
        chosen = valid[match];
      } else if (OffsetWithFlag(chosen, t.tm_isdst, &want)) {
        // A flag that the zone does not have at that moment: the wall time
        // is read with an offset that has it, as mktime does (summer time
        // asked for in winter gives a time an hour earlier).
        chosen = wall - want;
      } else {
        // A zone that never has that flag: mktime takes summer time to be
        // one hour ahead.
        chosen += 3600LL * ((t.tm_isdst == 0) - (validFlag[0] == 0));
      }
    }
  } else {
    // The wall time falls into a gap.
    long want = offsets[0];
    if (t.tm_isdst >= 0) OffsetWithFlag(wall - offsets[0], t.tm_isdst, &want);
    chosen = wall - want;
  }
  time_t tt = static_cast<time_t>(chosen);
  tm r;
  if (static_cast<long long>(tt) != chosen || !localtime_r(&tt, &r)) return -1;
  t = r;
  return chosen;
}

void ApplyZone(const char* name) {
  const char* tz = getenv("TZ");
  if (*name == '\0') {
    if (tz == nullptr) return;  // already the system zone: nothing to re-read
    unsetenv("TZ");
    Reload(nullptr, CoarseSeconds());
    return;
  }
  if (tz != nullptr && strcmp(tz, name) == 0) return;
  // glibc needs no detour through a dummy zone: tzset re-reads whenever TZ
  // differs from the text it loaded last.
  setenv("TZ", name, 1);
  Reload(getenv("TZ"), CoarseSeconds());
}

void UseSystemZone(bool threaded) {
  // glibc's localtime_r converts with the rules it loaded, not with the
  // timezone and daylight globals, so the system zone has to be loaded: drop
  // a TZ that another thread's zone left behind. Unthreaded, the environment
  // is never touched, and glibc's globals already describe the zone in force.
  if (threaded && getenv("TZ") != nullptr) ApplyZone("");
}

}  // namespace gnutil::platform
