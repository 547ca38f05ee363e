// Uses the installed library through its umbrella header.
#include <gnutil/gnutil.h>

#include <cstdio>

int main() {
  CGNString s("consumer");
  s += " ok";
  InitMbutil();
  InitMbutilExt(CODESET_SJIS);
  int len = mb_mblen("\x82\xA0", 2);
  if (s != "consumer ok" || len != 2 || mbGetCodeSet("EUC_J") != CODESET_EUC_J) {
    std::puts("consumer: FAILED");
    return 1;
  }
  std::printf("%s (%u bytes)\n", static_cast<const char*>(s), s.GetLength());
  return 0;
}
