// gnutil date: reads dates and times as a user of the process locale types
// them and shows them back in that locale's conventions.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands.h"
#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"
#include "gnutil/lclst.h"
#include "gnutil/mbutil.h"
#include "gnutil/osthread.h"

namespace gnutil::tool {
namespace {

const char kDateUsage[] =
    "usage: gnutil date [--tz ZONE] [--format PATTERN] (--now | TEXT...)\n"
    "\n"
    "Reads each TEXT as a user of the process locale (LC_ALL, LANG) types a date\n"
    "and time, and prints its display form, the range status and the seconds\n"
    "since 1970.\n"
    "\n"
    "  --now             the current moment instead of a text\n"
    "  --format PATTERN  show the date with PATTERN (d dd ddd dddd M MM MMM MMMM\n"
    "                    yy yyyy, 'quoted text') instead of the display form\n"
    "  --tz ZONE         convert in ZONE (TZ syntax, for example EST5EDT or JST-9)\n"
    "\n"
    "Exit status: 0 all read, 1 a text was not a date or out of range, 2 usage.\n";

const char* StatusMeaning(long status) {
  switch (status) {
    case 1:
      return "not a date or time that exists";
    case 2:
      return "a date field is out of range, or the date is outside 1970 to 18 January 2038";
    case 3:
      return "a time field is out of range";
    case 4:
      return "past the last supported moment of 2038, or longer than 127 bytes";
    case 5:
      return "characters after a time number";
    default:
      return "unknown";
  }
}

void Show(CGNDateTime& value, const std::string& label, const std::string& pattern) {
  if (!pattern.empty()) {
    CLCLocale& locale = *CLCGlobalLocale::Instance();
    CGNString saved = locale.m_shortDateFormat;
    unsigned char customized = locale.Customized();
    // Customized for the moment, so that formatting does not refresh the
    // pattern from the system.
    locale.SetCustomized(1);
    locale.m_shortDateFormat = pattern.c_str();
    value.FormatDateForDisplay(1);
    locale.m_shortDateFormat = saved;
    locale.SetCustomized(customized);
  }
  CGNString display;
  value.GetDisplayBuffer(display);
  std::printf("%s -> %s (status %ld, %ld s since 1970)\n", label.c_str(),
              static_cast<const char*>(display), value.GetDateTimeRangeStatus(),
              value.GetSecsFrom70());
  std::fflush(stdout);  // in order with the messages on standard error
}

}  // namespace

int RunDate(const Args& args) {
  std::string zone, pattern;
  bool now = false;
  Args texts;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kDateUsage, stdout);
      return 0;
    }
    if (a == "--now") {
      now = true;
    } else if (a == "--tz" || a == "--format") {
      if (i + 1 >= args.size()) return Fail(a + " needs a value");
      (a == "--tz" ? zone : pattern) = args[++i];
      if (a == "--tz" && (zone.empty() || zone.size() > 124))
        return Fail("--tz needs a zone name of 1 to 124 bytes");
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return Fail("unknown option '" + a + "' (see 'gnutil date --help')");
    } else {
      texts.push_back(a);
    }
  }
  if (now == !texts.empty()) return Fail("give either --now or at least one TEXT");

  InitMbutil();
  CLCGlobalLocale::Instance();
  CGNString zoneName(zone.c_str());
  if (!zone.empty()) {
    // A zone of its own is the calling thread's "timezone" variable, which
    // the conversions follow only in a threaded process.
    OSSetThreaded();
    CGNDateTime::ModuleInit();
    CGNLclSt::Instance()->Init(4);
    CGNLclSt::Instance()->SetLocalVariable("timezone", &zoneName);
  }

  int status = 0;
  if (now) {
    CGNDateTime value(CGNDateTime::Now());
    value.FormatForDisplay(3);
    Show(value, "now", pattern);
  }
  for (const std::string& text : texts) {
    CGNDateTime value;
    if (!value.FromString(text.c_str())) {
      long range = value.GetDateTimeRangeStatus();
      std::fprintf(stderr, "gnutil: '%s': status %ld: %s\n", text.c_str(), range,
                   StatusMeaning(range));
      status = 1;
      continue;
    }
    Show(value, "'" + text + "'", pattern);
  }
  if (!zone.empty()) CGNLclSt::Instance()->UnsetLocalVariable("timezone");
  return status;
}

}  // namespace gnutil::tool
