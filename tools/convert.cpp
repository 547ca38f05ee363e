// gnutil detect and gnutil convert: the Japanese code set of files, and
// conversion of files or standard input between the code sets the library
// converts (Shift-JIS, EUC, JIS; Big5, EUC-TW).
//
// Conversion streams in chunks through the library's stream converter, which
// never splits a character or an escape sequence between chunks, so any
// size converts in constant memory and gives the bytes of a whole-text
// conversion. Output to a file goes to a temporary file beside it that is
// renamed only when everything succeeded: a failed run leaves no partial file.
#include <stdio.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "commands.h"
#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

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
    "  --from NAME  code set of the input: sjis, euc, jis, big5, euc-tw, or\n"
    "               auto to detect Japanese (EUC is assumed when the text is\n"
    "               valid in both EUC and Shift-JIS)\n"
    "  --to NAME    code set of the output: sjis, euc, jis, big5, euc-tw\n"
    "  -o OUT       write to OUT; it is replaced only when the conversion succeeds\n"
    "\n"
    "Pairs: sjis<->euc, sjis->jis, euc->jis, jis->sjis, jis->euc, big5<->euc-tw,\n"
    "and any code set to itself. Aliases: shift_jis, cp932, euc-jp, ujis,\n"
    "iso-2022-jp, cp950, euc_tw.\n";

constexpr int kAuto = -1;
constexpr int kUnknown = -2;

// Lower-case letters and digits only: "EUC-JP", "euc_jp" and "eucjp" agree.
std::string Normalise(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

int CodeSetByName(const std::string& name) {
  struct Alias {
    const char* name;
    int codeset;
  };
  static const Alias kAliases[] = {
      {"sjis", CODESET_SJIS},    {"shiftjis", CODESET_SJIS},
      {"cp932", CODESET_SJIS},   {"ms932", CODESET_SJIS},
      {"euc", CODESET_EUC_J},    {"eucj", CODESET_EUC_J},
      {"eucjp", CODESET_EUC_J},  {"ujis", CODESET_EUC_J},
      {"jis", CODESET_JIS},      {"iso2022jp", CODESET_JIS},
      {"big5", CODESET_BIG5},    {"cp950", CODESET_BIG5},
      {"euctw", CODESET_EUC_TW}, {"auto", kAuto},
  };
  std::string n = Normalise(name);
  for (const Alias& a : kAliases) {
    if (n == a.name) return a.codeset;
  }
  return kUnknown;
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

std::string Reason(const std::string& path) {
  return "cannot read '" + path + "': " + std::strerror(errno);
}

// A stream that can be read twice (detection, then conversion). Standard
// input and other streams that cannot seek are copied into a temporary file
// first: disk, not memory.
FILE* Rewindable(FILE* in, std::string* error) {
  if (fseek(in, 0, SEEK_CUR) == 0 && ftell(in) >= 0) return in;
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
  return spool;
}

// A name beside `target` that does not exist yet.
std::string TemporaryBeside(const std::string& target) {
  std::error_code ec;
  for (int i = 0;; ++i) {
    std::string name = target + ".gnutil-part" + std::to_string(i);
    if (!std::filesystem::exists(name, ec)) return name;
  }
}

}  // namespace

int RunDetect(const Args& args) {
  if (args.empty()) return Fail("detect: give at least one FILE (see 'gnutil detect --help')");
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kDetectUsage, stdout);
      return 0;
    }
    if (a.size() > 1 && a[0] == '-') return Fail("detect: unknown option '" + a + "'");
  }
  int status = 0;
  for (const std::string& path : args) {
    FILE* f = path == "-" ? stdin : fopen(path.c_str(), "rb");
    if (f == nullptr) {
      status = Fail("detect: " + Reason(path));
      continue;
    }
    int cs = DetectJPCodeType(f);
    bool failed = ferror(f) != 0;
    if (f != stdin) fclose(f);
    if (failed) {
      status = Fail("detect: error reading '" + path + "'");
      continue;
    }
    std::printf("%s: %s\n", path.c_str(), CodeSetLabel(cs));
  }
  return status;
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
      return 0;
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
  int from = CodeSetByName(fromName);
  int to = CodeSetByName(toName);
  if (from == kUnknown) return Fail("convert: unknown code set '" + fromName + "'");
  if (to == kUnknown || to == kAuto) return Fail("convert: unknown code set '" + toName + "'");
  if (from == kAuto && !IsJapanese(to)) {
    return Fail("convert: --from auto detects Japanese only; give the code set of the input");
  }
  if (from != kAuto && from != to && ConversionFor(from, to) == Conversion::kCopy) {
    return Fail("convert: cannot convert from " + fromName + " to " + toName);
  }
  if (haveOut && outPath.empty()) return Fail("convert: -o needs a file name");

  bool fromStdin = inPath.empty() || inPath == "-";
  FILE* in = fromStdin ? stdin : fopen(inPath.c_str(), "rb");
  if (in == nullptr) return Fail("convert: " + Reason(inPath));
  FILE* source = in;
  if (from == kAuto) {
    std::string error;
    source = Rewindable(in, &error);
    if (source == nullptr) {
      if (!fromStdin) fclose(in);
      return Fail("convert: " + error);
    }
    int detected = DetectJPCodeType(source);
    rewind(source);
    if (detected == CODESET_EUC_OR_SJIS) {
      std::fprintf(stderr,
                   "gnutil: convert: input is valid as EUC and as Shift-JIS; read as EUC\n");
      detected = CODESET_EUC_J;
    }
    from = detected == CODESET_NONE ? to : detected;  // no Japanese: nothing to convert
  }
  Conversion conversion = ConversionFor(from, to);

  FILE* out = stdout;
  std::string temporary;
  if (haveOut) {
    temporary = TemporaryBeside(outPath);
    out = fopen(temporary.c_str(), "wb");
    if (out == nullptr) {
      std::string reason = std::strerror(errno);
      if (source != in) fclose(source);
      if (!fromStdin) fclose(in);
      return Fail("convert: cannot write '" + outPath + "': " + reason);
    }
  }
  bool ok = ConvertStream(conversion, source, out);
  bool readError = ferror(source) != 0;
  if (source != in) fclose(source);
  if (!fromStdin) fclose(in);
  if (haveOut) {
    if (fclose(out) != 0) ok = false;
    std::error_code ec;
    if (ok) {
      std::filesystem::rename(temporary, outPath, ec);
      if (ec) {
        std::filesystem::remove(temporary, ec);
        return Fail("convert: cannot write '" + outPath + "'");
      }
    } else {
      std::filesystem::remove(temporary, ec);
    }
  } else if (fflush(stdout) != 0) {
    ok = false;
  }
  if (!ok) {
    return Fail(readError
                    ? "convert: error reading '" + (fromStdin ? std::string("-") : inPath) + "'"
                    : "convert: error writing the output");
  }
  return 0;
}

}  // namespace gnutil::tool
