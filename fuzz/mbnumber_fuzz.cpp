// ConvertMBNumberToSBNumber on arbitrary text in every code set with a table
// (and some without): the result never grows, and converting in place gives
// the same bytes as converting into another buffer.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static bool initialised = false;
  if (!initialised) {
    InitMbutil();
    initialised = true;
  }
  const int kCodeSets[] = {CODESET_EUC_J, CODESET_SJIS,   CODESET_GB,   CODESET_BIG5,
                           CODESET_EUC_TW, CODESET_KSC_5601_92, CODESET_NONE, CODESET_EUC_K};
  InitMbutilExt(kCodeSets[data[0] % 8]);
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const char* src = text.c_str();
  size_t len = strlen(src);
  std::vector<char> out(len + 1);
  if (ConvertMBNumberToSBNumber(src, out.data()) != 0) abort();
  if (strlen(out.data()) > len) abort();
  std::vector<char> inPlace(src, src + len + 1);
  ConvertMBNumberToSBNumber(inPlace.data(), inPlace.data());
  if (strcmp(inPlace.data(), out.data()) != 0) abort();
  return 0;
}
