// Code sets and multibyte character rules.
//
// Three process-wide ints make up the module state. They are deliberately
// lock-free: callers initialise once before starting threads, and the rules
// themselves are pure functions of (bytes, code set).
#include "gnutil/mbutil.h"

#include <ctype.h>
#include <string.h>

#include <string>

#include "genutil/codeset_names.h"
#include "genutil/mbutil_internal.h"
#include "platform/locale.h"

namespace gnutil {
namespace {

int g_codeset = CODESET_NONE;
int g_initialised = 0;
// Starts at 1 while the code set is still 0: callers that step through text
// before initialising see multibyte behaviour, as they always have.
int g_multibyte = 1;

inline void EnsureInit() {
  if (!g_initialised) InitMbutil();
}

inline bool In(unsigned c, unsigned lo, unsigned hi) { return c >= lo && c <= hi; }

bool HasMultibyteChars(int cs) {
  switch (cs) {
    case CODESET_JIS:
    case CODESET_EUC_J:
    case CODESET_SJIS:
    case CODESET_GB:
    case CODESET_EUC_C:
    case CODESET_BIG5:
    case CODESET_EUC_TW:
    case CODESET_KSC_5601_87:
    case CODESET_KSC_5601_92:
    case CODESET_EUC_K:
    case CODESET_UTF8:
      return true;
    default:
      return false;
  }
}

bool IsKscLead(unsigned c) { return In(c, 0x84, 0xD3) || In(c, 0xD8, 0xDE) || In(c, 0xE0, 0xF9); }

bool IsLeadByte(int c, int cs) {
  if (c < 0 || c > 0xFF) return false;  // a negative signed char is never a lead byte
  unsigned b = static_cast<unsigned>(c);
  switch (cs) {
    case CODESET_EUC_J:
      return In(b, 0xA1, 0xFE) || b == 0x8E || b == 0x8F;
    case CODESET_SJIS:
      return In(b, 0x81, 0x9F) || In(b, 0xE0, 0xEF);
    case CODESET_GB:
    case CODESET_EUC_C:
    case CODESET_BIG5:
    case CODESET_EUC_K:
      return In(b, 0xA1, 0xFE);
    case CODESET_EUC_TW:
      return In(b, 0xA1, 0xFE) || b == 0x8E;
    case CODESET_KSC_5601_87:
    case CODESET_KSC_5601_92:
      return IsKscLead(b);
    case CODESET_UTF8:
      return In(b, 0xC2, 0xF4);  // C0, C1 and F5 to FF start nothing well-formed
    default:
      return false;
  }
}

// The rules that give the length of one character. The letters name the
// families of encodings; where a code set has two (KSC 5601-87 as the
// current code set is lenient about lead bytes), the caller picks.
enum class Rule { kNone, kEucJ, kEuc2, kEucTw, kSjis, kBig5, kKscLenient, kKscStrict, kUtf8 };

Rule RuleFor(int cs, bool current) {
  switch (cs) {
    case CODESET_EUC_J:
      return Rule::kEucJ;
    case CODESET_EUC_C:
    case CODESET_EUC_K:
    case CODESET_GB:
      return Rule::kEuc2;
    case CODESET_EUC_TW:
      return Rule::kEucTw;
    case CODESET_SJIS:
      return Rule::kSjis;
    case CODESET_BIG5:
      return Rule::kBig5;
    case CODESET_KSC_5601_87:
      return current ? Rule::kKscLenient : Rule::kKscStrict;
    case CODESET_KSC_5601_92:
      return Rule::kKscStrict;
    case CODESET_UTF8:
      return Rule::kUtf8;
    default:
      return Rule::kNone;
  }
}

inline bool IsEucByte(unsigned c) { return In(c, 0xA1, 0xFE); }

inline bool IsContinuation(unsigned c) { return In(c, 0x80, 0xBF); }

// The well-formed UTF-8 sequences (Unicode's table 3-7): the second byte's
// range depends on the first, which shuts out overlong forms (E0, F0),
// surrogates (ED) and everything above U+10FFFF (F4).
int Utf8Len(const unsigned char* p, size_t n) {
  unsigned c = p[0];
  unsigned lo = 0x80, hi = 0xBF;
  int len;
  if (In(c, 0xC2, 0xDF)) {
    len = 2;
  } else if (In(c, 0xE0, 0xEF)) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (In(c, 0xF0, 0xF4)) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return -1;
  }
  // As for the other rules, only the bytes that are there are checked.
  if (n > 1 && !In(p[1], lo, hi)) return -1;
  for (size_t i = 2; i < static_cast<size_t>(len) && i < n; ++i) {
    if (!IsContinuation(p[i])) return -1;
  }
  return len;
}

// Checks the trail bytes that are available (at most n - 1 of them) and gives
// the full length when they are valid: a caller that passes n = 1 after a
// valid lead byte learns how long the character will be.
int MbLen(const unsigned char* p, size_t n, Rule rule) {
  if (rule == Rule::kNone) return 1;
  if (p == nullptr || n == 0 || p[0] == 0) return 0;
  unsigned c = p[0];
  if (c < 0x80) return 1;
  auto trail = [&](size_t i, bool (*ok)(unsigned)) { return i >= n || ok(p[i]); };
  switch (rule) {
    case Rule::kEucJ:
      if (IsEucByte(c)) return trail(1, IsEucByte) ? 2 : -1;
      if (c == 0x8E) return trail(1, [](unsigned b) { return In(b, 0xA1, 0xDF); }) ? 2 : -1;
      if (c == 0x8F) return trail(1, IsEucByte) && trail(2, IsEucByte) ? 3 : -1;
      return -1;
    case Rule::kEuc2:
      return IsEucByte(c) && trail(1, IsEucByte) ? 2 : -1;
    case Rule::kEucTw:
      if (IsEucByte(c)) return trail(1, IsEucByte) ? 2 : -1;
      if (c == 0x8E) {
        return trail(1, [](unsigned b) { return In(b, 0xA2, 0xB0); }) && trail(2, IsEucByte) &&
                       trail(3, IsEucByte)
                   ? 4
                   : -1;
      }
      return -1;
    case Rule::kSjis:
      if (In(c, 0xA1, 0xDF)) return 1;  // half-width katakana
      if (In(c, 0x81, 0x9F) || In(c, 0xE0, 0xEF)) {
        return trail(1, [](unsigned b) { return In(b, 0x40, 0xFC); }) ? 2 : -1;
      }
      return -1;
    case Rule::kBig5:
      if (IsEucByte(c)) {
        return trail(1, [](unsigned b) { return IsEucByte(b) || In(b, 0x40, 0x7E); }) ? 2 : -1;
      }
      return -1;
    case Rule::kKscLenient:
      if (In(c, 0x81, 0xFE)) {
        return trail(1,
                     [](unsigned b) {
                       return In(b, 0x41, 0x5A) || In(b, 0x61, 0x7A) || In(b, 0x81, 0xFE);
                     })
                   ? 2
                   : -1;
      }
      return -1;
    case Rule::kKscStrict:
      if (IsKscLead(c)) {
        return trail(1, [](unsigned b) { return In(b, 0x41, 0x7E) || In(b, 0x81, 0xFE); }) ? 2 : -1;
      }
      return -1;
    case Rule::kUtf8:
      return Utf8Len(p, n);
    case Rule::kNone:
      break;
  }
  return 1;
}

int MaxCharLen(int cs) {
  switch (cs) {
    case CODESET_EUC_J:
      return 3;
    case CODESET_EUC_TW:
    case CODESET_UTF8:
      return 4;
    case CODESET_SJIS:
    case CODESET_GB:
    case CODESET_EUC_C:
    case CODESET_BIG5:
    case CODESET_KSC_5601_87:
    case CODESET_KSC_5601_92:
    case CODESET_EUC_K:
      return 2;
    default:
      return 1;
  }
}

int AtLeastOne(int n) { return n < 1 ? 1 : n; }

bool StartsNoCase(const char* s, const char* prefix) {
  for (; *prefix; ++s, ++prefix) {
    if (tolower(static_cast<unsigned char>(*s)) != *prefix) return false;
  }
  return true;
}

}  // namespace

