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
#if defined(CONSUMER_HAS_STRINGS)
  CGNString text;
  if (OSLoadString(text, 1) != 16 || text != "consumer strings") {
    std::puts("consumer: program strings FAILED");
    return 1;
  }
#endif
  std::printf("%s (%u bytes)\n", static_cast<const char*>(s), s.GetLength());
  return 0;
}
