// The table of the code sets' names, one row per code set, behind the public
// lookups of gnutil/codesets.h, mbGetCodeSet's keys and the code set that
// InitMbutil reads from a POSIX locale name.
#ifndef GNUTIL_SRC_GENUTIL_CODESET_NAMES_H
#define GNUTIL_SRC_GENUTIL_CODESET_NAMES_H

#include <stddef.h>

namespace gnutil {

struct CodeSetRow {
  int codeset;
  const char* label;  // what programs show for it
  const char* iconv;  // the system converter's name, where UTF-8 pairs go through it
  // The keys mbGetCodeSet looks for anywhere in a name. The rows are in the
  // order the keys are tried, since several keys contain others ("SJIS" holds
  // "JIS", "EUC_TW" holds "EUC").
  const char* keys[2];
  // The code set's spellings in POSIX locale names ("ja_JP.eucJP"), compared
  // by their letters and digits only.
  const char* posix[3];
  // Further whole names that people type; with the keys, what CodeSetByName
  // takes.
  const char* names[4];
};

// The table; *count receives its length.
const CodeSetRow* CodeSetRows(size_t* count);

// The code set of the code-set part of a POSIX locale name (after the dot, up
// to an '@'); -1 when it names none of ours.
int CodeSetForPosixName(const char* codeset);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_CODESET_NAMES_H
