// Installed locales and the process locale on Windows: the system's own
// enumeration, the runtime's setlocale.
#include "platform/localeinfo.h"

#include <locale.h>
#include <stdlib.h>
#include <windows.h>

namespace gnutil::platform {
namespace {

// EnumSystemLocalesA's callback takes no context of its own; the enumeration
// is not to run on two threads at once (the table is filled before threads).
InstalledLocaleVisitor g_visit = nullptr;
void* g_context = nullptr;

BOOL CALLBACK OneLocale(LPSTR hexId) {
  if (hexId != nullptr && g_visit != nullptr) g_visit(g_context, strtoul(hexId, nullptr, 16), "");
  return TRUE;
}

}  // namespace

long GetLocaleInfoText(unsigned long lcid, unsigned long type, char* buffer, int size) {
  return GetLocaleInfoA(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), buffer, size);
}

void EnumerateInstalledLocales(InstalledLocaleVisitor visit, void* context) {
  g_visit = visit;
  g_context = context;
  EnumSystemLocalesA(OneLocale, LCID_INSTALLED);
  g_visit = nullptr;
  g_context = nullptr;
}

bool SetProcessLocale(const char* name) {
  setlocale(LC_ALL, nullptr);
  return setlocale(LC_ALL, name) != nullptr;
}

std::string DefaultLanguageAbbreviation() { return std::string(); }

bool FixedTextsFollowProcessLocale() { return false; }

}  // namespace gnutil::platform
