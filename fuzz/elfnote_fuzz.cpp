// Fuzzes the ELF version note reader: any bytes as a file.
#include <stddef.h>
#include <stdint.h>

#include "platform/posix/elfnote.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t ms = 0, ls = 0;
  gnutil::elf::FindVersionNote(data, size, &ms, &ls);
  return 0;
}
