// The names of the code sets: one table for the library's own lookup by name
// (mbGetCodeSet, which finds a key anywhere in a longer name) and for the
// names people type (the gnutil tool, which takes a whole name, in any case).
#ifndef GNUTIL_SRC_GENUTIL_CODESET_NAMES_H
#define GNUTIL_SRC_GENUTIL_CODESET_NAMES_H

#include <stddef.h>

namespace gnutil {

struct CodeSetName {
  const char* name;
  int codeset;
  // One of the keys that mbGetCodeSet looks for inside a name. The keys come
  // first, in the order they are tried: several contain others ("SJIS" holds
  // "JIS", "EUC_TW" holds "EUC").
  bool key;
};

// The table; *count receives its length.
const CodeSetName* CodeSetNames(size_t* count);

// The code set of a whole name in any of its usual spellings: letters are
// compared without regard to case, and '-', '_', '.' and spaces are ignored,
// so "EUC-JP", "euc_jp" and "eucjp" agree. -1 for a name that is not in the
// table (a name that merely contains one is not taken). "NONE" gives 0.
int CodeSetByName(const char* name);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_CODESET_NAMES_H
