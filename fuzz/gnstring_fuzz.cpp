// Arbitrary bytes through CGNString in a multibyte locale: character reads and
// edits must never crash, and rebuilding the text from its wide copy must
// give back the bytes it came from. (Big5 and some others map two byte
// sequences to one character, so there only the absence of faults is checked.)
#include <locale.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/gnstring.h"

namespace {

const char* const kLocales[] = {"C",           "ja_JP.sjis", "ja_JP.eucjp", "zh_TW.big5",
                                "ko_KR.euckr", "zh_CN.gbk",  "zh_TW.euctw", "ja_JP.utf8"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t which = data[0] % (sizeof kLocales / sizeof kLocales[0]);
  setlocale(LC_ALL, kLocales[which]);
  bool identity = which == 0 || which == 7;  // C and UTF-8
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  CGNString s(text.c_str());
  unsigned chars = s.GetNumChars();
  char buf[16];
  for (unsigned i = 0; i <= chars; ++i) (void)s.GetCodePageCharAt(static_cast<int>(i), buf);
  // Rebuilding from the wide copy keeps every byte, valid or not.
  std::string before(static_cast<const char*>(s));
  s.SetCodePageCharAt(static_cast<int>(chars), "x");  // out of range: rebuild only
  if (identity && before != static_cast<const char*>(s)) abort();
  if (chars > 0) s.SetAt(chars - 1, 'z');
  char out[8];
  (void)s.GetString(out, sizeof out);
  return 0;
}
