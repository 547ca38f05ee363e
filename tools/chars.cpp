// gnutil chars: shows where the library's character rules put the boundaries
// of a text, byte by byte, so that a user can see how a file will be cut.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "gnutil/codesets.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "options.h"

namespace gnutil::tool {
namespace {

const char kCharsUsage[] =
    "usage: gnutil chars [-c|--codeset NAME] [FILE]\n"
    "\n"
    "Walks FILE (or standard input) character by character and prints each\n"
    "character's byte offset, length and bytes in hex, then the totals.\n"
    "\n"
    "  -c, --codeset NAME\n"
    "                  code set to walk by: SJIS (Shift_JIS, CP932), EUC_J (EUC-JP),\n"
    "                  JIS (ISO-2022-JP), GB (GBK), EUC_C (EUC-CN), BIG5 (CP950),\n"
    "                  EUC_TW, KSC_5601_87, KSC_5601_92 (CP949), EUC_K (EUC-KR),\n"
    "                  8859_2..8859_10 (ISO-8859-n), 1250..1258 (CP125n), or NONE\n"
    "                  for single bytes; any case, '-' and '_' alike.\n"
    "                  Default: the code set of the process locale.\n"
    "\n"
    "A NUL byte counts as one character in both totals.\n";

// What CGNString::GetNumChars gives for the whole text, counted piece by
// piece: the wide units of text valid in the process locale, or its bytes
// when any part is not. A NUL, which ends a string, is counted here as one
// character (as the code-set column counts it) and the text after it goes on
// being counted, so that both columns describe the same bytes.
class LocaleCounter {
 public:
  // Counts n bytes at s. Unless this is the last piece, a character cut at
  // the end is kept back and counted with the next piece.
  void Add(const char* s, size_t n, bool last) {
    bytes_ += n;
    if (invalid_) return;
    pending_.append(s, n);
    size_t start = 0;
    for (size_t nul; (nul = pending_.find('\0', start)) != std::string::npos; start = nul + 1) {
      if (!Count(pending_.data() + start, nul - start)) return;
      ++units_;
    }
    size_t rest = pending_.size() - start;
    size_t kept = 0;
    if (last) {
      if (!Count(pending_.data() + start, rest)) return;
    } else {
      // The longest character of the locales this runs in is 4 bytes: a piece
      // that is not valid without its last 3 bytes has invalid text.
      while (kept < rest && kept < 3 && Units(pending_.data() + start, rest - kept) == kInvalid) {
        ++kept;
      }
      if (!Count(pending_.data() + start, rest - kept)) return;
    }
    pending_.erase(0, pending_.size() - kept);
  }

  size_t Total() const { return invalid_ ? bytes_ : units_; }

 private:
  static constexpr size_t kInvalid = kNotLocaleText;

  static size_t Units(const char* s, size_t n) { return CountLocaleChars(s, n); }

  // Adds the units of a NUL-free piece. Invalid bytes anywhere make the whole
  // text count by bytes, as GetNumChars does.
  bool Count(const char* s, size_t n) {
    size_t units = Units(s, n);
    if (units == kInvalid) {
      invalid_ = true;
      pending_.clear();
      return false;
    }
    units_ += units;
    return true;
  }

