// Fuzzes the Windows command-line splitter and the %NAME% expansion with any
// bytes. The splitter must give back, in order, every character that is not
// a separator, quote or escaping backslash; the expansion must leave a text
// alone when no variable is set, and replace only whole references.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "os/process_internal.h"
#include "platform/posix/cmdline.h"

namespace {

// Variables whose values are built from their names: some empty, some with
// "%" in them (never expanded again), some long.
bool Lookup(const std::string& name, std::string* value) {
  if (name.empty() || name[0] == 'u') return false;
  if (name[0] == 'e') {
    value->clear();
  } else if (name[0] == 'p') {
    *value = "%" + name + "%";
  } else if (name[0] == 'l') {
    value->assign(300 + name.size(), 'L');
  } else {
    *value = "<" + name + ">";
  }
  return true;
}

std::string WithoutSpecials(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '"' && c != '\\') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);

  std::string joined;
  for (const std::string& arg : gnutil::platform::SplitCommandLine(text)) joined += arg;
  if (WithoutSpecials(joined) != WithoutSpecials(text)) abort();

  auto unset = [](const std::string&, std::string*) { return false; };
  if (gnutil::ExpandVariableReferences(text, unset) != text) abort();
  std::string expanded = gnutil::ExpandVariableReferences(text, Lookup);
  if (text.find('%') == std::string::npos && expanded != text) abort();
  return 0;
}
