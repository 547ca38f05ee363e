// sprintf's output estimate over any format, and sprintf itself over formats
// whose arguments are known: its result must be exactly what the runtime's
// snprintf gives, whether or not the estimate was enough.
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "genutil/format_estimate.h"
#include "gnutil/gnstring.h"

namespace {

// Arguments drawn from the input; strings point into it.
class FuzzArgs : public gnutil::FormatArgs {
 public:
  FuzzArgs(const std::vector<std::string>& strings, const uint8_t* data, size_t size)
      : strings_(strings), data_(data), size_(size) {}
  int NextInt() override {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = v * 256 + (size_ ? data_[pos_++ % size_] : 0);
    return static_cast<int>(v);
  }
  void SkipInteger(int) override {}
  void SkipDouble(bool) override {}
  void SkipPointer() override {}
  const char* NextString() override {
    if (strings_.empty() || (size_ && data_[pos_++ % size_] == 0)) return nullptr;
    return strings_[next_++ % strings_.size()].c_str();
  }
  const wchar_t* NextWideString() override { return L"wide text"; }

 private:
  const std::vector<std::string>& strings_;
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  size_t next_ = 0;
};

// The format with every conversion turned into a string conversion with at
// most 5-digit width and precision, and at most eight of them.
std::string SafeFormat(const std::string& in) {
  std::string out;
  int conversions = 0;
  size_t i = 0;
  while (i < in.size()) {
    char c = in[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < in.size() && in[i] == '%') {
      out += "%%";
      ++i;
      continue;
    }
    if (conversions == 8) {
      out += "%%";
      continue;
    }
    std::string directive = "%";
    while (i < in.size() && strchr("-+ 0#", in[i]) != nullptr) directive += in[i++];
    for (int d = 0; d < 5 && i < in.size() && in[i] >= '0' && in[i] <= '9'; ++d)
      directive += in[i++];
    while (i < in.size() && in[i] >= '0' && in[i] <= '9') ++i;
    if (i < in.size() && in[i] == '.') {
      directive += in[i++];
      for (int d = 0; d < 5 && i < in.size() && in[i] >= '0' && in[i] <= '9'; ++d)
        directive += in[i++];
      while (i < in.size() && in[i] >= '0' && in[i] <= '9') ++i;
    }
    if (i < in.size()) ++i;  // the conversion character, whatever it was
    out += directive + "s";
    ++conversions;
  }
  return out;
}

std::string Reference(const char* format, ...) {
  va_list a;
  va_start(a, format);
  va_list b;
  va_copy(b, a);
  int n = vsnprintf(nullptr, 0, format, a);
  va_end(a);
  std::string out;
  if (n >= 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    vsnprintf(buf.data(), buf.size(), format, b);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(b);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The format is the input up to its first NUL; the pieces after it are the
  // string arguments.
  std::string all(reinterpret_cast<const char*>(data), size);
  size_t nul = all.find('\0');
  std::string format = all.substr(0, nul);
  std::vector<std::string> strings;
  while (nul != std::string::npos) {
    size_t next = all.find('\0', nul + 1);
    strings.push_back(all.substr(nul + 1, next == std::string::npos ? next : next - nul - 1));
    nul = next;
  }

  FuzzArgs args(strings, data, size);
  (void)gnutil::EstimateFormattedLength(format.c_str(), args);

  std::string safe = SafeFormat(format);
  const char* s[8];
  for (size_t k = 0; k < 8; ++k) s[k] = k < strings.size() ? strings[k].c_str() : "";
  CGNString out("unchanged");
  int n = out.sprintf(safe.c_str(), s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
  std::string want = Reference(safe.c_str(), s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
  if (n != static_cast<int>(want.size())) abort();
  std::string got(static_cast<const char*>(out), out.GetLength());
  if (n >= 1 ? got != want : got != "unchanged") abort();
  return 0;
}
