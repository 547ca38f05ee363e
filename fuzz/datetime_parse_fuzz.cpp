// The free-form date-time parser on arbitrary text, in US English, German and
// Japanese (Shift-JIS, with era names and unit markers) settings: texts at
// and past the 127-byte limit, cut multibyte characters, any bytes. A parse
// must never crash, and a successful one must give a value inside the
// supported range whose display text is not empty.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"
#include "gnutil/mbutil.h"

namespace {

void Configure(uint8_t choice) {
  CLCLocale& l = *CLCGlobalLocale::Instance();
  switch (choice % 3) {
    case 0:
      InitMbutilExt(CODESET_NONE);
      l.Customize("h:mm:ss tt", "M/d/yy", "dddd, MMMM dd, yyyy", 1, "", 0, 0, "", "", "",
                  l.m_localeName);
      l.m_langName = LANGNAME_ENGLISH;
      l.m_dateSep = "/";
      l.m_amString = "AM";
      l.m_pmString = "PM";
      break;
    case 1:
      InitMbutilExt(CODESET_NONE);
      l.Customize("HH:mm:ss", "dd.MM.yyyy", "dddd, d. MMMM yyyy", 2, "", 0, 0, "", "", "",
                  l.m_localeName);
      l.m_langName = LANGNAME_GERMAN;
      l.m_dateSep = ".";
      l.m_amString = "";
      l.m_pmString = "";
      break;
    default:
      InitMbutilExt(CODESET_SJIS);
      l.Customize("H:mm:ss", "yyyy/MM/dd", "ggyy'\x94\x4E'M'\x8C\x8E'd'\x93\xFA'", 2, "", 0, 0, "",
                  "", "", l.m_localeName);
      l.m_langName = LANGNAME_JAPANESE;
      l.m_dateSep = "/";
      l.m_amString = "\x8C\xDF\x91\x4F";
      l.m_pmString = "\x8C\xDF\x8C\xE3";
      break;
  }
  l.m_calendarType = (choice & 4) ? 3 : 1;
  l.m_ampmPrefix = (choice & 8) ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static bool initialised = false;
  if (!initialised) {
    InitMbutil();  // before the code set is chosen: its first use resets it
    CLCGlobalLocale::Instance();
    initialised = true;
  }
  Configure(data[0]);
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  CGNString input(text.c_str());
  CGNDateTime value;
  unsigned char noTime = 7;
  if (value.parseDateTime(input, &noTime, 1 + data[0] % 3)) {
    long secs = value.GetSecsFrom70();
    if (secs < -86400L || secs > 2147483647L) abort();
    if (value.GetDateTimeRangeStatus() != 1 || noTime > 1) abort();
    CGNString display;
    value.GetDisplayBuffer(display);
    if (display.IsEmpty()) abort();
  } else {
    long status = value.GetDateTimeRangeStatus();
    if (status < 1 || status > 5) abort();
  }
  // The word splitters and the time reader take text of any length.
  CGNString word, rest;
  value.extractDateWord(input, word, rest);
  value.extractTimeWord(input, word, rest);
  value.parseTime(input);
  return 0;
}
