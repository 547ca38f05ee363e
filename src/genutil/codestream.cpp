// Streaming conversion between the code sets (gnutil/codestream.h).
//
// A conversion runs in two stages, each holding back what the next piece may
// complete. The first, under the skip and fail policies, walks the input by
// its code set's character rules, drops or stops at invalid sequences and
// keeps back a character cut by the end of the piece. The second converts:
// the library's converters keep back a cut character or escape sequence
// themselves and carry the JIS shift state in ConversionState; the system's
// converter keeps its own state and reports a cut character, which stays in
// the pending input. Both stages hold at most a few bytes between pieces, so
// memory is bounded by the piece size.
#include "gnutil/codestream.h"

#include <errno.h>

#include <memory>
#include <new>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/codesets.h"
#include "gnutil/mbutil.h"
#include "platform/charset.h"
#include "platform/descriptor.h"

namespace gnutil {
namespace {

constexpr size_t kChunk = 1 << 16;

bool IsSystemPair(int from, int to) {
  return from != to && (from == CODESET_UTF8 || to == CODESET_UTF8) &&
         CodeSetIconvName(from) != nullptr && CodeSetIconvName(to) != nullptr;
}

bool IsLibraryPair(int from, int to) {
  return from == to || ConversionFor(from, to) != Conversion::kCopy;
}

}  // namespace

InvalidBytes DefaultInvalidBytes(int fromCodeSet, int toCodeSet) {
  return (fromCodeSet == CODESET_UTF8) != (toCodeSet == CODESET_UTF8) ? InvalidBytes::kFail
                                                                      : InvalidBytes::kKeep;
}

struct CodeConverter::State {
  int from = CODESET_NONE;
  InvalidBytes invalid = InvalidBytes::kKeep;
  Conversion conversion = Conversion::kCopy;
  ConversionState shift;
  platform::CharsetConverter* system = nullptr;
  // Set once the conversion is over: unavailable, stopped at invalid input,
  // or finished.
  bool over = false;
  CodeResult end;
  unsigned long long fed = 0;       // input bytes given so far
  std::string raw;                  // input the first stage (or the system's converter) holds back
  unsigned long long rawStart = 0;  // offset of raw[0] in the input
  std::string held;                 // valid input the library's converter holds back
  bool twoByte = false;             // the first stage's JIS mode
  std::vector<unsigned char> scratch;

  CodeResult Stop(CodeStatus status, unsigned long long offset) {
    over = true;
    end.status = status;
    end.offset = offset;
    return end;
  }

  // The unit of input at p (avail bytes): its size, more than avail when the
  // end of the piece cuts it, and whether it is valid. JIS input goes by its
  // escape sequences and mode (twoByte, which a valid unit updates in *next);
  // every other code set by mblenExt.
  bool Unit(const unsigned char* p, size_t avail, size_t* size, bool* next) const {
    *next = twoByte;
    if (from != CODESET_JIS) {
      int len = mblenExt(reinterpret_cast<const char*>(p), avail, from);
      *size = len > 1 ? static_cast<size_t>(len) : 1;  // a NUL is one byte
      return len >= 0;
    }
    *size = 1;
    if (p[0] >= 0x80) return false;  // JIS is 7-bit
    if (p[0] == 0x1B) {
      // ESC $ B and ESC $ @ select two-byte mode, ESC ( B and ESC ( J single bytes.
      bool known = avail < 2 || p[1] == '$' || p[1] == '(';
      if (known && avail >= 3) {
        *next = p[1] == '$';
        known = p[2] == 'B' || p[2] == (*next ? '@' : 'J');
      }
      *size = known ? 3 : 1;
      return known;
    }
    if (p[0] == '\r' || p[0] == '\n') {  // a line end also ends two-byte mode
      *next = false;
      return true;
    }
    if (!twoByte) return true;
    *size = 2;
    return avail < 2 || (p[0] >= 0x21 && p[0] <= 0x7E && p[1] >= 0x21 && p[1] <= 0x7E);
  }

