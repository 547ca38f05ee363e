// POSIX side of the locale platform layer: glibc's process locale and its
// multibyte conversions. wchar_t is 32-bit here, so characters travel as
// Unicode code points and the portable code builds UTF-16 from them.
#include "platform/posix/locale.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <wchar.h>

#include "platform/locale.h"

namespace gnutil::platform {

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

static_assert(sizeof(wchar_t) == sizeof(uint32_t), "glibc wide characters are UCS-4");

size_t DecodeRun(uint32_t* cps, size_t cap, const char** src, size_t n, RunEnd* end) {
  mbstate_t state;
  memset(&state, 0, sizeof state);
  const char* start = *src;
  // mbsnrtowcs measures its whole input first, so hand it only a window of
  // what cap characters can take; a character cut at the window's edge is
  // simply left for the next run.
  size_t window = cap * MB_CUR_MAX;
  if (window > n) window = n;
  const char* p = start;
  size_t r = mbsnrtowcs(reinterpret_cast<wchar_t*>(cps), &p, window, cap, &state);
  if (r != static_cast<size_t>(-1) && mbsinit(&state)) {
    if (p == nullptr) {  // reached an embedded NUL
      *src = start + strnlen(start, window);
      *end = RunEnd::kNul;
    } else {
      *src = p;
      if (r == cap) {
        *end = RunEnd::kFull;
      } else if (p == start + n) {
        *end = RunEnd::kNul;  // all of the input
      } else {
        *end = window < n ? RunEnd::kFull : RunEnd::kInvalid;
      }
    }
    return r;
  }
  if (r != static_cast<size_t>(-1)) {
    // The window ended inside a character, whose first bytes mbsnrtowcs kept
    // in its state: re-read the r whole characters to find where it starts.
    // Cut by the window it is read again by the next run; cut by the end of
    // the input it is invalid.
    const char* q = start;
    for (size_t i = 0; i < r; ++i) {
      uint32_t cp = 0;
      q += MbToCodePoint(&cp, q, static_cast<size_t>(start + window - q));
    }
    *src = q;
    *end = window < n ? RunEnd::kFull : RunEnd::kInvalid;
    return r;
  }
  // mbsnrtowcs does not say how many it stored before the bad sequence, only
  // where it is: decode up to there one by one.
  size_t count = 0;
  const char* q = start;
  while (q < p && count < cap) {
    uint32_t cp = 0;
    int k = MbToCodePoint(&cp, q, static_cast<size_t>(p - q) + 1);
    if (k <= 0) break;
    cps[count++] = cp;
    q += k;
  }
  *src = q;
  *end = RunEnd::kInvalid;
  return count;
}

size_t EncodeRun(char* out, const uint32_t* cps, size_t n) {
  mbstate_t state;
  memset(&state, 0, sizeof state);
  // The caller's code points hold no NUL, so the run ends after n of them.
  const wchar_t* p = reinterpret_cast<const wchar_t*>(cps);
  return wcsnrtombs(out, &p, n, static_cast<size_t>(-1) / 2, &state);
}

}  // namespace gnutil::platform
