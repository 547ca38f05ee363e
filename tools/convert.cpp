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
#include "options.h"
#include "output_file.h"

namespace gnutil::tool {
namespace {

const char kDetectUsage[] =
    "usage: gnutil detect [-a|--all] FILE...\n"
    "\n"
    "Prints, for each FILE ('-' for standard input), what its text is: ASCII\n"
    "(no byte above 0x7F, no escape), UTF-8 or UTF-8 (BOM) (well-formed UTF-8,\n"
    "with or without a byte-order mark), else the Japanese code set its bytes\n"
    "show: JIS, EUC, SJIS, or EUC-or-SJIS (only characters valid in both).\n"
    "\n"
    "  -a, --all  also show why: the counts of bytes above 0x7F, of bytes only\n"
    "             Shift-JIS has (0x80-0xA0) and of escapes, where UTF-8 breaks,\n"
    "             and the byte at which the Japanese detection decided\n";

const char kConvertUsage[] =
    "usage: gnutil convert -f|--from NAME -t|--to NAME [-o|--output OUT]\n"
    "                      [--invalid=keep|skip|fail] [FILE]\n"
    "\n"
    "Converts FILE (or standard input) to OUT (or standard output).\n"
    "\n"
    "  -f, --from NAME    code set of the input: sjis, euc, jis, big5, euc-tw,\n"
    "                     utf8, or auto to detect UTF-8 or Japanese (EUC is\n"
    "                     assumed when the text is valid in both EUC and Shift-JIS)\n"
    "  -t, --to NAME      code set of the output: sjis, euc, jis, big5, euc-tw, utf8\n"
    "  -o, --output OUT   write to OUT; a regular file (or the target of a symbolic\n"
    "                     link) keeps its permissions and is replaced only when the\n"
    "                     conversion succeeds (OUT may be FILE itself); a device\n"
    "                     or pipe is written directly\n"
    "  --invalid POLICY   what to do with bytes that are no character of the input's\n"
    "                     code set (or have no form in the output's): keep them as\n"
    "                     they are, skip them, or fail at the first with its byte\n"
    "                     offset and exit status 1, writing nothing to OUT.\n"
    "                     Default: keep, but fail when one side is UTF-8.\n"
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

// What detection counts in a text: its bytes, those above 0x7F (and among
// them those that can only lead a Shift-JIS pair), the JIS escapes, and
// whether it is well-formed UTF-8 with characters beyond ASCII.
struct Survey {
  unsigned long long bytes = 0;
  unsigned long long high = 0;          // above 0x7F
  unsigned long long sjisLeadOnly = 0;  // 0x80-0xA0: no EUC byte
  unsigned long long escapes = 0;       // ESC bytes
  unsigned long long utf8Wide = 0;      // UTF-8 characters beyond ASCII
  long long utf8InvalidAt = -1;         // offset of the first ill-formed sequence
  bool bom = false;

