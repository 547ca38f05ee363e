// POSIX-only: the string table of a Linux resource library.
//
// Windows keeps string resources in a section of the DLL that LoadStringA
// reads. A Linux resource library is a shared object that exports one
// variable instead, generated from the same .rc source by
// cmake/gnutil_rcgen.cpp:
//
//     extern "C" const StringTable gnutil_resource_strings;
//
// Entries are sorted by id, texts are UTF-8 and NUL-terminated. A program
// carries its own strings the same way, with the symbol exported from the
// executable. The layout is fixed by magic and version, because resource
// libraries are built separately from the library that reads them.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_RESTABLE_H
#define GNUTIL_SRC_PLATFORM_POSIX_RESTABLE_H

namespace gnutil::platform {

constexpr unsigned int kStringTableMagic = 0x53524e47u;  // "GNRS"
constexpr unsigned int kStringTableVersion = 1;
constexpr const char kStringTableSymbol[] = "gnutil_resource_strings";

struct StringTableEntry {
  unsigned int id;
  unsigned int length;  // bytes, without the NUL
  const char* text;
};

struct StringTable {
  unsigned int magic;
  unsigned int version;
  unsigned int count;
  const StringTableEntry* entries;
};

// The entry for id in a table (binary search), or null; null as well for a
// table whose magic or version is not ours.
const StringTableEntry* FindStringEntry(const StringTable* table, long id);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_RESTABLE_H
