/// \file
/// \ingroup mbtext
/// The names of the code sets of mbutil.h: the code set a name gives in any of
/// its usual spellings, the short label programs show for a code set, and the
/// name under which the system converter (iconv) knows it.
///
/// All three come from one table, the one mbGetCodeSet and InitMbutil read
/// their names from, so a name the library takes here it also takes there.
#ifndef GNUTIL_CODESETS_H
#define GNUTIL_CODESETS_H

#include "gnutil/export.h"

namespace gnutil {

/// The code set (a CODESET_ number of mbutil.h) that a whole name gives.
/// Letters compare without regard to case and '-', '_', '.' and spaces are
/// ignored, so "EUC-JP", "euc_jp" and "eucjp" agree; "NONE" gives
/// CODESET_NONE. Returns -1 for a null name, a name that is no code set's, and
/// a name that merely contains one ("FOOBIG5BAR").
GNUTIL_API int CodeSetByName(const char* name);

/// The short label of a code set: "SJIS", "EUC", "JIS", "EUC-or-SJIS",
/// "BIG5", "EUC-TW", "UTF-8" and so on. Returns "none" for CODESET_NONE and
/// for a number that is no code set.
GNUTIL_API const char* CodeSetLabel(int codeset);

/// The system converter's name of a code set that the library converts to and
/// from UTF-8 through it ("SHIFT_JIS", "EUC-JP", "ISO-2022-JP", "BIG5",
/// "EUC-TW", "UTF-8"). Returns null for every other code set.
GNUTIL_API const char* CodeSetIconvName(int codeset);

}  // namespace gnutil

#endif  // GNUTIL_CODESETS_H
