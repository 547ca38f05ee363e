// mbfgets on arbitrary files in every code set the line reader converts
// from, with any buffer size: each piece fits the buffer, and the pieces of a
// line make the line read whole (JIS included, whose shift state and cut
// escape sequences carry from piece to piece).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "gnutil/mbstring.h"
#include "gnutil/mbutil.h"

namespace {

// Every line of the file as mbfgets delivers it with an n-byte buffer,
// pieces joined; false when a piece overflows.
bool ReadAll(const std::string& bytes, int n, int fileCodeSet, std::string* out) {
  FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (f == nullptr) return true;
  std::vector<char> buffer(static_cast<size_t>(n) + 16, '\x7f');
  out->clear();
  while (mbfgets(buffer.data(), n, f, fileCodeSet) != nullptr) {
    size_t len = strlen(buffer.data());
    if (len > static_cast<size_t>(n - 1)) {
      fclose(f);
      return false;
    }
    out->append(buffer.data(), len);
  }
  fclose(f);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  static bool initialised = false;
  if (!initialised) {
    InitMbutil();
    initialised = true;
  }
  static const int kFileCodeSets[] = {CODESET_JIS, CODESET_SJIS, CODESET_EUC_J, CODESET_BIG5,
                                      CODESET_EUC_TW};
  int fileCodeSet = kFileCodeSets[data[0] % 5];
  InitMbutilExt((fileCodeSet == CODESET_BIG5 || fileCodeSet == CODESET_EUC_TW) ? CODESET_BIG5
                                                                               : CODESET_SJIS);
  int n = 6 + data[1] % 64;
  // NUL bytes end a piece as a string; leave them out.
  std::string bytes;
  for (size_t i = 2; i < size; ++i)
    if (data[i] != 0) bytes += static_cast<char>(data[i]);
  std::string pieces, whole;
  if (!ReadAll(bytes, n, fileCodeSet, &pieces)) abort();
  if (!ReadAll(bytes, 1 << 14, fileCodeSet, &whole)) abort();
  if (fileCodeSet == CODESET_JIS && pieces != whole) abort();
  return 0;
}
