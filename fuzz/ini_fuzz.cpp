// Fuzzes the initialisation-file engine: any bytes as a file, looked up and
// edited. An edit must read back what it wrote and keep the other entries.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "genutil/textscan.h"
#include "platform/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Layout: section, key and value (each up to the first 0xFF byte), then
  // the file text.
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  for (auto& p : parts) {
    size_t cut = in.find('\xFF');
    if (cut == std::string_view::npos) return 0;
    p = in.substr(0, cut);
    in.remove_prefix(cut + 1);
    // Names and values reach the engine as C strings: nothing after a NUL.
    size_t nul = p.find('\0');
    if (nul != std::string_view::npos) p = p.substr(0, nul);
  }
  std::string section(parts[0]), key(parts[1]), value(parts[2]);
  // A byte-order mark at the very start of a file is not part of its first
  // line, so a name that begins with one cannot be read back from there.
  // Names are compared trimmed, so look at them trimmed.
  const std::string_view bom("\xEF\xBB\xBF");
  for (const std::string* name : {&section, &key}) {
    size_t first = name->find_first_not_of(" \t\r\v\f");
    if (first != std::string::npos && std::string_view(*name).substr(first, 3) == bom) return 0;
  }
  std::string text(in);

  std::string before;
  bool had = gnutil::ini::Find(text, section, key, &before, gnutil::CharLength);
  std::string edited;
  if (!gnutil::ini::Set(text, section, key, value, &edited, gnutil::CharLength)) return 0;
  std::string after;
  if (!gnutil::ini::Find(edited, section, key, &after, gnutil::CharLength)) abort();
  // What a read gives: trimmed, and one pair of matching quotes removed.
  std::string_view expect(value);
  const std::string_view blanks(" \t\r\v\f");
  while (!expect.empty() && blanks.find(expect.front()) != blanks.npos) expect.remove_prefix(1);
  while (!expect.empty() && blanks.find(expect.back()) != blanks.npos) expect.remove_suffix(1);
  if (expect.size() >= 2 && (expect.front() == '"' || expect.front() == '\'') &&
      expect.back() == expect.front())
    expect = expect.substr(1, expect.size() - 2);
  if (after != expect) abort();
  // Setting the same value again changes nothing.
  std::string again;
  if (!gnutil::ini::Set(edited, section, key, value, &again, gnutil::CharLength) || again != edited)
    abort();
  (void)had;
  return 0;
}
