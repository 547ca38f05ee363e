// The multibyte string functions on arbitrary text in every code set:
// validation reports an offset inside the text, searches return character
// boundaries inside the text whose bytes match, tokens cover the text, and
// nothing reads past a terminator.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "gnutil/mbstring.h"
#include "gnutil/mbutil.h"

namespace {

// Byte offsets where characters start, by the current code set's steps.
std::set<size_t> Boundaries(const char* s) {
  std::set<size_t> b;
  size_t len = strlen(s);
  for (size_t p = 0; p <= len;) {
    b.insert(p);
    if (p == len) break;
    p += static_cast<size_t>(mbbytesinchar(s + p));
  }
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static bool initialised = false;
  if (!initialised) {
    InitMbutil();
    initialised = true;
  }
  int codeset = data[0] % 15;
  if (codeset == 14) codeset = CODESET_UTF8;
  InitMbutilExt(codeset);
  size_t split = data[1] % (size - 2);
  std::string all(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string text = all.substr(0, split).c_str();
  std::string other = all.substr(split).c_str();
  const char* t = text.c_str();
  size_t len = text.size();

  int offset = -1;
  if (mbvalidatestring(t, &offset, codeset) == 0 &&
      (offset < 0 || static_cast<size_t>(offset) >= len))
    abort();

  std::set<size_t> bounds = Boundaries(t);
  auto check = [&](const char* hit, size_t matchLen) {
    if (hit == nullptr) return;
    if (hit < t || hit > t + len) abort();
    size_t at = static_cast<size_t>(hit - t);
    if (bounds.count(at) == 0) abort();
    if (at + matchLen > len || memcmp(hit, other.c_str(), matchLen) != 0) abort();
  };
  const char* hit = mbstrstr(t, other.c_str());
  check(hit, other.size());
  check(mbstrrstr(t, other.c_str()), other.size());
  if (!other.empty()) {
    const char* c = mbstrchr(t, other[0]);
    if (c != nullptr && *c != other[0]) abort();
    check(c, 1);
    check(mbstrrchr(t, other[0]), 1);
  }
  const char* any = mbstrpbrk(t, other.c_str());
  if (any != nullptr && bounds.count(static_cast<size_t>(any - t)) == 0) abort();
  if (mbstrcspn(t, other.c_str()) > len) abort();

  // Tokens: every token lies inside the text, in order.
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  const char* end = buf.data() + len;
  const char* previous = buf.data();
  int count = 0;
  for (char* tok = mbstrtok(buf.data(), other.c_str()); tok != nullptr;
       tok = mbstrtok(nullptr, other.c_str())) {
    if (tok < previous || tok > end || tok + strlen(tok) > end) abort();
    previous = tok;
    if (++count > static_cast<int>(len) + 2) abort();
  }

  (void)mbstricmp(t, other.c_str());
  (void)mbstrnicmp(t, other.c_str(), data[1]);
  (void)mbcharcmp(t, other.c_str(), data[1]);
  std::vector<char> copy(len + 1, 'x');
  int copied = mbstrncpyi(copy.data(), t, len / 2);
  if (copied < 0 || static_cast<size_t>(copied) > len / 2) abort();
  std::vector<char> upper(text.begin(), text.end());
  upper.push_back('\0');
  int walked = mbstrtoupper(upper.data());
  if (walked != 0 && static_cast<size_t>(walked) != len) abort();
  (void)AccumulateAsciiForStr(t);
  return 0;
}
