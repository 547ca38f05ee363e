// CGNDateTime: the value, its clock conversions and the range checks.
//
// Every conversion runs under the clock lock together with the zone switch
// that precedes it, because the state it depends on is process-wide: the TZ
// variable, the runtime's zone rules and globals. The zone is the calling
// thread's "timezone" variable (threaded processes only) or the system's.
#include "gnutil/datetime.h"

#include <limits.h>
#include <string.h>

#include "gnutil/lclst.h"
#include "gnutil/osthread.h"
#include "locale/datetime_internal.h"
#include "platform/timezone.h"

_osmutex* CGNDateTime::osMutexLocalTime = nullptr;

namespace gnutil {
namespace {

// The last second of a signed 32-bit count: 2038-01-19 03:14:07 UTC.
constexpr long kLastSecond = 2147483647L;

// The environment holds "TZ=" and the name in a 128-byte buffer.
constexpr unsigned int kMaxZoneName = 124;

// One parse or display form converts up to eight times, and bringing the
// zone in line (the thread's variable, TZ, the runtime's rules) costs more
// than a conversion. Inside a ZoneScope the first conversion does it and the
// others on the same thread reuse it while the platform's zone generation
// stays the same, that is while no thread has switched or re-read the zone:
// every switch happens under the clock lock and changes the generation. The
// thread's own variable cannot change meanwhile, since the thread is busy
// here.
thread_local int t_zoneScopes = 0;
thread_local bool t_zoneReady = false;
thread_local unsigned t_zoneGeneration = 0;

// The local times of the first and the last supported second depend only on
// the zone; the range checks ask for them again and again.
struct RangeEnds {
  bool known = false;
  unsigned generation = 0;
  tm first, last;
};
thread_local RangeEnds t_rangeEnds;

class ClockLock {
 public:
  ClockLock() : m_mutex(CGNDateTime::osMutexLocalTime) {
    if (m_mutex) OSMutexWait(m_mutex);
  }
  ~ClockLock() {
    if (m_mutex) OSMutexRelease(m_mutex);
  }
  ClockLock(const ClockLock&) = delete;
  ClockLock& operator=(const ClockLock&) = delete;

 private:
  _osmutex* m_mutex;
};

// A single-threaded process keeps its environment as it is.
void ApplyTZ(const char* name) {
  if (!OSIsThreaded()) return;
  platform::ApplyZone(name);
}

void SyncTimeZone() {
  // Looking the variable up must not create the instance: no instance means
  // no variable.
  CGNLclSt* vars = CGNLclSt::m_pInstance;
  const CGNString* zone =
      vars ? static_cast<const CGNString*>(vars->GetLocalVariable("timezone")) : nullptr;
  // A name that cannot fit the environment buffer is not applied at all
  // rather than cut: a cut name would be another zone, or none.
  if (zone && !zone->IsEmpty() && zone->GetLengthInBytes() <= kMaxZoneName) {
    ApplyTZ(*zone);
    return;
  }
  platform::UseSystemZone(OSIsThreaded() != 0);
}

// Under the clock lock, before a conversion; false when the zone is still
// the one this scope brought in line, so the runtime need not be checked.
bool PrepareZone() {
  if (t_zoneReady && t_zoneGeneration == platform::ZoneGeneration()) return false;
  SyncTimeZone();
  t_zoneReady = t_zoneScopes > 0;
  return true;
}

// After the conversion, which may itself have re-read the zone.
void ZonePrepared() {
  if (t_zoneReady) t_zoneGeneration = platform::ZoneGeneration();
}

bool SameDate(const tm& a, int year, int month, int day) {
  return a.tm_year == year && a.tm_mon == month && a.tm_mday == day;
}

// (y1, m1, d1) before (y2, m2, d2), compared field by field; also used for
// times of day.
bool Before(int y1, int m1, int d1, int y2, int m2, int d2) {
  if (y1 != y2) return y1 < y2;
  if (m1 != m2) return m1 < m2;
  return d1 < d2;
}

}  // namespace

ZoneScope::ZoneScope() { ++t_zoneScopes; }

ZoneScope::~ZoneScope() {
  if (--t_zoneScopes == 0) t_zoneReady = false;
}

}  // namespace gnutil

