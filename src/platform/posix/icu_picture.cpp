// ICU date and time patterns in the Windows picture notation (see
// posix/localeinfo.h): the one place that knows both notations' letters.
#include <string>

#include "platform/posix/localeinfo.h"

namespace gnutil::platform {

std::string WindowsPicture(const std::string& icu) {
  std::string out;
  std::string quoted;  // literal text waiting for its quotes
  auto flushQuoted = [&]() {
    if (!quoted.empty()) out += "'" + quoted + "'";
    quoted.clear();
  };
  auto literal = [&](const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      // CLDR puts no-break spaces (U+00A0, U+202F) where Windows has a blank.
      if (text.compare(i, 3, "\xE2\x80\xAF") == 0 || text.compare(i, 2, "\xC2\xA0") == 0) {
        flushQuoted();
        out += ' ';
        i += c == 0xE2 ? 2 : 1;
        continue;
      }
      // Letters must be quoted or they would be fields; other text, CJK
      // characters included, stands as it is, as the system gives it.
      if (IsPatternLetter(static_cast<char>(c))) {
        quoted += static_cast<char>(c);
      } else if (c == '\'') {
        flushQuoted();
        out += "''";
      } else {
        flushQuoted();
        out += static_cast<char>(c);
      }
    }
  };
  for (size_t i = 0; i < icu.size();) {
    char c = icu[i];
    if (c == '\'') {
      if (i + 1 < icu.size() && icu[i + 1] == '\'') {
        literal("'");
        i += 2;
        continue;
      }
      std::string text;
      size_t j = i + 1;
      for (; j < icu.size(); ++j) {
        if (icu[j] == '\'') {
          if (j + 1 < icu.size() && icu[j + 1] == '\'') {
            text += '\'';
            ++j;
            continue;
          }
          break;
        }
        text += icu[j];
      }
      literal(text);
      i = j + 1;
      continue;
    }
    if (!IsPatternLetter(c)) {
      size_t end = i;
      while (end < icu.size() && !IsPatternLetter(icu[end]) && icu[end] != '\'') ++end;
      literal(icu.substr(i, end - i));
      i = end;
      continue;
    }
    size_t run = 1;
    while (i + run < icu.size() && icu[i + run] == c) ++run;
    i += run;
    std::string field;
    switch (c) {
      case 'y':
      case 'Y':
      case 'u':
        field = run == 2 ? "yy" : "yyyy";
        break;
      case 'M':
      case 'L':
        field = std::string(run > 4 ? 4 : run, 'M');
        break;
      case 'd':
        field = std::string(run > 2 ? 2 : run, 'd');
        break;
      case 'E':
      case 'c':
      case 'e':
        field = run >= 4 ? "dddd" : "ddd";
        break;
      case 'a':
      case 'b':
      case 'B':
        field = "tt";
        break;
      case 'h':
      case 'K':
        field = std::string(run > 2 ? 2 : run, 'h');
        break;
      case 'H':
      case 'k':
        field = std::string(run > 2 ? 2 : run, 'H');
        break;
      case 'm':
        field = std::string(run > 2 ? 2 : run, 'm');
        break;
      case 's':
        field = std::string(run > 2 ? 2 : run, 's');
        break;
      case 'G':
        field = "gg";
        break;
      default:
        // Zones, fractions of seconds and the like have no Windows form:
        // they go, with the blank that separated them.
        if (!out.empty() && quoted.empty() && out.back() == ' ') out.pop_back();
        continue;
    }
    flushQuoted();
    out += field;
  }
  flushQuoted();
  return out;
}

}  // namespace gnutil::platform
