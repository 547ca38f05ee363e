// gnutil detect and gnutil convert: the Japanese code set of files, and
// conversion of files or standard input between the code sets the library
// converts (Shift-JIS, EUC, JIS; Big5, EUC-TW; UTF-8 where the system
// converts it).
//
// Conversion streams through the library's stream converter, which never
// splits a character or an escape sequence between chunks, so any size
// converts in constant memory and gives the bytes of a whole-text conversion.
// Output to a regular file goes to a temporary file beside it that is renamed
// over it only when everything succeeded: a failed or interrupted run leaves
// no partial file (see output_file.h).
#include <stdio.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "commands.h"
#include "gnutil/codesets.h"
#include "gnutil/codestream.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"
#include "output_file.h"

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

bool IsJapanese(int cs) { return cs == CODESET_JIS || cs == CODESET_EUC_J || cs == CODESET_SJIS; }

// Input streams and the spool of one that cannot seek, closed on every path
// (standard input excepted: CloseInput leaves it open).
struct CloseStream {
  void operator()(FILE* f) const { CloseInput(f); }
};
using Stream = std::unique_ptr<FILE, CloseStream>;

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

// A copy of what remains of a stream that cannot seek, in a temporary file
// (disk, not memory), positioned at its start; null with the reason in *error.
Stream Spooled(FILE* in, std::string* error) {
  Stream spool(tmpfile());
  if (spool == nullptr) {
    *error = std::string("cannot create a temporary file: ") + std::strerror(errno);
    return nullptr;
  }
  char buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
    if (fwrite(buffer, 1, n, spool.get()) != n) {
      *error = "cannot write a temporary file";
      return nullptr;
    }
  }
  if (ferror(in)) {
    *error = "error reading the input";
    return nullptr;
  }
  rewind(spool.get());
  return spool;
}

// What the command line asks for.
struct ConvertRequest {
  std::string fromName, toName, outPath, inPath;
  bool haveOut = false;
  int from = kUnknown;
  int to = kUnknown;
};

constexpr int kGoOn = -1;

// Reads the options into *request: kGoOn, or the exit status for --help and
// for a usage error (with its message printed).
int ParseConvert(const Args& args, ConvertRequest* request) {
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
      if (!value(&request->fromName)) return Fail("convert: --from needs a name");
    } else if (a.rfind("--from=", 0) == 0) {
      request->fromName = a.substr(7);
    } else if (a == "--to") {
      if (!value(&request->toName)) return Fail("convert: --to needs a name");
    } else if (a.rfind("--to=", 0) == 0) {
      request->toName = a.substr(5);
    } else if (a == "-o" || a == "--output") {
      if (!value(&request->outPath)) return Fail("convert: " + a + " needs a file name");
      request->haveOut = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("convert: unknown option '" + a + "'");
    } else if (request->inPath.empty()) {
      request->inPath = a;
    } else {
      return Fail("convert: only one FILE may be given");
    }
  }
  return kGoOn;
}

// Resolves the code-set names and checks that the pair converts: kGoOn, or 2
// with the message printed.
int CheckConvert(ConvertRequest* request) {
  if (request->fromName.empty() || request->toName.empty()) {
    return Fail("convert: --from and --to are required (see 'gnutil convert --help')");
  }
  int from = request->from = CodeSetOf(request->fromName);
  int to = request->to = CodeSetOf(request->toName);
  if (from == kUnknown) return Fail("convert: unknown code set '" + request->fromName + "'");
  if (to == kUnknown || to == kAuto) {
    return Fail("convert: unknown code set '" + request->toName + "'");
  }
  if (from == kAuto && !IsJapanese(to) && to != CODESET_UTF8) {
    return Fail(
        "convert: --from auto detects UTF-8 and Japanese only; give the code set of the input");
  }
  if (from != kAuto &&
      CodeConverter(from, to, DefaultInvalidBytes(from, to)).Status() != CodeStatus::kOk) {
    return Fail("convert: cannot convert from " + request->fromName + " to " + request->toName);
  }
  if (request->haveOut && request->outPath.empty()) return Fail("convert: -o needs a file name");
  return kGoOn;
}

