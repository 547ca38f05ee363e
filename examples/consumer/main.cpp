// Uses the installed library through its umbrella header: the version of the
// headers and of the library the loader found, the program's own strings and
// the library's message texts shipped beside the program.
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

  // Compiled with one version, running with another: the SONAME keeps the
  // major the same; a library older than the headers may lack what they
  // declare.
  std::printf("gnutil headers %s, library %s%s\n", GNUTIL_VERSION_STRING, gnutil::LibraryVersion(),
              gnutil::LibraryVersionCompatible() ? "" : " (older than the headers!)");

  // The library's own texts: ResDLLs/<user's language>, then its primary
  // language (0009 for every English user). Without them its messages are
  // empty.
  CGNString path, title;
  if (OSAttachLocaleResDLL(0, "gnutilres" GNUTIL_RESLIB_SUFFIX, path) != 0 &&
      OSLoadString(title, 25203) > 0) {
    std::printf("library messages: %s (%s)\n", static_cast<const char*>(title),
                static_cast<const char*>(path));
  } else {
    std::printf("library messages: not found for this user's language (last tried %s)\n",
                static_cast<const char*>(path));
  }
  return gnutil::LibraryVersionCompatible() ? 0 : 1;
}
