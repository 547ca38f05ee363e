// gnutil detect and gnutil convert: the Japanese code set of files, and
// conversion of files or standard input between the code sets the library
// converts (Shift-JIS, EUC, JIS; Big5, EUC-TW).
//
// Conversion streams in chunks through the library's stream converter, which
// never splits a character or an escape sequence between chunks, so any
// size converts in constant memory and gives the bytes of a whole-text
// conversion. Output to a regular file goes to a temporary file beside it
// that is renamed over it only when everything succeeded: a failed or
// interrupted run leaves no partial file (see platform/stream_files.h).
#include <stdio.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "commands.h"
#include "genutil/codeset_names.h"
#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"
#include "platform/charset_stream.h"
#include "platform/stream_files.h"

namespace gnutil::tool {
namespace {

const char kDetectUsage[] =
    "usage: gnutil detect FILE...\n"
    "\n"
    "Prints, for each FILE ('-' for standard input), the Japanese code set that\n"
    "its bytes show: JIS, EUC, SJIS, EUC-or-SJIS (only characters valid in\n"
    "both) or none (no Japanese).\n";

const char kConvertUsage[] =
    "usage: gnutil convert --from NAME --to NAME [-o OUT] [FILE]\n"
    "\n"
    "Converts FILE (or standard input) to OUT (or standard output).\n"
    "\n"
    "  --from NAME  code set of the input: sjis, euc, jis, big5, euc-tw, utf8,\n"
    "               or auto to detect UTF-8 or Japanese (EUC is assumed when\n"
    "               the text is valid in both EUC and Shift-JIS)\n"
    "  --to NAME    code set of the output: sjis, euc, jis, big5, euc-tw, utf8\n"
    "  -o OUT       write to OUT; a regular file (or the target of a symbolic\n"
    "               link) keeps its permissions and is replaced only when the\n"
    "               conversion succeeds; a device or pipe is written directly\n"
    "\n"
    "Pairs: sjis<->euc, sjis->jis, euc->jis, jis->sjis, jis->euc, big5<->euc-tw,\n"
    "utf8<->each of the others (by the system's converter, on Linux), and any\n"
    "code set to itself. Names are taken in any case, '-' and '_' alike:\n"
    "also Shift_JIS, CP932, EUC-JP, eucJP, ujis, ISO-2022-JP, CP950, EUC_TW.\n";

constexpr int kAuto = -1;
constexpr int kUnknown = -2;

// The code set of a name in any of its usual spellings, kAuto, or kUnknown.
// "NONE" names no code set that converts.
int CodeSetOf(const std::string& name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "auto") return kAuto;
  int cs = CodeSetByName(name.c_str());
  return cs > 0 ? cs : kUnknown;
}

const char* CodeSetLabel(int cs) {
  switch (cs) {
    case CODESET_JIS:
      return "JIS";
    case CODESET_EUC_J:
      return "EUC";
    case CODESET_SJIS:
      return "SJIS";
    case CODESET_EUC_OR_SJIS:
      return "EUC-or-SJIS";
    case CODESET_BIG5:
      return "BIG5";
    case CODESET_EUC_TW:
      return "EUC-TW";
    default:
      return "none";
  }
}

bool IsJapanese(int cs) { return cs == CODESET_JIS || cs == CODESET_EUC_J || cs == CODESET_SJIS; }

// The system converter's name of a code set the tool converts to and from
// UTF-8; null for the others.
const char* IconvName(int cs) {
  switch (cs) {
    case CODESET_SJIS:
      return "SHIFT_JIS";
    case CODESET_EUC_J:
      return "EUC-JP";
    case CODESET_JIS:
      return "ISO-2022-JP";
    case CODESET_BIG5:
      return "BIG5";
    case CODESET_EUC_TW:
      return "EUC-TW";
    case CODESET_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Whether the rest of the stream is well-formed UTF-8 with at least one
// character beyond ASCII (ASCII alone, JIS included, is left to the Japanese
// detection). Reads to the end or to the first ill-formed sequence.
bool IsUtf8Text(FILE* in) {
  char buffer[1 << 16];
  size_t kept = 0;
  bool beyondAscii = false;
  for (;;) {
    size_t n = fread(buffer + kept, 1, sizeof buffer - kept, in);
    size_t avail = kept + n;
    bool end = n == 0;
    size_t pos = 0;
    while (pos < avail) {
      int len = mblenExt(buffer + pos, avail - pos, CODESET_UTF8);
      if (len == 0) len = 1;  // NUL
      if (len < 0) return false;
      if (static_cast<size_t>(len) > avail - pos) {
        if (end) return false;  // cut off by the end of the input
        break;
      }
      if (len > 1) beyondAscii = true;
      pos += static_cast<size_t>(len);
    }
    if (end) return beyondAscii;
    kept = avail - pos;
    std::memmove(buffer, buffer + pos, kept);
  }
}

// A stream that can be read twice (detection, then conversion), and the
// place to go back to: where it stood when we came, since standard input may
// have been partly read by the caller. Streams that cannot seek are copied
// into a temporary file first: disk, not memory.
FILE* Rewindable(FILE* in, fpos_t* start, std::string* error) {
  if (fseek(in, 0, SEEK_CUR) == 0 && fgetpos(in, start) == 0) return in;
  FILE* spool = tmpfile();
  if (spool == nullptr) {
    *error = std::string("cannot create a temporary file: ") + std::strerror(errno);
    return nullptr;
  }
  char buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
    if (fwrite(buffer, 1, n, spool) != n) {
      *error = "cannot write a temporary file";
      fclose(spool);
      return nullptr;
    }
  }
  if (ferror(in)) {
    *error = "error reading the input";
    fclose(spool);
    return nullptr;
  }
  rewind(spool);
  if (fgetpos(spool, start) != 0) {
    *error = "cannot read back a temporary file";
    fclose(spool);
    return nullptr;
  }
  return spool;
}

}  // namespace

int RunDetect(const Args& args) {
  if (args.empty()) return Fail("detect: give at least one FILE (see 'gnutil detect --help')");
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kDetectUsage, stdout);
      return FinishOutput("detect");
    }
    if (a.size() > 1 && a[0] == '-') return Fail("detect: unknown option '" + a + "'");
  }
  int status = 0;
  for (const std::string& path : args) {
    std::string error;
    FILE* f = OpenInput(path, &error);
    if (f == nullptr) {
      status = Fail("detect: " + error);
      continue;
    }
    int cs = DetectJPCodeType(f);
    bool failed = ferror(f) != 0;
    CloseInput(f);
    if (failed) {
      status = Fail("detect: error reading '" + path + "'");
      continue;
    }
    std::printf("%s: %s\n", path.c_str(), CodeSetLabel(cs));
  }
  int written = FinishOutput("detect");
  return status != 0 ? status : written;
}

