// Time zones for date tests. The system zone of a test process is what the
// runtime reads without a thread's own zone: TZ when it is set, otherwise the
// machine's zone. ScopedSystemZone sets TZ for one test (on Windows through
// _putenv, which the runtime's conversions read) and restores it afterwards.
#ifndef GNUTIL_TESTS_SUPPORT_TEST_ZONE_H
#define GNUTIL_TESTS_SUPPORT_TEST_ZONE_H

#include <stdlib.h>
#include <time.h>

#include <string>

namespace gnutil_test {

inline void SetTZ(const char* value) {
#if defined(_WIN32)
  std::string s = std::string("TZ=") + (value ? value : "");
  _putenv(s.c_str());
  _tzset();
#else
  if (value)
    setenv("TZ", value, 1);
  else
    unsetenv("TZ");
  tzset();
#endif
}

class ScopedSystemZone {
 public:
  explicit ScopedSystemZone(const char* zone) {
    if (const char* old = getenv("TZ")) old_ = old, had_ = true;
    SetTZ(zone);
  }
  ~ScopedSystemZone() { SetTZ(had_ ? old_.c_str() : nullptr); }

 private:
  bool had_ = false;
  std::string old_;
};

// A calendar time as the runtime's conversions take it: month 1..12, fields
// out of range left for them to normalise, daylight saving unknown.
inline tm MakeTm(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return t;
}

// Zones in the runtime's TZ syntax that both runtimes read the same way.
inline constexpr const char* kZoneUTC = "UTC0";
inline constexpr const char* kZoneWest5 = "EST5";         // five hours west, no DST
inline constexpr const char* kZoneEast9 = "JST-9";        // nine hours east
inline constexpr const char* kZoneUSEastern = "EST5EDT";  // with daylight saving

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TEST_ZONE_H
