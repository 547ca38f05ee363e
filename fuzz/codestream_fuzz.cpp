// The stream converter on arbitrary bytes, for every pair and policy: fed in
// pieces of the size the input picks, it gives exactly the outcome of the
// whole text at once, and a stop under the fail policy lies inside the text.
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "gnutil/codestream.h"
#include "gnutil/mbutil.h"

namespace {

struct Outcome {
  gnutil::CodeResult result;
  std::string out;
};

Outcome Convert(int from, int to, gnutil::InvalidBytes invalid, const char* text, size_t size,
                size_t piece) {
  gnutil::CodeConverter converter(from, to, invalid);
  Outcome o;
  for (size_t at = 0; at < size && o.result.status == gnutil::CodeStatus::kOk; at += piece) {
    o.result = converter.Convert(text + at, piece < size - at ? piece : size - at, &o.out);
  }
  if (o.result.status == gnutil::CodeStatus::kOk) o.result = converter.Finish(&o.out);
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int kPairs[][2] = {
      {CODESET_SJIS, CODESET_EUC_J},  {CODESET_SJIS, CODESET_JIS},    {CODESET_EUC_J, CODESET_SJIS},
      {CODESET_EUC_J, CODESET_JIS},   {CODESET_JIS, CODESET_SJIS},    {CODESET_JIS, CODESET_EUC_J},
      {CODESET_BIG5, CODESET_EUC_TW}, {CODESET_EUC_TW, CODESET_BIG5}, {CODESET_UTF8, CODESET_UTF8},
      {CODESET_UTF8, CODESET_SJIS},   {CODESET_EUC_J, CODESET_UTF8},  {CODESET_UTF8, CODESET_JIS},
  };
  constexpr size_t kPairCount = sizeof kPairs / sizeof kPairs[0];
  if (size < 2) return 0;
  const int* pair = kPairs[data[0] % kPairCount];
  auto invalid = static_cast<gnutil::InvalidBytes>(data[0] / kPairCount % 3);
  size_t piece = data[1] % 16 + 1;
  const char* text = reinterpret_cast<const char*>(data + 2);
  size -= 2;
  Outcome whole = Convert(pair[0], pair[1], invalid, text, size, size + 1);
  Outcome pieces = Convert(pair[0], pair[1], invalid, text, size, piece);
  if (whole.result.status != pieces.result.status || whole.out != pieces.out) abort();
  if (whole.result.status == gnutil::CodeStatus::kInvalid &&
      (whole.result.offset >= size || pieces.result.offset != whole.result.offset)) {
    abort();
  }
  if (whole.result.status == gnutil::CodeStatus::kOk && whole.result.offset != size) abort();
  return 0;
}
