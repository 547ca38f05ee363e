// Fuzzes the registry store's text form: any bytes parse without harm, and
// what the store writes reads back to the same text.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "genutil/textscan.h"
#include "platform/regstore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  gnutil::reg::Store store(gnutil::CharLength);
  store.Parse(text);
  std::string written = store.Serialize();
  gnutil::reg::Store back(gnutil::CharLength);
  if (!back.Parse(written) || back.Serialize() != written) abort();
  return 0;
}
