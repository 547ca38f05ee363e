// Prints what Wine made of the Windows user it runs as, one "key=value" per
// line, so that the Wine test runner can refuse to test the wrong user: Wine
// takes the user from the Unix locale and quietly falls back to English
// (code page 1252) when that locale is not installed.
#include <locale.h>
#include <stdio.h>
#include <windows.h>

int main() {
  const char* name = setlocale(LC_ALL, "");
  printf("acp=%u\n", GetACP());
  printf("langid=0x%04x\n", static_cast<unsigned>(GetUserDefaultLangID()));
  printf("locale=%s\n", name != nullptr ? name : "(none)");
  return 0;
}
