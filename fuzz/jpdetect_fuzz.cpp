// DetectJPCodeType on arbitrary bytes through a memory stream: the result is
// one of the five code sets, the stream is left at or before its end, and
// feeding the detector byte by byte decides the same.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (f == nullptr) return 0;
  int cs = DetectJPCodeType(f);
  long position = ftell(f);
  fclose(f);
  if (cs != CODESET_NONE && cs != CODESET_JIS && cs != CODESET_EUC_J && cs != CODESET_SJIS &&
      cs != CODESET_EUC_OR_SJIS) {
    abort();
  }
  if (position < 0 || static_cast<size_t>(position) > size) abort();

  gnutil::JpCodeDetector bytewise;
  size_t i = 0;
  while (i < size && !bytewise.Decided()) i += bytewise.Feed(data + i, 1);
  bytewise.Finish();
  if (bytewise.Result() != cs) abort();
  // A decided stream stops just after the deciding byte.
  if (bytewise.Decided() && static_cast<size_t>(position) != i) abort();
  return 0;
}