// The code set of the text that remains of source, which is left where it
// was: UTF-8, else the Japanese detection, EUC when both EUC and Shift-JIS
// fit, and `to` when the text has no Japanese (nothing to convert). -1 with
// the reason in *error when the stream cannot be read back.
int DetectCodeSet(FILE* source, int to, std::string* error) {
  fpos_t start;
  if (fgetpos(source, &start) != 0) {
    *error = "cannot go back to the start of the input";
    return -1;
  }
  int detected = IsUtf8Text(source) ? CODESET_UTF8 : CODESET_NONE;
  clearerr(source);
  if (detected == CODESET_NONE && fsetpos(source, &start) == 0) {
    detected = DetectJPCodeType(source);
    clearerr(source);
  }
  if (fsetpos(source, &start) != 0) {
    *error = "cannot go back to the start of the input";
    return -1;
  }
  if (detected == CODESET_EUC_OR_SJIS) {
    std::fprintf(stderr, "gnutil: convert: input is valid as EUC and as Shift-JIS; read as EUC\n");
    detected = CODESET_EUC_J;
  }
  return detected == CODESET_NONE ? to : detected;
}

// Converts source onto standard output or the -o file and reports: the exit
// status.
int ConvertTo(const ConvertRequest& request, int from, FILE* source) {
  std::string error;
  OutputFileHolder file;
  FILE* out = stdout;
  if (request.haveOut) {
    file.reset(OpenOutputFile(request.outPath.c_str(), &error));
    if (file == nullptr) return Fail("convert: cannot write '" + request.outPath + "': " + error);
    out = OutputStream(file.get());
  }
  CodeResult r =
      ConvertCodeStream(source, out, from, request.to, DefaultInvalidBytes(from, request.to));
  if (r.status == CodeStatus::kUnavailable) {
    return Fail("convert: this system cannot convert from " + request.fromName + " to " +
                request.toName);
  }
  if (r.status == CodeStatus::kInvalid) {
    return Fail("convert: byte " + std::to_string(r.offset) +
                " of the input is no character of the input's code set or has no form in the "
                "output's");
  }
  if (r.status == CodeStatus::kReadError || ferror(source)) {
    bool fromStdin = request.inPath.empty() || request.inPath == "-";
    return Fail("convert: error reading '" + (fromStdin ? std::string("-") : request.inPath) + "'");
  }
  if (r.status == CodeStatus::kNoMemory) {
    std::fprintf(stderr, "gnutil: convert: out of memory\n");
    return 1;
  }
  bool written = r.status == CodeStatus::kOk;
  if (file == nullptr) {
    int finished = FinishOutput("convert");
    return written ? finished : 1;
  }
  if (!written) {
    std::fprintf(stderr, "gnutil: convert: cannot write '%s'\n", request.outPath.c_str());
    return 1;
  }
  if (!CommitOutputFile(file.release(), &error)) {
    std::fprintf(stderr, "gnutil: convert: cannot write '%s': %s\n", request.outPath.c_str(),
                 error.c_str());
    return 1;
  }
  return 0;
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
  ConvertRequest request;
  int status = ParseConvert(args, &request);
  if (status == kGoOn) status = CheckConvert(&request);
  if (status != kGoOn) return status;

  std::string error;
  Stream input(OpenInput(request.inPath, &error));
  if (input == nullptr) return Fail("convert: " + error);
  FILE* source = input.get();
  Stream spool;
  int from = request.from;
  if (from == kAuto) {
    // Detection reads the input once and conversion again: a stream that
    // cannot go back is read from a copy.
    if (fseek(source, 0, SEEK_CUR) != 0) {
      spool = Spooled(source, &error);
      if (spool == nullptr) return Fail("convert: " + error);
      source = spool.get();
    }
    from = DetectCodeSet(source, request.to, &error);
    if (from < 0) return Fail("convert: " + error);
  }
  return ConvertTo(request, from, source);
}

}  // namespace gnutil::tool
