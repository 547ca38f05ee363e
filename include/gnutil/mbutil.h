/// \file
/// \ingroup mbtext
/// Code sets and the byte-level rules of multibyte characters.
///
/// A code set is a plain int; the numbers are stable and callers store them.
/// Functions without a code-set argument work on the process-wide current code
/// set and initialise it from the process locale on first use; the *Ext and
/// *type forms take the code set explicitly and never initialise.
#ifndef GNUTIL_MBUTIL_H
#define GNUTIL_MBUTIL_H

#include <stddef.h>

#include "gnutil/export.h"

constexpr int CODESET_NONE = 0;  ///< No multibyte code set (single-byte text; also "not detected").
constexpr int CODESET_JIS = 3;   ///< 7-bit JIS with escape sequences.
constexpr int CODESET_EUC_J = 4;         ///< Japanese EUC.
constexpr int CODESET_SJIS = 5;          ///< Shift-JIS (Windows code page 932).
constexpr int CODESET_EUC_OR_SJIS = 6;   ///< Japanese EUC or Shift-JIS: a detection result only.
constexpr int CODESET_GB = 7;            ///< Simplified Chinese GB (code page 936).
constexpr int CODESET_EUC_C = 8;         ///< Simplified Chinese EUC.
constexpr int CODESET_BIG5 = 9;          ///< Traditional Chinese Big5 (code page 950).
constexpr int CODESET_EUC_TW = 10;       ///< Traditional Chinese EUC-TW.
constexpr int CODESET_KSC_5601_87 = 11;  ///< Korean KS C 5601-1987 (code page 949).
constexpr int CODESET_KSC_5601_92 = 12;  ///< Korean KS C 5601-1992 (Johab).
constexpr int CODESET_EUC_K = 13;        ///< Korean EUC.
constexpr int CODESET_8859_2 = 14;       ///< ISO 8859-2 (single-byte).
constexpr int CODESET_8859_3 = 15;       ///< ISO 8859-3 (single-byte).
constexpr int CODESET_8859_4 = 16;       ///< ISO 8859-4 (single-byte).
constexpr int CODESET_8859_5 = 17;       ///< ISO 8859-5 (single-byte).
constexpr int CODESET_8859_6 = 18;       ///< ISO 8859-6 (single-byte).
constexpr int CODESET_8859_7 = 19;       ///< ISO 8859-7 (single-byte).
constexpr int CODESET_8859_8 = 20;       ///< ISO 8859-8 (single-byte).
constexpr int CODESET_8859_9 = 21;       ///< ISO 8859-9 (single-byte).
constexpr int CODESET_8859_10 = 22;      ///< ISO 8859-10 (single-byte).
constexpr int CODESET_1250 = 23;         ///< Windows code page 1250 (single-byte).
constexpr int CODESET_1251 = 24;         ///< Windows code page 1251 (single-byte).
constexpr int CODESET_1253 = 25;         ///< Windows code page 1253 (single-byte).
constexpr int CODESET_1254 = 26;         ///< Windows code page 1254 (single-byte).
constexpr int CODESET_1255 = 27;         ///< Windows code page 1255 (single-byte).
constexpr int CODESET_1256 = 28;         ///< Windows code page 1256 (single-byte).
constexpr int CODESET_1257 = 29;         ///< Windows code page 1257 (single-byte).
constexpr int CODESET_1258 = 30;         ///< Windows code page 1258 (single-byte).
/// UTF-8, beyond the numbered table (whose values it never takes): characters
/// of 1 to 4 bytes as Unicode defines them, no overlong forms, no surrogates,
/// nothing above U+10FFFF. The code set of a UTF-8 locale on Linux.
constexpr int CODESET_UTF8 = 31;

extern "C" {

/// The code set whose name ("SJIS", "EUC_J", "BIG5", "8859_2", "1250", ...)
/// occurs in the text, as a locale or configuration name carries it; 0 for a
/// null or empty text or no known name. Never initialises.
GNUTIL_API int mbGetCodeSet(const char* name);
/// The code set of the process's Windows ANSI code page (on Linux derived
/// from the process locale's codeset); 0 for a page without one. Changes
/// nothing.
GNUTIL_API int mbGetLocaleCodeSet(void);
/// Sets the process locale to the user's default (setlocale LC_ALL "") and
/// the current code set from its name (Japanese: Shift-JIS, Korean, Chinese;
/// a UTF-8 locale on Linux: CODESET_UTF8; else 0). Returns the previous
/// current code set. A lasting, process-wide side effect.
GNUTIL_API int InitMbutil(void);
/// Makes codeset the current code set (any value); returns the previous one.
/// Call InitMbutil first: the first lazily initialising call would replace
/// a code set chosen before it.
GNUTIL_API int InitMbutilExt(int codeset);

/// 1 when byte value c starts a multibyte character of the current code set
/// (a negative value never does), else 0.
GNUTIL_API int mb_isleadbyte(int c);
/// mb_isleadbyte for the given code set.
GNUTIL_API int isleadbyteExt(int c, int codeset);
/// The longest character of the current code set in bytes (1 to 4).
GNUTIL_API int mbmaxcharlen(void);
/// The longest character of the given code set in bytes.
GNUTIL_API int mbmaxcharlenExt(int codeset);
/// The length in bytes of the character at s with n bytes available, by
/// the rules of the current code set: 1 to 4; 0 for a null pointer, the
/// terminating NUL or n 0; -1 for an invalid or cut-off character.
GNUTIL_API int mb_mblen(const char* s, size_t n);
/// mb_mblen for the given code set.
GNUTIL_API int mblenExt(const char* s, size_t n, int codeset);
/// The length of the character at s, at least 1 (0 and -1 count as 1), so
/// that stepping through invalid text advances byte by byte.
GNUTIL_API int mbbytesinchar(const char* s);
/// mbbytesinchar for the given code set.
GNUTIL_API int mbbytesinchartype(const char* s, int codeset);
/// The byte index at which the character holding byte index starts; an
/// index at or past the end gives the text's length.
GNUTIL_API int mbidx(const char* s, int index);
/// mbidx stepping by the given code set (the index is returned unchanged
/// while the current code set has no multibyte characters).
GNUTIL_API int mbidxtype(const char* s, int index, int codeset);
/// The byte index of the character after the one holding byte index, or 0
/// when there is none.
GNUTIL_API int mbnextidx(const char* s, int index);
/// A pointer to that next character, or null when there is none.
GNUTIL_API char* mbnextchar(const char* s, int index);
/// 1 for an ASCII byte value, and in Shift-JIS also for a half-width
/// katakana (0xA1 to 0xDF); else 0.
GNUTIL_API int ismbcprint(int c);

}  // extern "C"

#endif  // GNUTIL_MBUTIL_H
