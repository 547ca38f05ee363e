// gnutil chars: shows where the library's character rules put the boundaries
// of a text, byte by byte, so that a user can see how a file will be cut.
#include <cstdio>
#include <string>

#include "commands.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"

namespace gnutil::tool {
namespace {

const char kCharsUsage[] =
    "usage: gnutil chars [--codeset NAME] [FILE]\n"
    "\n"
    "Walks FILE (or standard input) character by character and prints each\n"
    "character's byte offset, length and bytes in hex, then the totals.\n"
    "\n"
    "  --codeset NAME  code set to walk by: a name such as SJIS, EUC_J, JIS, GB,\n"
    "                  EUC_C, BIG5, EUC_TW, KSC_5601_87, KSC_5601_92, EUC_K,\n"
    "                  8859_2..8859_10, 1250..1258, or NONE for single bytes.\n"
    "                  Default: the code set of the process locale.\n";

}  // namespace

int RunChars(const Args& args) {
  std::string file;
  std::string codesetName;
  bool haveCodeset = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kCharsUsage, stdout);
      return 0;
    } else if (a == "--codeset") {
      if (i + 1 >= args.size()) return Fail("--codeset needs a name");
      codesetName = args[++i];
      haveCodeset = true;
    } else if (a.rfind("--codeset=", 0) == 0) {
      codesetName = a.substr(10);
      haveCodeset = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("chars: unknown option '" + a + "'");
    } else if (file.empty()) {
      file = a;
    } else {
      return Fail("chars: only one FILE may be given");
    }
  }

  InitMbutil();
  int codeset = CODESET_NONE;
  if (haveCodeset) {
    codeset = mbGetCodeSet(codesetName.c_str());
    if (codeset == CODESET_NONE && codesetName != "NONE") {
      return Fail("chars: unknown code set '" + codesetName + "'");
    }
    InitMbutilExt(codeset);
  } else {
    // The API reports the current code set only as the previous one.
    codeset = InitMbutilExt(CODESET_NONE);
    InitMbutilExt(codeset);
  }

  std::string text;
  std::string error;
  if (!ReadInput(file, &text, &error)) return Fail(error);

  std::printf("code set: %d%s\n", codeset, haveCodeset ? "" : " (from the process locale)");
  std::printf("offset  len  bytes\n");
  size_t count = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t avail = text.size() - pos;
    int len = mblenExt(text.data() + pos, avail, codeset);
    if (len < 1) len = 1;  // invalid bytes and NULs count one byte each
    if (static_cast<size_t>(len) > avail) len = static_cast<int>(avail);
    std::printf("%6zu  %3d ", pos, len);
    for (int k = 0; k < len; ++k) {
      std::printf(" %02x", static_cast<unsigned char>(text[pos + static_cast<size_t>(k)]));
    }
    std::printf("\n");
    pos += static_cast<size_t>(len);
    ++count;
  }
  CGNString value(text.c_str());
  std::printf("bytes: %zu\n", text.size());
  std::printf("characters: %zu by the code-set rules, %u by the process locale (GetNumChars)\n",
              count, value.GetNumChars());
  return 0;
}

}  // namespace gnutil::tool
