// Threads converting at once, each in its own zone (also run under ThreadSanitizer).
#include <gnutil/datetime.h>
#include <gnutil/gnstring.h>
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "support/thread_runner.h"

namespace {

struct ZoneCase {
  const char* zone;  // empty: the system zone
  int hourOffset;    // from UTC, for a zone without daylight saving
};

TEST(DateTimeThreads, EachThreadConvertsInItsOwnZone) {
  OSSetThreaded();
  ASSERT_EQ(1, CGNDateTime::ModuleInit());
  CGNLclSt::Instance();  // process-wide objects are made before the threads
  const ZoneCase cases[] = {{"UTC0", 0}, {"EST5", -5}, {"JST-9", 9}, {"IST-5:30", 5}, {"", 0}};
  const long secs = 983801229L;  // 2001-03-05 14:07:09 UTC
  time_t tt = secs;
  // Read before any thread starts, so the runtime's shared result is safe
  // (and the same call exists on every platform).
  tm utc = *gmtime(&tt);
  tm system = *localtime(&tt);  // the machine's zone, TZ being unset below
  std::atomic<int> failures{0};
  std::vector<std::unique_ptr<gnutil_test::TestThread>> threads;
  for (const ZoneCase& c : cases) {
    threads.emplace_back(new gnutil_test::TestThread([&, c] {
      CGNLclSt::Instance()->Init(4);
      CGNString zone(c.zone);
      if (*c.zone) CGNLclSt::Instance()->SetLocalVariable("timezone", &zone);
      int expectedHour = *c.zone ? (utc.tm_hour + c.hourOffset + 24) % 24 : system.tm_hour;
      for (int i = 0; i < 300; ++i) {
        tm t;
        CGNDateTime::LocalTimeTS(secs, t);
        if (t.tm_hour != expectedHour) ++failures;
        tm back = t;
        back.tm_isdst = -1;
        if (CGNDateTime::MkTimeTS(&back) != secs) ++failures;
        if (i % 50 == 0) CGNDateTime::TimeTS(nullptr);
      }
      CGNLclSt::Instance()->UnsetLocalVariable("timezone");
    }));
  }
  threads.clear();
  EXPECT_EQ(0, failures.load());
}

// The handover made deterministic: a zone, the system zone in another
// thread, then the same zone again, which must not find the system's offset
// left behind in the runtime.
TEST(DateTimeThreads, ZoneSurvivesAnotherThreadsSystemZone) {
  OSSetThreaded();
  ASSERT_EQ(1, CGNDateTime::ModuleInit());
  CGNLclSt::Instance();
  const long secs = 983801229L;  // 14:07:09 UTC
  auto hourIn = [&](const char* name) {
    int hour = -1;
    gnutil_test::TestThread thread([&] {
      CGNLclSt::Instance()->Init(4);
      CGNString zone(name);
      CGNLclSt::Instance()->SetLocalVariable("timezone", &zone);
      tm t;
      CGNDateTime::LocalTimeTS(secs, t);
      hour = t.tm_hour;
      CGNLclSt::Instance()->UnsetLocalVariable("timezone");
    });
    thread.Join();
    return hour;
  };
  for (const char* name : {"JST-9", "EST5"}) {
    int first = hourIn(name);
    tm system;
    CGNDateTime::LocalTimeTS(secs, system);  // this thread has no zone of its own
    EXPECT_EQ(first, hourIn(name))
        << name << " after the system zone (hour " << system.tm_hour << ")";
  }
}

}  // namespace
