// Settings that reach a locale record from files and the profile: the older
// format notation, the language abbreviation, and (Linux) a date pattern
// turned into the Windows notation.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "gnutil/lclocale.h"
#include "locale/lclocale_internal.h"
#include "platform/posix/localeinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string cut = text.substr(0, text.find('\0'));
  CLCLocale l;
  CGNString s(cut.c_str());
  l.m_dateSep = s;
  l.ConvertOldImportLongDateFormat(s);
  l.ConvertOldImportShortDateFormat(s);
  int languageClass = 0, languageName = 0;
  gnutil::ClassifyLanguage(cut.c_str(), &languageClass, &languageName);
  gnutil::platform::WindowsPicture(text);
  return 0;
}