int RunConvert(const Args& args) {
  std::string fromName, toName, outPath, inPath;
  bool haveOut = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= args.size()) return false;
      *v = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kConvertUsage, stdout);
      return FinishOutput("convert");
    } else if (a == "--from") {
      if (!value(&fromName)) return Fail("convert: --from needs a name");
    } else if (a.rfind("--from=", 0) == 0) {
      fromName = a.substr(7);
    } else if (a == "--to") {
      if (!value(&toName)) return Fail("convert: --to needs a name");
    } else if (a.rfind("--to=", 0) == 0) {
      toName = a.substr(5);
    } else if (a == "-o" || a == "--output") {
      if (!value(&outPath)) return Fail("convert: " + a + " needs a file name");
      haveOut = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("convert: unknown option '" + a + "'");
    } else if (inPath.empty()) {
      inPath = a;
    } else {
      return Fail("convert: only one FILE may be given");
    }
  }
  if (fromName.empty() || toName.empty()) {
    return Fail("convert: --from and --to are required (see 'gnutil convert --help')");
  }
  int from = CodeSetOf(fromName);
  int to = CodeSetOf(toName);
  if (from == kUnknown) return Fail("convert: unknown code set '" + fromName + "'");
  if (to == kUnknown || to == kAuto) return Fail("convert: unknown code set '" + toName + "'");
  if (from == kAuto && !IsJapanese(to) && to != CODESET_UTF8) {
    return Fail(
        "convert: --from auto detects UTF-8 and Japanese only; give the code set of the input");
  }
  bool viaUtf8 = from == CODESET_UTF8 || to == CODESET_UTF8;
  bool convertible = viaUtf8 ? IconvName(from) != nullptr && IconvName(to) != nullptr
                             : ConversionFor(from, to) != Conversion::kCopy;
  if (from != kAuto && from != to && !convertible) {
    return Fail("convert: cannot convert from " + fromName + " to " + toName);
  }
  if (haveOut && outPath.empty()) return Fail("convert: -o needs a file name");

  bool fromStdin = inPath.empty() || inPath == "-";
  std::string error;
  FILE* in = OpenInput(inPath, &error);
  if (in == nullptr) return Fail("convert: " + error);
  FILE* source = in;
  if (from == kAuto) {
    fpos_t start;
    source = Rewindable(in, &start, &error);
    if (source == nullptr) {
      CloseInput(in);
      return Fail("convert: " + error);
    }
    int detected = IsUtf8Text(source) ? CODESET_UTF8 : CODESET_NONE;
    clearerr(source);
    if (detected == CODESET_NONE && fsetpos(source, &start) == 0) {
      detected = DetectJPCodeType(source);
      clearerr(source);
    }
    if (fsetpos(source, &start) != 0) {
      if (source != in) fclose(source);
      CloseInput(in);
      return Fail("convert: cannot go back to the start of the input");
    }
    if (detected == CODESET_EUC_OR_SJIS) {
      std::fprintf(stderr,
                   "gnutil: convert: input is valid as EUC and as Shift-JIS; read as EUC\n");
      detected = CODESET_EUC_J;
    }
    from = detected == CODESET_NONE ? to : detected;  // no Japanese: nothing to convert
  }
  Conversion conversion = ConversionFor(from, to);

  FILE* out = stdout;
  platform::OutputFile* file = nullptr;
  if (haveOut) {
    file = platform::OpenOutputFile(outPath.c_str(), &error);
    if (file == nullptr) {
      if (source != in) fclose(source);
      CloseInput(in);
      return Fail("convert: cannot write '" + outPath + "': " + error);
    }
    out = platform::OutputStream(file);
  }
  bool ok = true;
  bool readError = false;
  if (from != to && (from == CODESET_UTF8 || to == CODESET_UTF8)) {
    unsigned long long at = 0;
    platform::CharsetResult r =
        platform::ConvertCharsetStream(IconvName(from), IconvName(to), source, out, &at);
    if (r == platform::CharsetResult::kWriteError) ok = false;
    if (r == platform::CharsetResult::kReadError) readError = true;
    if (r == platform::CharsetResult::kUnavailable || r == platform::CharsetResult::kInvalid) {
      if (source != in) fclose(source);
      CloseInput(in);
      if (file != nullptr) platform::AbandonOutputFile(file);
      return Fail(r == platform::CharsetResult::kUnavailable
                      ? "convert: this system cannot convert from " + fromName + " to " + toName
                      : "convert: byte " + std::to_string(at) +
                            " of the input is no character of the input's code set or has no "
                            "form in the output's");
    }
  } else {
    ok = ConvertStream(conversion, source, out);
  }
  readError = readError || ferror(source) != 0;
  if (source != in) fclose(source);
  CloseInput(in);
  if (readError) {
    if (file != nullptr) platform::AbandonOutputFile(file);
    return Fail("convert: error reading '" + (fromStdin ? std::string("-") : inPath) + "'");
  }
  if (file == nullptr) {
    int written = FinishOutput("convert");
    return ok ? written : 1;
  }
  if (!ok) {
    platform::AbandonOutputFile(file);
    std::fprintf(stderr, "gnutil: convert: cannot write '%s'\n", outPath.c_str());
    return 1;
  }
  if (!platform::CommitOutputFile(file, &error)) {
    std::fprintf(stderr, "gnutil: convert: cannot write '%s': %s\n", outPath.c_str(),
                 error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace gnutil::tool