  std::string pending_;
  size_t units_ = 0;
  size_t bytes_ = 0;
  bool invalid_ = false;
};

// One line "offset  len  bytes" as printf("%6zu  %3d  %02x...") would
// write it, without the cost of a printf call per byte on long texts.
void PrintCharacter(size_t offset, const char* bytes, int len) {
  static const char kHex[] = "0123456789abcdef";
  char line[96];
  int n = std::snprintf(line, sizeof line, "%6zu  %3d ", offset, len);
  for (int k = 0; k < len && n + 4 < static_cast<int>(sizeof line); ++k) {
    unsigned char b = static_cast<unsigned char>(bytes[k]);
    line[n++] = ' ';
    line[n++] = kHex[b >> 4];
    line[n++] = kHex[b & 15];
  }
  line[n++] = '\n';
  std::fwrite(line, 1, static_cast<size_t>(n), stdout);
}

}  // namespace

int RunChars(const Args& args) {
  enum { kCodeset = 'c' };
  const CommandSyntax syntax{"chars", kCharsUsage, {{"codeset", 'c', true, kCodeset}}};
  CommandLine line;
  int status = ParseCommandLine(syntax, args, &line);
  if (status != kGoOn) return status;
  std::string codesetName;
  bool haveCodeset = false;
  for (const ParsedOption& o : line.options) {
    if (o.id == kCodeset) {
      codesetName = o.value;
      haveCodeset = true;
    }
  }
  if (line.operands.size() > 1) return UsageError("chars", "only one FILE may be given");
  std::string file = line.operands.empty() ? std::string() : line.operands[0];

  InitMbutil();
  int codeset = CODESET_NONE;
  if (haveCodeset) {
    codeset = CodeSetByName(codesetName.c_str());
    if (codeset < 0) return UsageError("chars", "unknown code set '" + codesetName + "'");
    InitMbutilExt(codeset);
  } else {
    // The API reports the current code set only as the previous one.
    codeset = InitMbutilExt(CODESET_NONE);
    InitMbutilExt(codeset);
  }

  std::string error;
  FILE* in = OpenInput(file, &error);
  if (in == nullptr) return DataError("chars", error);

  std::printf("code set: %d%s\n", codeset, haveCodeset ? "" : " (from the process locale)");
  std::printf("offset  len  bytes\n");
  // The text streams through a window; a character is only measured with at
  // least kLookahead bytes after its start, or at the end of the input, so no
  // character (or JIS escape) is cut at the window's edge.
  constexpr size_t kWindow = 1 << 16;
  constexpr size_t kLookahead = 16;
  std::vector<char> window(kWindow);
  size_t filled = 0;
  size_t pos = 0;
  size_t offset = 0;  // of window[0] in the input
  size_t count = 0;
  size_t invalid = 0;  // bytes that start no character of the code set
  size_t firstInvalid = 0;
  bool end = false;
  LocaleCounter byLocale;
  for (;;) {
    if (!end && filled - pos < kLookahead) {
      byLocale.Add(window.data(), pos, false);
      filled -= pos;
      std::memmove(window.data(), window.data() + pos, filled);
      offset += pos;
      pos = 0;
      while (!end && filled < kWindow) {
        size_t n = std::fread(window.data() + filled, 1, kWindow - filled, in);
        filled += n;
        if (n == 0) end = true;
      }
    }
    if (pos >= filled) break;
    size_t avail = filled - pos;
    int len = mblenExt(window.data() + pos, avail, codeset);
    if (len < 0 || static_cast<size_t>(len) > avail) {
      // A byte that starts no character, or one cut off by the end.
      if (invalid++ == 0) firstInvalid = offset + pos;
    }
    if (len < 1) len = 1;  // invalid bytes and NULs count one byte each
    if (static_cast<size_t>(len) > avail) len = static_cast<int>(avail);
    PrintCharacter(offset + pos, window.data() + pos, len);
    pos += static_cast<size_t>(len);
    ++count;
  }
  byLocale.Add(window.data(), pos, true);
  bool readError = std::ferror(in) != 0;
  CloseInput(in);
  if (readError) {
    return DataError("chars", "error reading '" + (file.empty() ? std::string("-") : file) + "'");
  }
  std::printf("bytes: %zu\n", offset + pos);
  std::printf("characters: %zu by the code-set rules, %zu by the process locale (GetNumChars)\n",
              count, byLocale.Total());
  if (invalid != 0) {
    // Most often the text is in another code set than the one walked (a
    // Shift-JIS file in a UTF-8 locale): say so rather than show a walk that
    // looks plausible.
    std::fprintf(stderr,
                 "gnutil: chars: warning: %zu byte%s not valid in code set %s (the first at "
                 "byte %zu); give the text's code set with --codeset (see 'gnutil detect')\n",
                 invalid, invalid == 1 ? " is" : "s are", CodeSetLabel(codeset), firstInvalid);
  }
  return FinishOutput("chars");
}

}  // namespace gnutil::tool
