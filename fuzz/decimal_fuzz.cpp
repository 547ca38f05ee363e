// The decimal number reader on arbitrary text, with separators of one to four
// bytes and any grouping text taken from the input. Whatever parses is
// written into a buffer of exactly the size announced (ASan sees any
// overrun) and read back to the same digits, in C form and in regional form;
// shifts keep every part within 255 digits.
#include <locale.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "locale/decimal_text.h"

namespace {

using gnutil::DecimalSymbol;

// Takes up to n bytes from the input.
std::string Take(const uint8_t*& data, size_t& size, size_t n) {
  if (n > size) n = size;
  std::string s(reinterpret_cast<const char*>(data), n);
  data += n;
  size -= n;
  return s;
}

DecimalSymbol Symbol(const std::string& bytes) {
  DecimalSymbol s{};
  size_t n = strnlen(bytes.c_str(), 4);
  memcpy(s.bytes, bytes.data(), n);
  s.length = n;
  return s;
}

// Separators with which a written number reads back unchanged: non-empty,
// free of digits and sign characters, and neither the start of the other.
bool Plain(const DecimalSymbol& s) {
  if (s.length == 0) return false;
  for (size_t i = 0; i < s.length; ++i) {
    char c = s.bytes[i];
    if ((c >= '0' && c <= '9') || c == '-' || c == '(' || c == ')' || c == ' ') return false;
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool Distinct(const DecimalSymbol& a, const DecimalSymbol& b) {
  size_t n = a.length < b.length ? a.length : b.length;
  return memcmp(a.bytes, b.bytes, n) != 0;
}

std::string Write(const DecimalNumberT& n, const DecimalSymbol& group, const DecimalSymbol& decimal,
                  const gnutil::DecimalGrouping* grouping) {
  size_t size = gnutil::DecimalFormattedSize(n, group, decimal, grouping);
  std::vector<char> out(size);
  size_t length = gnutil::FormatDecimal(out.data(), n, group, decimal, grouping);
  if (length + 1 != size || out[length] != '\0') abort();
  return std::string(out.data(), length);
}

void SameDigits(const DecimalNumberT& a, const DecimalNumberT& b) {
  if (strcmp(a.integerPart, b.integerPart) != 0 || strcmp(a.fractionPart, b.fractionPart) != 0 ||
      a.negative != b.negative) {
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static bool initialised = false;
  if (!initialised) {
    setlocale(LC_ALL, "C.UTF-8");  // multibyte characters around the number
    initialised = true;
  }
  int exponent = static_cast<int8_t>(data[0]) * 3;
  bool forceRegional = data[0] & 1;
  size_t groupLength = data[1] % 5;
  size_t decimalLength = 1 + data[2] % 4;
  data += 3;
  size -= 3;
  DecimalSymbol group = Symbol(Take(data, size, groupLength));
  DecimalSymbol decimal = Symbol(Take(data, size, decimalLength));
  std::string groupingText = Take(data, size, 8);
  std::string text(reinterpret_cast<const char*>(data), size);
  gnutil::DecimalGrouping grouping = gnutil::ParseDecimalGrouping(groupingText.c_str());

  free(gnutil::ConvertDecimalToC(text.c_str(), group, decimal, forceRegional));
  free(gnutil::ConvertDecimalToRegional(text.c_str(), group, decimal, &grouping));
  gnutil::IsDecimalCForm(text.c_str());

  DecimalNumberT number;
  int end = -1;
  int result = gnutil::ParseDecimal(text.c_str(), &number, group, decimal, &end);
  if (end < 0 || static_cast<size_t>(end) > strlen(text.c_str())) abort();
  if (result != 0) return 0;
  if (strlen(number.integerPart) > gnutil::kDecimalMaxDigits ||
      strlen(number.fractionPart) > gnutil::kDecimalMaxDigits) {
    abort();
  }

  DecimalNumberT again;
  std::string cForm = Write(number, gnutil::DecimalByte(','), gnutil::DecimalByte('.'), nullptr);
  // The C form drops a lone trailing point ("5." is 5): compare after it.
  if (gnutil::ParseDecimal(cForm.c_str(), &again, gnutil::DecimalByte(','),
                           gnutil::DecimalByte('.'), nullptr) != 0) {
    abort();
  }
  if (number.integerPart[0] == '\0' && again.integerPart[0] == '0') again.integerPart[0] = '\0';
  SameDigits(number, again);

  if (Plain(group) && Plain(decimal) && Distinct(group, decimal)) {
    std::string regional = Write(number, group, decimal, &grouping);
    if (gnutil::ParseDecimal(regional.c_str(), &again, group, decimal, nullptr) != 0) abort();
    if (number.integerPart[0] == '\0' && again.integerPart[0] == '0') again.integerPart[0] = '\0';
    SameDigits(number, again);
  }

  if (gnutil::ShiftDecimal(&number, exponent)) {
    if (strlen(number.integerPart) > gnutil::kDecimalMaxDigits ||
        strlen(number.fractionPart) > gnutil::kDecimalMaxDigits) {
      abort();
    }
    Write(number, group, decimal, nullptr);
  }
  return 0;
}
