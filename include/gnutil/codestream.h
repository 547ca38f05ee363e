/// \file
/// \ingroup mbtext
/// Conversion of a text of any length from one code set to another, fed in
/// pieces or read from a FILE* or a file descriptor in chunks, in bounded
/// memory.
///
/// A character or JIS escape sequence cut by the end of a piece is kept back
/// and converted with the next one, and the JIS shift state carries from piece
/// to piece, so the output is byte for byte that of converting the whole text
/// at once, wherever the pieces end.
///
/// The pairs: Shift-JIS, EUC and JIS among themselves, Big5 and EUC-TW both
/// ways (the converters of jaconv.h), each code set to itself (a copy), and
/// UTF-8 to and from each of those through the system's converter where the
/// platform has one (Linux; the Windows build has none and refuses them).
/// Code sets are the CODESET_ numbers of mbutil.h.
#ifndef GNUTIL_CODESTREAM_H
#define GNUTIL_CODESTREAM_H

#include <stddef.h>
#include <stdio.h>

#include <string>

#include "gnutil/export.h"

namespace gnutil {

/// What a conversion does with invalid input: a sequence that is no character
/// of the input's code set or, through the system's converter, a character
/// with no form in the output's code set.
enum class InvalidBytes {
  kKeep,  ///< passes it on as jaconv.h's converters do: the bytes copied, or "??"
  kSkip,  ///< leaves it out of the output
  kFail,  ///< stops before it and reports where it starts
};

/// The policy of a pair when the caller names none: kFail when exactly one
/// side is UTF-8 (the system's converter stops at what it cannot convert),
/// kKeep for every other pair (the library's converters pass bytes through).
GNUTIL_API InvalidBytes DefaultInvalidBytes(int fromCodeSet, int toCodeSet);

/// How a conversion ended.
enum class CodeStatus {
  kOk,           ///< everything so far was converted
  kUnavailable,  ///< the pair does not convert here
  kInvalid,      ///< stopped at invalid input under InvalidBytes::kFail
  kReadError,    ///< reading the input failed
  kWriteError,   ///< writing the output failed
  kNoMemory,     ///< memory for the buffers ran out
};

/// The outcome of a conversion.
struct CodeResult {
  /// How the conversion ended.
  CodeStatus status = CodeStatus::kOk;
  /// For kInvalid the offset in the input of the first invalid sequence;
  /// otherwise the input bytes taken so far.
  unsigned long long offset = 0;
  /// The system's error number for kReadError and kWriteError; 0 otherwise.
  int error = 0;
};

/// A conversion fed in pieces of any size; one text, from start to end.
class GNUTIL_API CodeConverter {
 public:
  /// Prepares the conversion of a text from one code set to another; Status()
  /// says whether the pair converts.
  CodeConverter(int fromCodeSet, int toCodeSet, InvalidBytes invalid);
  /// Releases the converter and anything the system's converter holds.
  ~CodeConverter();
  /// Not copyable: it owns the conversion state of one text.
  CodeConverter(const CodeConverter&) = delete;
  /// Not copyable: it owns the conversion state of one text.
  CodeConverter& operator=(const CodeConverter&) = delete;

  /// kOk when the pair converts; kUnavailable when it does
  /// not, and then Convert and Finish write nothing and return kUnavailable.
  CodeStatus Status() const;

  /// Converts the next n bytes of the text, appending to *out the output of
  /// every character they complete. Returns kOk, or kInvalid (kFail policy)
  /// with the offset of the invalid sequence, after which the conversion is
  /// over: every later call returns the same result. kNoMemory when *out
  /// cannot grow.
  CodeResult Convert(const char* data, size_t n, std::string* out);

  /// Ends the text: a character cut off by its end is invalid input (kept as
  /// it is, skipped, or reported), and JIS output returns to single bytes.
  /// Returns as Convert does; the converter takes no more input after it.
  CodeResult Finish(std::string* out);

 private:
  struct State;
  State* state_;
};

/// Converts everything that remains of `in` onto `out`, in chunks of 64 KiB
/// and constant memory whatever the length. `out` is written but not flushed.
/// Returns kOk with the bytes read in offset; kUnavailable before reading
/// anything when the pair does not convert; kInvalid with the offset of the
/// invalid sequence (the output then holds what came before it, which the
/// caller will usually discard); kReadError, kWriteError with errno.
GNUTIL_API CodeResult ConvertCodeStream(FILE* in, FILE* out, int fromCodeSet, int toCodeSet,
                                        InvalidBytes invalid);

/// ConvertCodeStream on file descriptors (pipes, sockets, files), read to
/// their end and written in full; neither is closed. Returns as above.
GNUTIL_API CodeResult ConvertCodeStream(int inFd, int outFd, int fromCodeSet, int toCodeSet,
                                        InvalidBytes invalid);

}  // namespace gnutil

#endif  // GNUTIL_CODESTREAM_H
