// Every code converter on arbitrary bytes, including text cut inside a
// character or an escape sequence: the output stays within its documented
// bound (the destination is allocated to exactly that size, so ASan sees any
// overrun), converting in pieces gives the bytes of converting the whole,
// and the public NUL-terminated forms agree with the byte converter.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace {

const int kPairs[][2] = {
    {CODESET_JIS, CODESET_SJIS},    {CODESET_JIS, CODESET_EUC_J},   {CODESET_EUC_J, CODESET_SJIS},
    {CODESET_EUC_J, CODESET_JIS},   {CODESET_SJIS, CODESET_EUC_J},  {CODESET_SJIS, CODESET_JIS},
    {CODESET_BIG5, CODESET_EUC_TW}, {CODESET_EUC_TW, CODESET_BIG5}, {CODESET_SJIS, CODESET_GB},
};

std::string Convert(gnutil::Conversion c, const std::string& in, const std::vector<size_t>& cuts) {
  std::string result, pending;
  gnutil::ConversionState state;
  size_t from = 0;
  for (size_t k = 0; k <= cuts.size(); ++k) {
    size_t to = k < cuts.size() ? cuts[k] : in.size();
    pending += in.substr(from, to - from);
    from = to;
    size_t bound = gnutil::MaxConvertedLength(c, pending.size());
    unsigned char* out = static_cast<unsigned char*>(malloc(bound + 1));
    size_t used = 0;
    size_t n = gnutil::ConvertBytes(c, reinterpret_cast<const unsigned char*>(pending.data()),
                                    pending.size(), out, &state, k == cuts.size(), &used);
    if (n > bound || used > pending.size()) abort();
    result.append(reinterpret_cast<char*>(out), n);
    free(out);
    pending.erase(0, used);
  }
  if (!pending.empty()) abort();
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int* pair = kPairs[data[0] % (sizeof kPairs / sizeof kPairs[0])];
  size_t cutEvery = data[1] % 16;
  std::string in(reinterpret_cast<const char*>(data + 2), size - 2);
  gnutil::Conversion c = gnutil::ConversionFor(pair[0], pair[1]);

  std::string whole = Convert(c, in, {});
  // The word and vector kernels give the byte-at-a-time path's bytes.
  {
    std::vector<unsigned char> out(gnutil::MaxConvertedLength(c, in.size()) + 1);
    gnutil::ConversionState state;
    size_t used = 0;
    size_t n = gnutil::ConvertBytesScalar(c, reinterpret_cast<const unsigned char*>(in.data()),
                                          in.size(), out.data(), &state, true, &used);
    if (std::string(reinterpret_cast<char*>(out.data()), n) != whole) abort();
  }
  std::vector<size_t> cuts;
  if (cutEvery > 0) {
    for (size_t p = cutEvery; p < in.size(); p += cutEvery) cuts.push_back(p);
    if (Convert(c, in, cuts) != whole) abort();
  }

  // The public forms on the text up to its first NUL, into a destination of
  // exactly the documented size.
  std::string text = in.c_str();
  size_t room = gnutil::MaxConvertedLength(c, text.size()) + 1;
  char* dst = static_cast<char*>(malloc(room));
  convertStrExt(text.c_str(), pair[0], dst, pair[1]);
  std::string expected = Convert(c, text, {});
  // No NUL comes out of NUL-free text, so the C string is the whole result.
  if (std::string(dst) != expected) abort();
  // In place: the same bytes.
  memcpy(dst, text.c_str(), text.size() + 1);
  if (convertStrExt(dst, pair[0], dst, pair[1]) != dst || std::string(dst) != expected) abort();
  free(dst);
  const char* shared = convertStr(text.c_str(), pair[0], pair[1]);
  if (shared == nullptr) abort();

  static bool initialised = false;
  if (!initialised) {
    InitMbutil();
    initialised = true;
  }
  const int kCurrent[] = {CODESET_SJIS, CODESET_EUC_J, CODESET_BIG5, CODESET_EUC_TW, CODESET_GB};
  InitMbutilExt(kCurrent[data[1] % 5]);
  if (UnixCodingToWindowsCoding(text.c_str()) == nullptr) abort();
  if (WindowsCodingToUnixCoding(text.c_str()) == nullptr) abort();
  if (MaxStringLengthOnWinAndUnix(text.c_str()) < static_cast<int>(text.size())) abort();
  std::vector<char> buffer(text.size() * 5 + 16);
  UnixCodingToWindowsCodingExt(text.c_str(), buffer.data());
  WindowsCodingToUnixCodingExt(text.c_str(), buffer.data());
  return 0;
}
