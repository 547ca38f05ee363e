// POSIX side of the locale platform layer: glibc's process locale and its
// multibyte conversions. wchar_t is 32-bit here, so characters travel as
// Unicode code points and the portable code builds UTF-16 from them.
#include "os/posix/locale.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <wchar.h>

#include "os/platform_locale.h"

namespace gnutil::platform {

namespace {

// setlocale(LC_ALL, NULL) gives "LC_CTYPE=...;LC_NUMERIC=..." when the
// categories differ; the character rules only care about LC_CTYPE.
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

unsigned CodePageForCodeset(const char* codeset) {
  if (codeset == nullptr) return 1252;
  struct Entry {
    const char* name;
    unsigned page;
  };
  static const Entry kPages[] = {
      {"SHIFT_JIS", 932}, {"SJIS", 932},    {"BIG5", 950},   {"GB2312", 936},
      {"GBK", 936},       {"GB18030", 936}, {"EUC-KR", 949}, {"CP949", 949},
  };
  for (const Entry& e : kPages) {
    if (strcasecmp(codeset, e.name) == 0) return e.page;
  }
  if (strncasecmp(codeset, "CP125", 5) == 0 && codeset[5] >= '0' && codeset[5] <= '8' &&
      codeset[6] == '\0') {
    return 1250 + static_cast<unsigned>(codeset[5] - '0');
  }
  return 1252;
}

unsigned AnsiCodePage() { return CodePageForCodeset(nl_langinfo(CODESET)); }

int MbCurMax() { return static_cast<int>(MB_CUR_MAX); }

int MbToCodePoint(uint32_t* cp, const char* s, size_t n) {
  if (s == nullptr || n == 0) return -1;
  mbstate_t state;
  memset(&state, 0, sizeof state);
  wchar_t wc = 0;
  size_t r = mbrtowc(&wc, s, n, &state);
  if (r == static_cast<size_t>(-1) || r == static_cast<size_t>(-2)) return -1;
  *cp = static_cast<uint32_t>(wc);
  return static_cast<int>(r);
}

int CodePointToMb(char* out, uint32_t cp) {
  mbstate_t state;
  memset(&state, 0, sizeof state);
  size_t r = wcrtomb(out, static_cast<wchar_t>(cp), &state);
  if (r == static_cast<size_t>(-1)) return -1;
  return static_cast<int>(r);
}

}  // namespace gnutil::platform
