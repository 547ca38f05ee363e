// The parts of the locale seam that are the C runtime's own on every
// platform: switching to the user's default locale, reading back the name of
// the one in force, and the longest character of its encoding.
#include <locale.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/locale.h"

namespace gnutil::platform {

namespace {

// setlocale(LC_ALL, NULL) gives "LC_CTYPE=...;LC_NUMERIC=..." (glibc) or
// "LC_COLLATE=...;LC_CTYPE=...;..." (Windows) when the categories differ; the
// character rules only care about LC_CTYPE.
std::string CtypeName(const char* all) {
  if (all == nullptr) return std::string();
  const char* p = strstr(all, "LC_CTYPE=");
  if (p == nullptr) return all;
  p += strlen("LC_CTYPE=");
  const char* end = strchr(p, ';');
  return end ? std::string(p, end) : std::string(p);
}

}  // namespace

std::string SetDefaultProcessLocale() {
  setlocale(LC_ALL, "");
  return CurrentProcessLocaleName();
}

std::string CurrentProcessLocaleName() { return CtypeName(setlocale(LC_ALL, nullptr)); }

int MbCurMax() { return static_cast<int>(MB_CUR_MAX); }

}  // namespace gnutil::platform