  bool IsUtf8() const { return utf8InvalidAt < 0 && (utf8Wide > 0 || bom); }
  bool IsAscii() const { return high == 0 && escapes == 0; }
};

// Reads the rest of the stream and counts it.
Survey SurveyText(FILE* in) {
  Survey survey;
  char buffer[1 << 16];
  size_t kept = 0;
  unsigned long long base = 0;  // offset of buffer[0]
  for (;;) {
    size_t n = fread(buffer + kept, 1, sizeof buffer - kept, in);
    for (size_t k = kept; k < kept + n; ++k) {
      unsigned char b = static_cast<unsigned char>(buffer[k]);
      if (b > 0x7F) ++survey.high;
      if (b >= 0x80 && b <= 0xA0) ++survey.sjisLeadOnly;
      if (b == 0x1B) ++survey.escapes;
    }
    if (survey.bytes == 0 && n >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) {
      survey.bom = true;
    }
    survey.bytes += n;
    size_t avail = kept + n;
    bool end = n == 0;
    size_t pos = 0;
    while (survey.utf8InvalidAt < 0 && pos < avail) {
      int len = mblenExt(buffer + pos, avail - pos, CODESET_UTF8);
      if (len == 0) len = 1;  // NUL
      if (len < 0 || (end && static_cast<size_t>(len) > avail - pos)) {
        survey.utf8InvalidAt = static_cast<long long>(base + pos);
        break;
      }
      if (static_cast<size_t>(len) > avail - pos) break;  // completed by the next read
      if (len > 1) ++survey.utf8Wide;
      pos += static_cast<size_t>(len);
    }
    if (end) break;
    if (survey.utf8InvalidAt >= 0) pos = avail;
    kept = avail - pos;
    std::memmove(buffer, buffer + pos, kept);
    base += pos;
  }
  if (survey.bom) --survey.utf8Wide;  // the mark is no character of the text
  return survey;
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
  std::string invalidName;  // empty: the pair's default
  InvalidBytes invalid = InvalidBytes::kKeep;
};

// Reads the options into *request: kGoOn, or the exit status for --help and
// for a usage error (with its message printed).
int ParseConvert(const Args& args, ConvertRequest* request) {
  enum { kFrom = 'f', kTo = 't', kOutput = 'o', kInvalid = 'i' };
  const CommandSyntax syntax{"convert",
                             kConvertUsage,
                             {{"from", 'f', true, kFrom},
                              {"to", 't', true, kTo},
                              {"output", 'o', true, kOutput},
                              {"invalid", 0, true, kInvalid}}};
  CommandLine line;
  int status = ParseCommandLine(syntax, args, &line);
  if (status != kGoOn) return status;
  for (const ParsedOption& o : line.options) {
    if (o.id == kFrom) request->fromName = o.value;
    if (o.id == kTo) request->toName = o.value;
    if (o.id == kInvalid) {
      request->invalidName = o.value;
      if (o.value != "keep" && o.value != "skip" && o.value != "fail") {
        return UsageError("convert", "--invalid takes keep, skip or fail, not '" + o.value + "'");
      }
    }
    if (o.id == kOutput) {
      request->outPath = o.value;
      request->haveOut = true;
    }
  }
  if (line.operands.size() > 1) return UsageError("convert", "only one FILE may be given");
  if (!line.operands.empty()) request->inPath = line.operands[0];
  return kGoOn;
}

// The policy asked for, else the pair's own.
InvalidBytes PolicyOf(const ConvertRequest& request, int from) {
  if (request.invalidName == "keep") return InvalidBytes::kKeep;
  if (request.invalidName == "skip") return InvalidBytes::kSkip;
  if (request.invalidName == "fail") return InvalidBytes::kFail;
  return DefaultInvalidBytes(from, request.to);
}

// Resolves the code-set names and checks that the pair converts: kGoOn, or 2
// with the message printed.
int CheckConvert(ConvertRequest* request) {
  if (request->fromName.empty() || request->toName.empty()) {
    return UsageError("convert", "--from and --to are required (see 'gnutil convert --help')");
  }
  int from = request->from = CodeSetOf(request->fromName);
  int to = request->to = CodeSetOf(request->toName);
  if (from == kUnknown)
    return UsageError("convert", "unknown code set '" + request->fromName + "'");
  if (to == kUnknown || to == kAuto) {
    return UsageError("convert", "unknown code set '" + request->toName + "'");
  }
  if (from == kAuto && !IsJapanese(to) && to != CODESET_UTF8) {
    return UsageError(
        "convert", "--from auto detects UTF-8 and Japanese only; give the code set of the input");
  }
  if (from != kAuto &&
      CodeConverter(from, to, DefaultInvalidBytes(from, to)).Status() != CodeStatus::kOk) {
    return UsageError("convert",
                      "cannot convert from " + request->fromName + " to " + request->toName);
  }
  if (request->haveOut && request->outPath.empty())
    return UsageError("convert", "-o needs a file name");
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
  int detected = SurveyText(source).IsUtf8() ? CODESET_UTF8 : CODESET_NONE;
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
    if (file == nullptr)
      return DataError("convert", "cannot write '" + request.outPath + "': " + error);
    out = OutputStream(file.get());
  }
  CodeResult r = ConvertCodeStream(source, out, from, request.to, PolicyOf(request, from));
  if (r.status == CodeStatus::kUnavailable) {
    return UsageError(
        "convert", "this system cannot convert from " + request.fromName + " to " + request.toName);
  }
  if (r.status == CodeStatus::kInvalid) {
    return DataError(
        "convert",
        "byte " + std::to_string(r.offset) +
            " of the input is no character of the input's code set or has no form in the "
            "output's");
  }
  if (r.status == CodeStatus::kReadError || ferror(source)) {
    bool fromStdin = request.inPath.empty() || request.inPath == "-";
    return DataError("convert",
                     "error reading '" + (fromStdin ? std::string("-") : request.inPath) + "'");
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
  enum { kAll = 'a' };
  const CommandSyntax syntax{"detect", kDetectUsage, {{"all", 'a', false, kAll}}};
  CommandLine line;
  int status = ParseCommandLine(syntax, args, &line);
  if (status != kGoOn) return status;
  if (line.operands.empty()) {
    return UsageError("detect", "give at least one FILE (see 'gnutil detect --help')");
  }
  bool all = !line.options.empty();
  status = kExitOk;
  for (const std::string& path : line.operands) {
    std::string error;
    Stream input(OpenInput(path, &error));
    if (input == nullptr) {
      status = DataError("detect", error);
      continue;
    }
    // The text is read twice, once counted and once by the library's
    // detection: a stream that cannot go back is read from a copy.
    FILE* source = input.get();
    Stream spool;
    fpos_t start;
    if (fseek(source, 0, SEEK_CUR) != 0 || fgetpos(source, &start) != 0) {
      spool = Spooled(source, &error);
      if (spool == nullptr) {
        status = DataError("detect", error);
        continue;
      }
      source = spool.get();
      fgetpos(source, &start);
    }
    Survey survey = SurveyText(source);
    bool failed = ferror(source) != 0;
    int japanese = CODESET_NONE;
    long decidedAt = -1;
    if (!failed && fsetpos(source, &start) == 0) {
      japanese = DetectJPCodeType(source);
      failed = ferror(source) != 0;
      decidedAt = ftell(source) - 1;
    }
    if (failed) {
      status = DataError("detect", "error reading '" + path + "'");
      continue;
    }
    const char* verdict = survey.IsAscii()  ? "ASCII"
                          : survey.IsUtf8() ? (survey.bom ? "UTF-8 (BOM)" : "UTF-8")
                                            : CodeSetLabel(japanese);
    std::printf("%s: %s\n", path.c_str(), verdict);
    if (all) {
      std::printf("  bytes %llu, above 0x7F %llu (0x80-0xA0, Shift-JIS only: %llu), ESC %llu\n",
                  survey.bytes, survey.high, survey.sjisLeadOnly, survey.escapes);
      if (survey.utf8InvalidAt >= 0) {
        std::printf("  UTF-8: ill-formed at byte %lld\n", survey.utf8InvalidAt);
      } else {
        std::printf("  UTF-8: well-formed, %llu characters beyond ASCII%s\n", survey.utf8Wide,
                    survey.bom ? ", byte-order mark" : "");
      }
      std::printf("  Japanese detection: %s", CodeSetLabel(japanese));
      if (japanese != CODESET_NONE && japanese != CODESET_EUC_OR_SJIS && decidedAt >= 0) {
        std::printf(", decided at byte %ld", decidedAt);
      }
      std::printf("\n");
    }
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
  if (input == nullptr) return DataError("convert", error);
  FILE* source = input.get();
  Stream spool;
  int from = request.from;
  if (from == kAuto) {
    // Detection reads the input once and conversion again: a stream that
    // cannot go back is read from a copy.
    if (fseek(source, 0, SEEK_CUR) != 0) {
      spool = Spooled(source, &error);
      if (spool == nullptr) return DataError("convert", error);
      source = spool.get();
    }
    from = DetectCodeSet(source, request.to, &error);
    if (from < 0) return DataError("convert", error);
  }
  return ConvertTo(request, from, source);
}

}  // namespace gnutil::tool
