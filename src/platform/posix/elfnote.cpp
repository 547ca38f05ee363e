// Finds the version note in an ELF file's bytes. Every offset and size read
// from the file is checked against the buffer before use: the file may be
// anything a caller names.
#include "platform/posix/elfnote.h"

#include <string.h>

namespace gnutil::elf {
namespace {

constexpr uint32_t kSectionNote = 7;  // SHT_NOTE
constexpr uint32_t kSegmentNote = 4;  // PT_NOTE

class Reader {
 public:
  Reader(const unsigned char* data, size_t size, bool big_endian)
      : data_(data), size_(size), big_(big_endian) {}

  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  uint64_t U(uint64_t offset, int bytes) const {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
      int shift = big_ ? (bytes - 1 - i) * 8 : i * 8;
      v |= static_cast<uint64_t>(data_[offset + i]) << shift;
    }
    return v;
  }
  const unsigned char* At(uint64_t offset) const { return data_ + offset; }

 private:
  const unsigned char* data_;
  size_t size_;
  bool big_;
};

uint64_t Align4(uint64_t v) { return (v + 3) & ~uint64_t{3}; }

// Walks the notes in [offset, offset + length).
bool ScanNotes(const Reader& r, uint64_t offset, uint64_t length, uint32_t* ms, uint32_t* ls) {
  if (!r.Has(offset, length)) return false;
  uint64_t end = offset + length;
  while (end - offset >= 12) {
    uint64_t namesz = r.U(offset, 4), descsz = r.U(offset + 4, 4), type = r.U(offset + 8, 4);
    uint64_t name = offset + 12;
    uint64_t desc = name + Align4(namesz);
    if (Align4(namesz) > end - name || Align4(descsz) > end - desc) return false;
    if (type == kVersionNoteType && namesz == 7 && memcmp(r.At(name), "gnutil", 7) == 0 &&
        descsz == 8) {
      *ms = static_cast<uint32_t>(r.U(desc, 4));
      *ls = static_cast<uint32_t>(r.U(desc + 4, 4));
      return true;
    }
    offset = desc + Align4(descsz);
  }
  return false;
}

}  // namespace

bool FindVersionNote(const unsigned char* data, size_t size, uint32_t* ms, uint32_t* ls) {
  if (size < 52 || memcmp(data,
                          "\x7F"
                          "ELF",
                          4) != 0)
    return false;
  const bool wide = data[4] == 2;
  if ((data[4] != 1 && data[4] != 2) || (data[5] != 1 && data[5] != 2)) return false;
  Reader r(data, size, data[5] == 2);
  const int word = wide ? 8 : 4;
  if (wide && size < 64) return false;
  // Header fields after e_entry (at 24): e_phoff, e_shoff, e_flags, e_ehsize,
  // e_phentsize, e_phnum, e_shentsize, e_shnum.
  const uint64_t phoff = r.U(24 + word, word);
  const uint64_t shoff = r.U(24 + 2 * word, word);
  const uint64_t tail = 24 + 3 * word + 4;
  const uint64_t phentsize = r.U(tail + 2, 2), phnum = r.U(tail + 4, 2);
  const uint64_t shentsize = r.U(tail + 6, 2), shnum = r.U(tail + 8, 2);

  // Section headers: sh_type at 4; sh_offset and sh_size after sh_flags and sh_addr.
  const uint64_t sh_min = wide ? 40 : 28;
  if (shoff != 0 && shentsize >= sh_min && r.Has(shoff, shnum * shentsize)) {
    for (uint64_t i = 0; i < shnum; ++i) {
      uint64_t h = shoff + i * shentsize;
      if (r.U(h + 4, 4) != kSectionNote) continue;
      uint64_t offset = r.U(h + 8 + 2 * word, word), length = r.U(h + 8 + 3 * word, word);
      if (ScanNotes(r, offset, length, ms, ls)) return true;
    }
  }
  // Program headers: p_type at 0; p_offset at 4 (32-bit) or 8 (64-bit);
  // p_filesz at 16 (32-bit) or 32 (64-bit).
  const uint64_t ph_min = wide ? 56 : 32;
  if (phoff != 0 && phentsize >= ph_min && r.Has(phoff, phnum * phentsize)) {
    for (uint64_t i = 0; i < phnum; ++i) {
      uint64_t h = phoff + i * phentsize;
      if (r.U(h, 4) != kSegmentNote) continue;
      uint64_t offset = r.U(h + (wide ? 8 : 4), word);
      uint64_t length = r.U(h + (wide ? 32 : 16), word);
      if (ScanNotes(r, offset, length, ms, ls)) return true;
    }
  }
  return false;
}

}  // namespace gnutil::elf
