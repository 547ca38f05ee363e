// The ELF version note reader on files made here, whole and damaged.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "platform/posix/elfnote.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes* b, size_t at, uint64_t v, int bytes, bool big) {
  if (b->size() < at + bytes) b->resize(at + bytes);
  for (int i = 0; i < bytes; ++i)
    (*b)[at + i] = static_cast<unsigned char>(v >> ((big ? bytes - 1 - i : i) * 8));
}

// An ELF file with one note (name, type, two words) reachable through a
// section header, a program header, or both.
Bytes MakeElf(bool wide, bool big, bool section, bool segment, const char* name = "gnutil",
              uint32_t type = 1) {
  const int word = wide ? 8 : 4;
  const size_t phentsize = wide ? 56 : 32, shentsize = wide ? 64 : 40;
  Bytes b(wide ? 64 : 52, 0);
  b[0] = 0x7F, b[1] = 'E', b[2] = 'L', b[3] = 'F', b[4] = wide ? 2 : 1, b[5] = big ? 2 : 1;
  b[6] = 1;
  // The note at 256.
  const size_t note = 256, namesz = strlen(name) + 1;
  Put(&b, note, namesz, 4, big);
  Put(&b, note + 4, 8, 4, big);
  Put(&b, note + 8, type, 4, big);
  const size_t desc = note + 12 + ((namesz + 3) & ~size_t{3});
  Put(&b, desc, 0x05010003, 4, big);
  Put(&b, desc + 4, 0x00020009, 4, big);
  std::copy(name, name + namesz - 1, b.begin() + note + 12);
  const size_t note_size = desc + 8 - note;
  const size_t tail = 24 + 3 * word + 4;
  if (segment) {
    const size_t ph = 128;
    Put(&b, 24 + word, ph, word, big);
    Put(&b, tail + 2, phentsize, 2, big);
    Put(&b, tail + 4, 1, 2, big);
    Put(&b, ph, 4, 4, big);  // PT_NOTE
    Put(&b, ph + (wide ? 8 : 4), note, word, big);
    Put(&b, ph + (wide ? 32 : 16), note_size, word, big);
    b.resize(std::max(b.size(), ph + phentsize));
  }
  if (section) {
    const size_t sh = 512;
    Put(&b, 24 + 2 * word, sh, word, big);
    Put(&b, tail + 6, shentsize, 2, big);
    Put(&b, tail + 8, 2, 2, big);
    Put(&b, sh + shentsize + 4, 7, 4, big);  // the second section is SHT_NOTE
    Put(&b, sh + shentsize + 8 + 2 * word, note, word, big);
    Put(&b, sh + shentsize + 8 + 3 * word, note_size, word, big);
    b.resize(std::max(b.size(), sh + 2 * shentsize));
  }
  return b;
}

TEST(ElfNote, FoundInEveryFlavourThroughSectionsOrSegments) {
  for (bool wide : {false, true}) {
    for (bool big : {false, true}) {
      for (int way = 1; way <= 3; ++way) {
        Bytes b = MakeElf(wide, big, way & 1, way & 2);
        uint32_t ms = 0, ls = 0;
        ASSERT_TRUE(gnutil::elf::FindVersionNote(b.data(), b.size(), &ms, &ls))
            << wide << big << way;
        EXPECT_EQ(ms, 0x05010003u);
        EXPECT_EQ(ls, 0x00020009u);
      }
    }
  }
}

TEST(ElfNote, OtherNotesAndNonElfBytesAreNotVersions) {
  uint32_t ms = 7, ls = 7;
  // Another owner's note, another type, no note at all.
  for (const Bytes& b :
       {MakeElf(true, false, true, true, "GNU"), MakeElf(true, false, true, true, "gnutil", 3),
        MakeElf(false, false, false, false)})
    EXPECT_FALSE(gnutil::elf::FindVersionNote(b.data(), b.size(), &ms, &ls));
  const unsigned char text[] = "MZ this is not an ELF file at all, but long enough to look at..";
  EXPECT_FALSE(gnutil::elf::FindVersionNote(text, sizeof text, &ms, &ls));
  EXPECT_EQ(ms, 7u);
  EXPECT_EQ(ls, 7u);
}

// Arbitrary damage is the fuzz target's (fuzz/elfnote_fuzz.cpp).
TEST(ElfNote, TruncatedFilesAreReadSafely) {
  Bytes good = MakeElf(true, false, true, false);
  for (size_t n = 0; n < good.size(); ++n) {
    uint32_t ms = 0, ls = 0;
    // Only the whole section table leads to the note.
    EXPECT_EQ(gnutil::elf::FindVersionNote(good.data(), n, &ms, &ls), false) << n;
  }
}

}  // namespace