int CodeSetForLocaleName(const char* name) {
  if (name == nullptr) return CODESET_NONE;
  // Windows names carry a numeric code page after the dot and go by prefix only.
  if (const char* dot = strchr(name, '.')) {
    if (dot[1] != '\0' && !isdigit(static_cast<unsigned char>(dot[1]))) {
      int cs = CodeSetForPosixName(dot + 1);
      if (cs >= 0) return cs;
    }
  }
  if (StartsNoCase(name, "ja") || StartsNoCase(name, "jpn")) return CODESET_SJIS;
  if (StartsNoCase(name, "ko")) return CODESET_KSC_5601_87;
  if (StartsNoCase(name, "zh_tw")) return CODESET_BIG5;
  if (StartsNoCase(name, "zh")) return CODESET_GB;
  return CODESET_NONE;
}

int CurrentCodeSet() {
  EnsureInit();
  return g_codeset;
}

int CurrentCodeSetNoInit() { return g_codeset; }

bool MultibyteFlag() {
  EnsureInit();
  return g_multibyte != 0;
}

}  // namespace gnutil

using namespace gnutil;

extern "C" {

int mbGetCodeSet(const char* name) {
  if (name == nullptr || *name == '\0') return CODESET_NONE;
  // The first key found anywhere in the name decides (the keys are ordered so
  // that a longer key is tried before one it contains).
  size_t count = 0;
  const CodeSetRow* rows = CodeSetRows(&count);
  for (size_t i = 0; i < count; ++i) {
    for (const char* key : rows[i].keys) {
      if (key != nullptr && strstr(name, key) != nullptr) return rows[i].codeset;
    }
  }
  return CODESET_NONE;
}

int mbGetLocaleCodeSet(void) {
  switch (platform::AnsiCodePage()) {
    case 932:
      return CODESET_SJIS;
    case 936:
      return CODESET_GB;
    case 950:
      return CODESET_BIG5;
    case 949:
      return CODESET_KSC_5601_92;
    case 1250:
      return CODESET_1250;
    case 1251:
      return CODESET_1251;
    case 1253:
      return CODESET_1253;
    case 1254:
      return CODESET_1254;
    case 1255:
      return CODESET_1255;
    case 1256:
      return CODESET_1256;
    case 1257:
      return CODESET_1257;
    case 1258:
      return CODESET_1258;
    default:
      return CODESET_NONE;
  }
}

int InitMbutil(void) {
  int previous = g_codeset;
  std::string name = platform::SetDefaultProcessLocale();
  InitMbutilExt(CodeSetForLocaleName(name.c_str()));
  g_initialised = 1;
  return previous;
}

int InitMbutilExt(int codeset) {
  int previous = g_codeset;
  g_codeset = codeset;
  g_multibyte = HasMultibyteChars(codeset) ? 1 : 0;
  return previous;
}

int mb_isleadbyte(int c) {
  EnsureInit();
  return IsLeadByte(c, g_codeset) ? 1 : 0;
}

// KSC 5601-87 passed explicitly uses the same lead bytes as the current-code-
// set test, so that isleadbyteExt agrees with the strict length rule that
// mblenExt applies to it.
int isleadbyteExt(int c, int codeset) { return IsLeadByte(c, codeset) ? 1 : 0; }

int mbmaxcharlen(void) {
  EnsureInit();
  return MaxCharLen(g_codeset);
}

int mbmaxcharlenExt(int codeset) { return MaxCharLen(codeset); }

int mb_mblen(const char* s, size_t n) {
  EnsureInit();
  return MbLen(reinterpret_cast<const unsigned char*>(s), n, RuleFor(g_codeset, true));
}

int mblenExt(const char* s, size_t n, int codeset) {
  return MbLen(reinterpret_cast<const unsigned char*>(s), n, RuleFor(codeset, false));
}

int mbbytesinchar(const char* s) {
  EnsureInit();
  return AtLeastOne(mb_mblen(s, static_cast<size_t>(MaxCharLen(g_codeset))));
}

int mbbytesinchartype(const char* s, int codeset) {
  return AtLeastOne(mblenExt(s, static_cast<size_t>(MaxCharLen(codeset)), codeset));
}

int mbidx(const char* s, int index) {
  EnsureInit();
  return mbidxtype(s, index, g_codeset);
}

int mbidxtype(const char* s, int index, int codeset) {
  // The process-wide flag decides, not the code set passed in: callers rely on
  // single-byte processes getting their index back untouched.
  if (!g_multibyte) return index;
  if (s == nullptr) return 0;
  size_t len = strlen(s);
  long long limit = static_cast<long long>(index);
  if (limit > static_cast<long long>(len)) limit = static_cast<long long>(len);
  long long pos = 0;
  int last = 0;
  while (pos < limit) {
    last = mbbytesinchartype(s + pos, codeset);
    pos += last;
  }
  if (pos > limit) pos -= last;
  return static_cast<int>(pos);
}

int mbnextidx(const char* s, int index) {
  EnsureInit();
  if (s == nullptr || index < 0) return 0;
  if (!g_multibyte) {
    // An index at or past the NUL has no next character (and must not be read).
    if (memchr(s, '\0', static_cast<size_t>(index) + 1) != nullptr) return 0;
    return s[index + 1] == '\0' ? 0 : index + 1;
  }
  int start = index == 0 ? 0 : mbidx(s, index);
  if (s[start] == '\0') return 0;
  // No rule accepts NUL as a trail byte, so k never passes the terminator.
  int k = start + mbbytesinchar(s + start);
  // KSC 5601-87 measures with a laxer rule than the walk of mbidx; where the
  // two disagree k could fall back onto the index, and loops that step with
  // this function would never end. Step by the walk's own length instead.
  if (k <= index) k = start + mbbytesinchartype(s + start, g_codeset);
  return s[k] != '\0' ? k : 0;
}

char* mbnextchar(const char* s, int index) {
  int next = mbnextidx(s, index);
  return next == 0 ? nullptr : const_cast<char*>(s) + next;
}

int ismbcprint(int c) {
  EnsureInit();
  if (c >= 0 && c <= 127) return 1;
  if (g_codeset == CODESET_SJIS && c >= 0xA1 && c <= 0xDF) return 1;
  return 0;
}

}  // extern "C"
