/// \file
/// \ingroup mbtext
/// Conversion of Japanese text between Shift-JIS, EUC and 7-bit JIS, and of
/// Traditional Chinese between Big5 and EUC-TW; detection of the code set of a
/// Japanese file; full-width digits to ASCII.
///
/// Code sets are the numbers of mbutil.h: CODESET_JIS 3, CODESET_EUC_J 4,
/// CODESET_SJIS 5, CODESET_EUC_OR_SJIS 6 (a detection result only),
/// CODESET_BIG5 9, CODESET_EUC_TW 10. Nothing here reports an error: invalid
/// pairs are copied or become "??", unsupported pairs are copied.
#ifndef GNUTIL_JACONV_H
#define GNUTIL_JACONV_H

#include <stdio.h>

#include "gnutil/export.h"
#include "gnutil/mbutil.h"

extern "C" {

/// Reads the stream from its current position until the Japanese code set is
/// clear or the stream ends: CODESET_JIS, CODESET_EUC_J, CODESET_SJIS,
/// CODESET_EUC_OR_SJIS when only pairs valid in both were seen, or
/// CODESET_NONE when no byte above 0x7F and no JIS escape occurred. The
/// stream is left just after the deciding byte (binary streams; a stream that
/// cannot seek is read byte by byte). It is not rewound.
GNUTIL_API int DetectJPCodeType(FILE* fp);

/// Converts JIS->Shift-JIS, JIS->EUC, EUC->Shift-JIS, Shift-JIS->EUC,
/// Big5->EUC-TW or EUC-TW->Big5 into a buffer of the library, one per
/// direction, valid until the next call of the same direction; the buffer
/// grows to any length. The text may be a result of any of these functions,
/// the same direction's included. Every other pair (equal code sets included)
/// returns the text itself. Null for a null text, or when memory runs out.
/// Not for concurrent use.
GNUTIL_API char* convertStr(const char* text, int fromCodeSet, int toCodeSet);

/// Converts into dst the pairs of convertStr plus EUC->JIS and Shift-JIS->JIS;
/// every other pair is copied. Returns dst. dst needs room for
/// 3 * strlen(src) + 1 bytes; JIS output needs (9 * strlen(src) + 9) / 2 bytes,
/// because an escape pair around a half-width katakana between single bytes
/// makes 2 bytes 9. dst may be src or overlap it (conversion in place): the
/// text then goes through scratch memory, and the result is null when that
/// cannot be allocated.
GNUTIL_API char* convertStrExt(const char* src, int fromCodeSet, char* dst, int toCodeSet);

/// Text of the Unix host to the Windows host by the current code set (read
/// without initialising it): 4 or 5 EUC->Shift-JIS, 9 or 10 EUC-TW->Big5,
/// others a copy. The forms without a destination use the library's buffers;
/// the Ext forms follow convertStrExt, so dst may be src.
///@{
GNUTIL_API char* UnixCodingToWindowsCoding(const char* text);
GNUTIL_API char* UnixCodingToWindowsCodingExt(const char* src, char* dst);
///@}
/// The other way: Shift-JIS->EUC or Big5->EUC-TW, others a copy.
///@{
GNUTIL_API char* WindowsCodingToUnixCoding(const char* text);
GNUTIL_API char* WindowsCodingToUnixCodingExt(const char* src, char* dst);
///@}

/// Copies src to dst with the full-width digits and separators of the current
/// code set (4, 5, 7, 9, 10, 12) turned into ASCII. dst may be src. Returns 0.
GNUTIL_API int ConvertMBNumberToSBNumber(const char* src, char* dst);

/// The larger of the text's byte length and its length in the other host's
/// code set (current code set 5: as EUC; 9: as EUC-TW; 10: as Big5).
GNUTIL_API int MaxStringLengthOnWinAndUnix(const char* text);

}  // extern "C"

#endif  // GNUTIL_JACONV_H