using namespace gnutil;

void DateTimeCore::SetFields(CGNDateTime& v, const tm* t) {
  v.m_hour = t ? t->tm_hour : 0;
  v.m_minute = t ? t->tm_min : 0;
  v.m_second = t ? t->tm_sec : 0;
  // A year near the top of int saturates instead of overflowing; it is out
  // of range either way.
  v.m_year = t ? (t->tm_year > INT_MAX - 1900 ? INT_MAX : t->tm_year + 1900) : 0;
  v.m_month = t ? t->tm_mon : 0;
  v.m_day = t ? t->tm_mday : 0;
  v.m_weekday = t ? t->tm_wday : 0;
}

CGNDateTime::CGNDateTime()
    : m_hour(0),
      m_minute(0),
      m_second(0),
      m_year(0),
      m_month(0),
      m_day(0),
      m_weekday(0),
      m_secsFrom70(0),
      m_era(0),
      m_rangeStatus(1) {
  SetWorkingTimeToToday();
}

CGNDateTime::CGNDateTime(CLCLocale*) : CGNDateTime() {}

CGNDateTime::CGNDateTime(long secsFrom70) : m_secsFrom70(secsFrom70), m_era(0), m_rangeStatus(1) {
  LocalTimeTS(secsFrom70, m_tm);
  DateTimeCore::SetFields(*this, &m_tm);
}

CGNDateTime::~CGNDateTime() {}

void CGNDateTime::SetWorkingTimeToToday() {
  long now = TimeTS(nullptr);
  LocalTimeTS(now, m_tm);
  m_tm.tm_sec = 0;
  m_tm.tm_min = 0;
  m_tm.tm_hour = 0;
}

void CGNDateTime::Empty() {
  SetWorkingTimeToToday();
  m_displayBuffer.Empty();
  m_hour = m_minute = m_second = m_year = m_month = m_day = m_weekday = 0;
  m_era = 0;
  m_secsFrom70 = 0;
}

unsigned char CGNDateTime::IsEmpty() {
  return m_hour == 0 && m_minute == 0 && m_second == 0 && m_year == 0 && m_month == 0 &&
         m_day == 0 && m_secsFrom70 == 0;
}

long CGNDateTime::GetSecsFrom70() { return m_secsFrom70; }

void CGNDateTime::GetDisplayBuffer(CGNString& dest) { dest = m_displayBuffer; }

long CGNDateTime::GetDateTimeRangeStatus() { return m_rangeStatus; }

void CGNDateTime::ToTM(tm* t) {
  if (!t) return;
  long now = TimeTS(nullptr);
  LocalTimeTS(now, *t);
  t->tm_sec = m_second;
  t->tm_min = m_minute;
  t->tm_hour = m_hour;
  t->tm_mday = m_day;
  t->tm_mon = m_month;
  t->tm_wday = m_weekday;
  t->tm_year = m_year - 1900;
}

unsigned char CGNDateTime::ModuleInit() {
  if (osMutexLocalTime) return 1;
  osMutexLocalTime = OSMutexCreate();
  return osMutexLocalTime != nullptr;
}

long CGNDateTime::TimeTS(long* t) {
  long now;
  {
    ClockLock lock;
    // Back to the system zone: a thread's zone is in force only for its own
    // conversions.
    ApplyTZ("");
    now = static_cast<long>(platform::CurrentTime());
  }
  if (t) *t = now;
  return now;
}

void CGNDateTime::LocalTimeTS(const long& secs, tm& result) {
  long s = secs < 0 ? kLastSecond : secs;
  ClockLock lock;
  bool check = PrepareZone();
  if (!platform::LocalTime(s, result, check)) memset(&result, 0, sizeof result);
  ZonePrepared();
}

