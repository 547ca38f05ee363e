#include "terminal.h"

#include <cstdio>

#include "gnutil/codestream.h"
#include "gnutil/mbutil.h"

namespace gnutil::tool {

// The code set that InitMbutil chose for the process locale (the library
// has no plain getter: setting returns the previous one).
int LibraryCodeSet() {
  int current = InitMbutilExt(CODESET_NONE);
  InitMbutilExt(current);
  return current;
}

int TerminalCodeSet() {
  static const int terminal = LibraryCodeSet();
  return terminal;
}

std::string ForTerminal(const std::string& text, int codeSet) {
  int terminal = TerminalCodeSet();
  if (codeSet == terminal) return text;
  CodeConverter converter(codeSet, terminal, InvalidBytes::kFail);
  std::string out;
  if (converter.Convert(text.data(), text.size(), &out).status == CodeStatus::kOk &&
      converter.Finish(&out).status == CodeStatus::kOk) {
    return out;
  }
  // What the terminal cannot show: each run of bytes outside ASCII in hex.
  std::string shown;
  bool inRun = false;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      shown += inRun ? ">" : "";
      shown += static_cast<char>(c);
      inRun = false;
      ++i;
      continue;
    }
    // The whole character, trailing bytes in ASCII's range included.
    int n = mblenExt(text.c_str() + i, text.size() - i, codeSet);
    for (size_t end = i + static_cast<size_t>(n < 1 ? 1 : n); i < end; ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%s%02X", inRun ? " " : "<",
                    static_cast<unsigned char>(text[i]));
      shown += byte;
      inRun = true;
    }
  }
  return inRun ? shown + ">" : shown;
}

std::string JapaneseForTerminal(const std::string& text, int codeSet) {
  bool holds = codeSet == CODESET_SJIS || codeSet == CODESET_EUC_J || codeSet == CODESET_UTF8;
  return ForTerminal(text, holds ? codeSet : CODESET_SJIS);
}

}  // namespace gnutil::tool