  // The first stage: moves the complete valid units of raw to held and keeps
  // back a cut one (unless last). Under kSkip an invalid unit is dropped, and
  // at the end of the text a cut one with all that follows; under kFail it
  // stops at the first, which raw then starts with, and returns false.
  bool Filter(bool last) {
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data());
    size_t pos = 0;
    size_t run = 0;  // start of the valid units not yet moved
    size_t n = raw.size();
    bool failed = false;
    while (pos < n) {
      size_t avail = n - pos;
      size_t size;
      bool next;
      bool valid = Unit(p + pos, avail, &size, &next);
      if (valid && size > avail && !last) break;  // cut: the next piece completes it
      if (!valid || size > avail) {
        failed = invalid == InvalidBytes::kFail;
        if (failed) break;
        held.append(raw, run, pos - run);
        run = pos += size > avail ? avail : size;
        continue;
      }
      twoByte = next;
      pos += size;
    }
    held.append(raw, run, pos - run);
    raw.erase(0, pos);
    rawStart += pos;
    return !failed;
  }

  // The second stage: converts src[0, n) and returns how many bytes it took.
  size_t ConvertPiece(const char* src, size_t n, bool last, std::string* out) {
    // One spare byte: the converters take no null buffer, even for no bytes.
    scratch.resize(MaxConvertedLength(conversion, n) + 1);
    size_t used = 0;
    size_t written = ConvertBytes(conversion, reinterpret_cast<const unsigned char*>(src), n,
                                  scratch.data(), &shift, last, &used);
    out->append(reinterpret_cast<const char*>(scratch.data()), written);
    return used;
  }

  // The second stage on held, or, when it holds nothing, on the piece itself,
  // which then need not be copied.
  void ConvertHeld(const char* data, size_t n, bool last, std::string* out) {
    if (held.empty()) {
      size_t used = ConvertPiece(data, n, last, out);
      held.assign(data + used, n - used);
      return;
    }
    held.append(data, n);
    held.erase(0, ConvertPiece(held.data(), held.size(), last, out));
  }

  CodeResult Library(const char* data, size_t n, bool last, std::string* out) {
    if (invalid == InvalidBytes::kKeep) {
      ConvertHeld(data, n, last, out);
      return {CodeStatus::kOk, fed, 0};
    }
    raw.append(data, n);
    bool valid = Filter(last);
    // Before an invalid sequence, the shift state is closed.
    ConvertHeld("", 0, last || !valid, out);
    if (!valid) return Stop(CodeStatus::kInvalid, rawStart);
    return {CodeStatus::kOk, fed, 0};
  }

  CodeResult System(const char* data, size_t n, bool last, std::string* out) {
    // The piece itself is converted unless raw holds the start of a character.
    const char* base = data;
    size_t size = n;
    if (!raw.empty()) {
      raw.append(data, n);
      base = raw.data();
      size = raw.size();
    }
    size_t pos = 0;
    bool failed = false;
    char buffer[1 << 14];
    while (!failed) {
      const char* in = base + pos;
      size_t left = size - pos;
      char* o = buffer;
      size_t room = sizeof buffer;
      platform::CharsetStep step = platform::ConvertCharset(system, &in, &left, &o, &room);
      out->append(buffer, static_cast<size_t>(o - buffer));
      pos = static_cast<size_t>(in - base);
      if (step == platform::CharsetStep::kDone) break;
      if (step == platform::CharsetStep::kOutputFull) continue;
      // A cut character: the next piece completes it.
      if (step == platform::CharsetStep::kIncomplete && !last) break;
      // Invalid, or a character cut by the end of the text: its first byte is
      // kept or skipped, and the converter looks again after it.
      failed = invalid == InvalidBytes::kFail;
      if (invalid == InvalidBytes::kKeep) out->push_back(base[pos]);
      if (!failed) ++pos;
    }
    if (base == data) {
      raw.assign(data + pos, size - pos);
    } else {
      raw.erase(0, pos);
    }
    rawStart += pos;
    if (last || failed) {
      // Return the output to its initial shift state (ISO-2022-JP's ESC ( B).
      platform::CharsetStep step;
      do {
        const char* none = nullptr;
        size_t zero = 0;
        char* o = buffer;
        size_t room = sizeof buffer;
        step = platform::ConvertCharset(system, &none, &zero, &o, &room);
        out->append(buffer, static_cast<size_t>(o - buffer));
      } while (step == platform::CharsetStep::kOutputFull);
    }
    if (failed) return Stop(CodeStatus::kInvalid, rawStart);
    return {CodeStatus::kOk, fed, 0};
  }

