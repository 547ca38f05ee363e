// The format-driven date reader and the time scanner on arbitrary patterns
// and texts, in US English and Japanese (Shift-JIS) settings. The input is
// the pattern, a NUL byte, then the text. A failed read must leave the
// working date as it was and hand the whole text back as the rest.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"
#include "gnutil/mbutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static bool initialised = false;
  if (!initialised) {
    InitMbutil();  // before the code set is chosen: its first use resets it
    CLCGlobalLocale::Instance();
    initialised = true;
  }
  CLCLocale& l = *CLCGlobalLocale::Instance();
  bool japanese = data[0] & 1;
  InitMbutilExt(japanese ? CODESET_SJIS : CODESET_NONE);
  l.m_langName = japanese ? LANGNAME_JAPANESE : LANGNAME_ENGLISH;
  l.m_calendarType = (data[0] & 2) ? 3 : 1;
  l.m_24HourTime = (data[0] & 4) ? 1 : 0;
  l.m_ampmPrefix = (data[0] & 8) ? 1 : 0;
  l.m_dateSep = (data[0] & 16) ? "-" : "/";
  std::string all(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t cut = all.find('\0');
  std::string pattern = all.substr(0, cut);
  std::string text = cut == std::string::npos ? std::string() : all.substr(cut + 1);
  text = text.c_str();  // up to the next NUL

  CGNDateTime value;
  tm before;
  value.parseTime("0", &before);
  CGNString rest;
  if (!value.GetDateFromStringUsingFormat(text.c_str(), rest, pattern.c_str())) {
    tm after;
    value.parseTime("0", &after);
    if (after.tm_mday != before.tm_mday || after.tm_mon != before.tm_mon ||
        after.tm_year != before.tm_year)
      abort();
    if (std::string(rest) != text) abort();
  } else if (std::string(rest).size() > text.size()) {
    abort();
  }
  value.GetTimeFromString(text.c_str(), rest);
  if (std::string(rest).size() > text.size()) abort();
  return 0;
}
