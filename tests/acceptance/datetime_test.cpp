// Dates through the installed library: a typed date read back, formatted,
// and converted in a thread's own zone.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DateTimeAcceptance, TypedDateReadAndShownInTheThreadsZone) {
  OSSetThreaded();
  ASSERT_EQ(1, CGNDateTime::ModuleInit());
  CGNLclSt::Instance()->Init(4);
  CGNString zone("JST-9");
  CGNLclSt::Instance()->SetLocalVariable("timezone", &zone);
  CLCLocale& l = *CLCGlobalLocale::Instance();
  l.Customize("h:mm:ss tt", "M/d/yy", "dddd, MMMM dd, yyyy", 1, "", 0, 0, "", "", "",
              l.m_localeName);
  l.m_dateSep = "/";
  l.m_timeSep = ":";
  l.m_amString = "AM";
  l.m_pmString = "PM";
  l.m_ampmPrefix = 0;
  l.m_hourLeadingZero = 0;
  CGNDateTime v;
  ASSERT_EQ(1, v.FromString("3/5/01 2:07:09 PM"));
  EXPECT_EQ(983801229L - 9 * 3600, v.GetSecsFrom70());
  CGNString display;
  v.GetDisplayBuffer(display);
  EXPECT_EQ("3/5/01 2:07:09 PM", std::string(display));
  EXPECT_EQ(0, v.FromString("2/30/2000"));
  EXPECT_EQ(1, v.GetDateTimeRangeStatus());
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
}

}  // namespace
