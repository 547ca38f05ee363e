// UnexpandSpecials reads escapes out of text it is given: any bytes, in a
// single-byte and a multibyte locale. What ExpandSpecials writes (without
// form feeds and double quotes, which are not read back) must come back.
#include <locale.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/gnstring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  setlocale(LC_ALL, (data[0] & 1) ? "C.UTF-8" : "C");
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  text = text.c_str();  // the string's text ends at a NUL

  CGNString s(text.c_str());
  s.UnexpandSpecials();
  if (s.GetLength() > text.size()) abort();  // reading escapes never grows text

  if (text.find('\f') == std::string::npos && text.find('"') == std::string::npos) {
    CGNString round(text.c_str());
    round.ExpandSpecials();
    round.UnexpandSpecials();
    if (std::string(static_cast<const char*>(round), round.GetLength()) != text) abort();
  }
  return 0;
}
