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
//
// On top of that, each thread remembers a few stretches of time in which the
// zone's offset is known to be constant (checked two days either side of a
// converted moment). A conversion inside such a stretch is plain arithmetic;
// any zone re-read starts a new generation and forgets them all. This
// assumes that no zone changes its offset twice within two days, which no
// zone in the time-zone database does.
#include "platform/timezone.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <atomic>
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
std::atomic<unsigned> g_generation{1};

// A stretch [lo, hi] of UTC seconds with one offset and daylight flag.
struct Span {
  unsigned generation = 0;
  long long lo = 0, hi = 0;
  long gmtoff = 0;
  int isdst = 0;
  const char* zone = nullptr;
  long long lastSeconds = 0;  // the last moment broken down, and its result
  bool hasLast = false;
  tm last;
};
constexpr int kSpans = 4;
thread_local Span t_spans[kSpans];
thread_local int t_nextSpan = 0;
constexpr long long kSpanReach = 2 * 86400;

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
  g_generation.fetch_add(1, std::memory_order_relaxed);
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

// Civil date of a day count from 1970-01-01.
void CivilFromDays(long long z, long long* y, int* m, int* d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = yoe + era * 400 + (*m <= 2);
}

// The broken-down local time of t in a stretch with a known offset.
void Breakdown(long long t, const Span& span, tm& r) {
  long long local = t + span.gmtoff;
  long long days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
  long long secs = local - days * 86400;
  long long year;
  int month, day;
  CivilFromDays(days, &year, &month, &day);
  memset(&r, 0, sizeof r);
  r.tm_sec = static_cast<int>(secs % 60);
  r.tm_min = static_cast<int>(secs / 60 % 60);
  r.tm_hour = static_cast<int>(secs / 3600);
  r.tm_mday = day;
  r.tm_mon = month - 1;
  r.tm_year = static_cast<int>(year - 1900);
  r.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
  r.tm_yday = static_cast<int>(days - DaysFromCivil(year, 1, 1));
  r.tm_isdst = span.isdst;
  r.tm_gmtoff = span.gmtoff;
  r.tm_zone = span.zone;
}

// The remembered stretch holding t at least margin seconds from its ends.
Span* FindSpan(long long t, long long margin) {
  unsigned gen = g_generation.load(std::memory_order_relaxed);
  for (Span& s : t_spans)
    if (s.generation == gen && t - margin >= s.lo && t + margin <= s.hi) return &s;
  return nullptr;
}

// Converts t with localtime_r and remembers the stretch around it when the
// offset is the same two days either side.
bool ConvertAndRemember(long long t, tm& r) {
  time_t tt = static_cast<time_t>(t);
  if (!localtime_r(&tt, &r)) return false;
  tm before, after;
  time_t tb = static_cast<time_t>(t - kSpanReach), ta = static_cast<time_t>(t + kSpanReach);
  if (!localtime_r(&tb, &before) || !localtime_r(&ta, &after)) return true;
  if (before.tm_gmtoff != r.tm_gmtoff || after.tm_gmtoff != r.tm_gmtoff ||
      before.tm_isdst != r.tm_isdst || after.tm_isdst != r.tm_isdst)
    return true;
  Span& s = t_spans[t_nextSpan];
  t_nextSpan = (t_nextSpan + 1) % kSpans;
  s.generation = g_generation.load(std::memory_order_relaxed);
  s.lo = t - kSpanReach;
  s.hi = t + kSpanReach;
  s.gmtoff = r.tm_gmtoff;
  s.isdst = r.tm_isdst;
  s.zone = r.tm_zone;
  s.hasLast = false;
  return true;
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

bool LocalTime(long long seconds, tm& result, bool checkZone) {
  if (checkZone) Refresh();
  if (Span* span = FindSpan(seconds, 0)) {
    // The same few moments come back again and again (now, the first and
    // the last supported second).
    if (!span->hasLast || span->lastSeconds != seconds) {
      Breakdown(seconds, *span, span->last);
      span->lastSeconds = seconds;
      span->hasLast = true;
    }
    result = span->last;
    return true;
  }
  tm r;
  if (!ConvertAndRemember(seconds, r)) return false;
  result = r;
  return true;
}

// mktime without glibc's unconditional zone re-read. The wall-clock time is
// counted as if it were UTC; every offset in force within a day of it gives a
// candidate, and a candidate is real when the zone has that offset at that
// moment. Ties and gaps are settled as glibc does: the daylight flag asked
// for wins, and a wall time that does not exist is read with the offset that
// the flag asks for, or with the offset in force before the gap.
namespace {

// The last MakeTime of this thread: a parse asks for the same wall time
// up to three times (with different daylight flags), and under unchanged
// rules the answer is the same. An answer from a stretch with one offset
// holds for every flag that the stretch would have accepted.
constexpr int kNoStretch = -2;
struct MadeTime {
  unsigned generation = 0;
  int fields[6];  // year, month, day, hour, minute, second
  int isdst;
  int stretchFlag;  // the stretch's daylight flag, or kNoStretch
  long long result;
  tm normalised;

  bool Answers(const int* wall, int flag) const {
    if (memcmp(fields, wall, sizeof fields) != 0) return false;
    if (flag == isdst) return true;
    return stretchFlag != kNoStretch && (flag < 0 || (flag > 0) == (stretchFlag > 0));
  }
};
thread_local MadeTime t_made;

void Key(const tm& t, int* fields) {
  fields[0] = t.tm_year;
  fields[1] = t.tm_mon;
  fields[2] = t.tm_mday;
  fields[3] = t.tm_hour;
  fields[4] = t.tm_min;
  fields[5] = t.tm_sec;
}

long long MakeTimeFresh(tm& t, int* stretchFlag);

}  // namespace

long long MakeTime(tm& t, bool checkZone) {
  if (checkZone) Refresh();
  int key[6];
  Key(t, key);
  unsigned gen = g_generation.load(std::memory_order_relaxed);
  MadeTime& made = t_made;
  if (made.generation == gen && made.Answers(key, t.tm_isdst)) {
    if (made.result != -1) t = made.normalised;
    return made.result;
  }
  int flag = t.tm_isdst;
  int stretchFlag = kNoStretch;
  long long result = MakeTimeFresh(t, &stretchFlag);
  made.generation = gen;
  memcpy(made.fields, key, sizeof key);
  made.isdst = flag;
  made.stretchFlag = stretchFlag;
  made.result = result;
  if (result != -1) made.normalised = t;
  return result;
}

namespace {

long long MakeTimeFresh(tm& t, int* stretchFlag) {
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
  // Inside a stretch with one offset (a day away from its ends, so that no
  // other offset can reach the same wall time) the answer is arithmetic.
  for (const Span& span : t_spans) {
    if (span.generation != g_generation.load(std::memory_order_relaxed)) continue;
    long long cand = wall - span.gmtoff;
    if (cand - 86400 < span.lo || cand + 86400 > span.hi) continue;
    if (t.tm_isdst >= 0 && (t.tm_isdst > 0) != (span.isdst > 0)) break;
    *stretchFlag = span.isdst > 0 ? 1 : 0;
    Breakdown(cand, span, t);
    return cand;
  }
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
  if (static_cast<long long>(tt) != chosen || !ConvertAndRemember(chosen, r)) return -1;
  t = r;
  return chosen;
}

}  // namespace

unsigned ZoneGeneration() { return g_generation.load(std::memory_order_relaxed); }

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