  CodeResult Feed(const char* data, size_t n, bool last, std::string* out) {
    if (over) return end;
    if (data == nullptr) {  // no bytes, but the converters get no null pointer
      data = "";
      n = 0;
    }
    fed += n;
    try {
      CodeResult r = system != nullptr ? System(data, n, last, out) : Library(data, n, last, out);
      if (last && !over) Stop(CodeStatus::kOk, fed);
      return r;
    } catch (const std::bad_alloc&) {
      return Stop(CodeStatus::kNoMemory, fed);
    }
  }
};

CodeConverter::CodeConverter(int fromCodeSet, int toCodeSet, InvalidBytes invalid)
    : state_(new State) {
  State& s = *state_;
  s.from = fromCodeSet;
  s.invalid = invalid;
  if (IsSystemPair(fromCodeSet, toCodeSet)) {
    s.system =
        platform::OpenCharsetConverter(CodeSetIconvName(fromCodeSet), CodeSetIconvName(toCodeSet));
    if (s.system == nullptr) s.Stop(CodeStatus::kUnavailable, 0);
  } else if (!IsLibraryPair(fromCodeSet, toCodeSet)) {
    s.Stop(CodeStatus::kUnavailable, 0);
  } else {
    s.conversion = ConversionFor(fromCodeSet, toCodeSet);
  }
}

CodeConverter::~CodeConverter() {
  platform::CloseCharsetConverter(state_->system);
  delete state_;
}

CodeStatus CodeConverter::Status() const {
  return state_->over && state_->end.status == CodeStatus::kUnavailable ? CodeStatus::kUnavailable
                                                                        : CodeStatus::kOk;
}

CodeResult CodeConverter::Convert(const char* data, size_t n, std::string* out) {
  return state_->Feed(data, n, false, out);
}

CodeResult CodeConverter::Finish(std::string* out) { return state_->Feed(nullptr, 0, true, out); }

namespace {

// Reads chunks with read(buffer, n) -> count, 0 at the end, -1 on error (and
// sets *error), and hands the output to write(data, n, &error) -> bool.
template <typename Read, typename Write>
CodeResult Pump(int from, int to, InvalidBytes invalid, Read read, Write write) {
  CodeConverter converter(from, to, invalid);
  if (converter.Status() != CodeStatus::kOk) return {CodeStatus::kUnavailable, 0, 0};
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChunk]);
  if (buffer == nullptr) return {CodeStatus::kNoMemory, 0, 0};
  std::string out;
  unsigned long long total = 0;
  for (;;) {
    int error = 0;
    long got = read(buffer.get(), kChunk, &error);
    if (got < 0) return {CodeStatus::kReadError, total, error};
    total += static_cast<unsigned long long>(got);
    out.clear();
    CodeResult r = got == 0 ? converter.Finish(&out)
                            : converter.Convert(buffer.get(), static_cast<size_t>(got), &out);
    if (!out.empty() && !write(out.data(), out.size(), &error)) {
      return {CodeStatus::kWriteError, total, error};
    }
    if (r.status != CodeStatus::kOk || got == 0) return r;
  }
}

}  // namespace

CodeResult ConvertCodeStream(FILE* in, FILE* out, int fromCodeSet, int toCodeSet,
                             InvalidBytes invalid) {
  auto read = [in](char* buffer, size_t n, int* error) -> long {
    size_t got = fread(buffer, 1, n, in);
    if (got == 0 && ferror(in)) {
      *error = errno;
      return -1;
    }
    return static_cast<long>(got);
  };
  auto write = [out](const char* data, size_t n, int* error) {
    if (fwrite(data, 1, n, out) == n) return true;
    *error = errno;
    return false;
  };
  return Pump(fromCodeSet, toCodeSet, invalid, read, write);
}

CodeResult ConvertCodeStream(int inFd, int outFd, int fromCodeSet, int toCodeSet,
                             InvalidBytes invalid) {
  auto read = [inFd](char* buffer, size_t n, int* error) {
    return platform::ReadDescriptor(inFd, buffer, n, error);
  };
  auto write = [outFd](const char* data, size_t n, int* error) {
    return platform::WriteDescriptor(outFd, data, n, error);
  };
  return Pump(fromCodeSet, toCodeSet, invalid, read, write);
}

}  // namespace gnutil
