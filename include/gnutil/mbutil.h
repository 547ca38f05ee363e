// Code sets and the byte-level rules of multibyte characters.
//
// A code set is a plain int; the numbers are stable and callers store them.
// Functions without a code-set argument work on the process-wide current code
// set and initialise it from the process locale on first use; the *Ext and
// *type forms take the code set explicitly and never initialise.
#ifndef GNUTIL_MBUTIL_H
#define GNUTIL_MBUTIL_H

#include <stddef.h>

#include "gnutil/export.h"

constexpr int CODESET_NONE = 0;
constexpr int CODESET_JIS = 3;
constexpr int CODESET_EUC_J = 4;
constexpr int CODESET_SJIS = 5;
constexpr int CODESET_EUC_OR_SJIS = 6;
constexpr int CODESET_GB = 7;
constexpr int CODESET_EUC_C = 8;
constexpr int CODESET_BIG5 = 9;
constexpr int CODESET_EUC_TW = 10;
constexpr int CODESET_KSC_5601_87 = 11;
constexpr int CODESET_KSC_5601_92 = 12;
constexpr int CODESET_EUC_K = 13;
constexpr int CODESET_8859_2 = 14;
constexpr int CODESET_8859_3 = 15;
constexpr int CODESET_8859_4 = 16;
constexpr int CODESET_8859_5 = 17;
constexpr int CODESET_8859_6 = 18;
constexpr int CODESET_8859_7 = 19;
constexpr int CODESET_8859_8 = 20;
constexpr int CODESET_8859_9 = 21;
constexpr int CODESET_8859_10 = 22;
constexpr int CODESET_1250 = 23;
constexpr int CODESET_1251 = 24;
constexpr int CODESET_1253 = 25;
constexpr int CODESET_1254 = 26;
constexpr int CODESET_1255 = 27;
constexpr int CODESET_1256 = 28;
constexpr int CODESET_1257 = 29;
constexpr int CODESET_1258 = 30;
// UTF-8, beyond the numbered table (whose values it never takes): characters
// of 1 to 4 bytes as Unicode defines them, no overlong forms, no surrogates,
// nothing above U+10FFFF. The code set of a UTF-8 locale on Linux.
constexpr int CODESET_UTF8 = 31;

extern "C" {

GNUTIL_API int mbGetCodeSet(const char* name);
GNUTIL_API int mbGetLocaleCodeSet(void);
GNUTIL_API int InitMbutil(void);
GNUTIL_API int InitMbutilExt(int codeset);

GNUTIL_API int mb_isleadbyte(int c);
GNUTIL_API int isleadbyteExt(int c, int codeset);
GNUTIL_API int mbmaxcharlen(void);
GNUTIL_API int mbmaxcharlenExt(int codeset);
GNUTIL_API int mb_mblen(const char* s, size_t n);
GNUTIL_API int mblenExt(const char* s, size_t n, int codeset);
GNUTIL_API int mbbytesinchar(const char* s);
GNUTIL_API int mbbytesinchartype(const char* s, int codeset);
GNUTIL_API int mbidx(const char* s, int index);
GNUTIL_API int mbidxtype(const char* s, int index, int codeset);
GNUTIL_API int mbnextidx(const char* s, int index);
GNUTIL_API char* mbnextchar(const char* s, int index);
GNUTIL_API int ismbcprint(int c);

}  // extern "C"

#endif  // GNUTIL_MBUTIL_H
