// The version record of an ELF file: a note named "gnutil" of type 1 whose
// description is two 32-bit words in the file's byte order, the file
// version's most and least significant words, as in a Windows version
// resource (cmake/gnutilVersion.cmake adds it to a target).
#ifndef GNUTIL_SRC_OS_ELFNOTE_H
#define GNUTIL_SRC_OS_ELFNOTE_H

#include <stddef.h>
#include <stdint.h>

namespace gnutil::elf {

constexpr uint32_t kVersionNoteType = 1;

// Looks for the version note in the bytes of an ELF file (32 or 64 bits,
// either byte order), in its note sections or, where the section table is
// gone, its note segments. False when the bytes are not ELF or hold no such
// note; never reads outside data[0, size).
bool FindVersionNote(const unsigned char* data, size_t size, uint32_t* most_significant,
                     uint32_t* least_significant);

}  // namespace gnutil::elf

#endif  // GNUTIL_SRC_OS_ELFNOTE_H
