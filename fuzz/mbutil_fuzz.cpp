// Walks arbitrary bytes with every code set's rules: lengths stay within the
// text, stepping always advances and ends at the terminator.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/mbutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int codeset = data[0] % 33;  // 0..30, the table, and 31: UTF-8; 32 is no code set
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const char* s = text.c_str();
  size_t len = strlen(s);

  static bool initialised = false;
  if (!initialised) {
    InitMbutil();
    initialised = true;
  }
  InitMbutilExt(codeset);

  for (size_t pos = 0; pos < len;) {
    int n = mblenExt(s + pos, len - pos, codeset);
    if (n > mbmaxcharlenExt(codeset)) abort();
    int step = mbbytesinchartype(s + pos, codeset);
    if (step < 1) abort();
    (void)mb_mblen(s + pos, len - pos);
    (void)isleadbyteExt(static_cast<unsigned char>(s[pos]), codeset);
    pos += static_cast<size_t>(step);
  }
  int prev = 0;
  for (int i = mbnextidx(s, 0); i != 0; i = mbnextidx(s, i)) {
    if (i <= prev || static_cast<size_t>(i) > len) abort();
    prev = i;
  }
  for (size_t i = 0; i <= len + 2; ++i) {
    int start = mbidxtype(s, static_cast<int>(i), codeset);
    if (start < 0 || (start > static_cast<int>(len) && static_cast<int>(i) != start)) abort();
  }
  (void)mbGetCodeSet(s);
  return 0;
}
