// Reads dates as a user of the process locale types them and shows each in
// the locale's display form:
//   LC_ALL=ja_JP.sjis dates "2001/3/5 14:07"
// Texts that are no date (or lie outside 1970 to January 2038) give their
// range status: 2 date, 3 time field, 4 past the end or too long, 5 extra
// characters after the time.
#include <gnutil/gnutil.h>

#include <cstdio>

int main(int argc, char** argv) {
  InitMbutil();  // the process locale becomes the user's
  CGNDateTime::ModuleInit();
  const char* fallback[] = {"3/5/01 2:07 PM", "Dec 25, 99", "31/31/31"};
  char** texts = argc > 1 ? argv + 1 : const_cast<char**>(fallback);
  const int count = argc > 1 ? argc - 1 : 3;
  int readable = 0;
  for (int i = 0; i < count; ++i) {
    CGNDateTime date;
    if (date.FromString(texts[i])) {
      CGNString shown;
      date.GetDisplayBuffer(shown);
      std::printf("%-16s -> %s (%ld seconds since 1970)\n", texts[i],
                  static_cast<const char*>(shown), date.GetSecsFrom70());
      ++readable;
    } else {
      std::printf("%-16s -> no date (range status %ld)\n", texts[i], date.GetDateTimeRangeStatus());
    }
  }
  return readable > 0 ? 0 : 1;
}