long CGNDateTime::MkTimeTS(tm* t) {
  if (!t) return -1;
  ClockLock lock;
  bool check = PrepareZone();
  long long r = platform::MakeTime(*t, check);
  ZonePrepared();
  // The value keeps a signed 32-bit count on every platform.
  if (r < INT_MIN || r > INT_MAX) return -1;
  return static_cast<long>(r);
}

long CGNDateTime::Now() { return TimeTS(nullptr); }

long CGNDateTime::GetLocalMidnightToday() {
  long n = Now();
  tm t;
  LocalTimeTS(n, t);
  return n - (t.tm_hour * 60L + t.tm_min) * 60L - t.tm_sec;
}

namespace gnutil {
namespace {

// LocalTimeTS of the first and last second, taken once per zone scope.
const RangeEnds& Ends() {
  RangeEnds& ends = t_rangeEnds;
  if (t_zoneReady && ends.known && ends.generation == platform::ZoneGeneration()) return ends;
  CGNDateTime::LocalTimeTS(0, ends.first);
  CGNDateTime::LocalTimeTS(kLastSecond, ends.last);
  ends.known = t_zoneReady;
  ends.generation = t_zoneGeneration;
  return ends;
}

}  // namespace
}  // namespace gnutil

int CGNDateTime::MinYear() {
  ZoneScope zone;
  return Ends().first.tm_year;
}

void CGNDateTime::MaxTime(int* hour, int* minute, int* second) {
  ZoneScope zone;
  const tm& t = Ends().last;
  if (hour) *hour = t.tm_hour;
  if (minute) *minute = t.tm_min;
  if (second) *second = t.tm_sec;
}

unsigned char CGNDateTime::IsValidDate(int year, int month, int day) {
  ZoneScope zone;
  const tm& first = Ends().first;
  const tm& last = Ends().last;
  if (Before(year, month, day, first.tm_year, first.tm_mon, first.tm_mday)) return 0;
  if (Before(last.tm_year, last.tm_mon, last.tm_mday, year, month, day)) return 0;
  return 1;
}

unsigned char CGNDateTime::VerifyDay(tm* t) {
  if (!t) return 0;
  tm probe = *t;
  probe.tm_isdst = 0;
  MkTimeTS(&probe);
  int dst = probe.tm_isdst;
  probe = *t;
  probe.tm_isdst = dst;
  if (MkTimeTS(&probe) == -1) return 0;
  return probe.tm_hour == t->tm_hour && probe.tm_min == t->tm_min && probe.tm_sec == t->tm_sec &&
         SameDate(probe, t->tm_year, t->tm_mon, t->tm_mday);
}

unsigned char CGNDateTime::VerifyDateTime(tm* t) {
  m_rangeStatus = 1;
  if (!t) return 0;
  ZoneScope zone;
  int maxHour, maxMinute, maxSecond;
  MaxTime(&maxHour, &maxMinute, &maxSecond);
  int minYear = MinYear();
  if (t->tm_hour < 0 || t->tm_hour > 23 || t->tm_min < 0 || t->tm_min > 59 || t->tm_sec < 0 ||
      t->tm_sec > 59) {
    m_rangeStatus = 3;
    return 0;
  }
  if (t->tm_year == 138) {
    if (Before(maxHour, maxMinute, maxSecond, t->tm_hour, t->tm_min, t->tm_sec)) {
      m_rangeStatus = 4;
      return 0;
    }
    if (t->tm_mon > 0 || t->tm_mday >= 19) {
      m_rangeStatus = 2;
      return 0;
    }
  }
  if (t->tm_mon < 0 || t->tm_mon > 11 || t->tm_mday < 1 || t->tm_mday > 31 || t->tm_year > 138 ||
      t->tm_year < minYear) {
    m_rangeStatus = 2;
    return 0;
  }
  return VerifyDay(t);
}
