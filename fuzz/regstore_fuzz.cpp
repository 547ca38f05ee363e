// Fuzzes the registry store's text form: any bytes parse without harm, and
// what the store writes reads back to the same text.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "os/config/regstore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  gnutil::reg::Store store;
  store.Parse(text);
  std::string written = store.Serialize();
  gnutil::reg::Store back;
  if (!back.Parse(written) || back.Serialize() != written) abort();
  return 0;
}
