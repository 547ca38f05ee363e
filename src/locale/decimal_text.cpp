// Decimal numbers as digit strings: parse, format, shift. See decimal_text.h.
//
// The text is scanned in bytes inside the number (digits and the two symbols,
// matched whole) and by characters of the process locale around it, so that a
// trail byte of a double-byte character is never taken for a digit, a sign
// or the first byte of a separator.
#include "locale/decimal_text.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "platform/locale.h"

namespace gnutil {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first byte decides almost every time; only a wide symbol compares on.
inline bool Matches(const DecimalSymbol& s, const char* p, size_t avail) {
  if (s.length == 0 || *p != s.bytes[0]) return false;
  return s.length == 1 || (s.length <= avail && memcmp(p + 1, s.bytes + 1, s.length - 1) == 0);
}

// Bytes of the character at p (at least 1, at most avail).
size_t CharLength(const char* p, size_t avail) {
  if (static_cast<unsigned char>(*p) < 0x80) return 1;
  uint32_t cp = 0;
  int n = platform::MbToCodePoint(&cp, p, avail);
  return n > 0 ? static_cast<size_t>(n) : 1;
}

void Name(DecimalGrouping* g, unsigned position) {
  if (position >= 1 && position <= kDecimalMaxDigits) {
    g->named[position / 64] |= uint64_t{1} << (position % 64);
  }
}

bool SeparatorAt(const DecimalGrouping& g, size_t r) {
  if ((g.named[r / 64] >> (r % 64)) & 1) return true;
  return g.repeatStep != 0 && r > g.repeatFrom && (r - g.repeatFrom) % g.repeatStep == 0;
}

char* Emit(const DecimalNumberT& number, const DecimalSymbol& group, const DecimalSymbol& decimal,
           const DecimalGrouping* grouping) {
  char* out = static_cast<char*>(malloc(DecimalFormattedSize(number, group, decimal, grouping)));
  if (out != nullptr) FormatDecimal(out, number, group, decimal, grouping);
  return out;
}

}  // namespace

DecimalSymbol DecimalByte(char c) {
  DecimalSymbol s{};
  s.bytes[0] = c;
  s.length = c != '\0' ? 1 : 0;
  return s;
}

DecimalSymbol DecimalFirstCharacter(const char* text) {
  DecimalSymbol s{};
  if (text == nullptr || *text == '\0') return s;
  if (static_cast<unsigned char>(*text) < 0x80) return DecimalByte(*text);
  size_t avail = strnlen(text, sizeof s.bytes);
  size_t n = CharLength(text, avail);
  if (n > avail) n = 1;
  memcpy(s.bytes, text, n);
  s.length = n;
  return s;
}

DecimalGrouping ParseDecimalGrouping(const char* text) {
  DecimalGrouping g{};
  if (text == nullptr) return g;
  unsigned position = 0;
  unsigned last = 0;
  for (const char* p = text; *p != '\0' && position <= kDecimalMaxDigits; ++p) {
    if (!IsDigit(*p)) continue;  // ";" and anything else
    unsigned d = static_cast<unsigned>(*p - '0');
    if (d == 0) {
      // A final 0 repeats the last size to the end; no size yet means none.
      if (last != 0) {
        g.repeatFrom = position;
        g.repeatStep = last;
      }
      break;
    }
    position += d;
    last = d;
    g.active = true;
    Name(&g, position);
  }
  return g;
}

int ParseDecimal(const char* text, DecimalNumberT* out, const DecimalSymbol& group,
                 const DecimalSymbol& decimal, int* end) {
  if (end != nullptr) *end = 0;
  if (text == nullptr || out == nullptr) return -1;
  // Cleared as far as anyone reads: each part is terminated where it ends.
  out->integerPart[0] = '\0';
  out->fractionPart[0] = '\0';
  out->negative = 0;
  size_t length = strlen(text);
  if (length == 0) return 0;

  size_t first = 0;
  while (first < length && text[first] == ' ') ++first;
  size_t last = length;
  while (last > first && text[last - 1] == ' ') --last;

  // Before the number: look for its start a character at a time, noting the
  // sign characters on the way.
  size_t start = first;
  size_t prefixChars = 0;
  bool prefixMinus = false;
  bool prefixParen = false;
  while (start < last && !IsDigit(text[start]) && !Matches(decimal, text + start, last - start)) {
    prefixMinus |= text[start] == '-';
    prefixParen |= text[start] == '(';
    ++prefixChars;
    start += CharLength(text + start, last - start);
  }
  if (start >= last) return -1;

  // The number, its digits gathered on the way: group separators are
  // dropped before the decimal symbol; after it only digits may follow. A
  // flaw found here fails the parse once the end is known.
  size_t stop = start;
  size_t integerDigits = 0;
  size_t fractionDigits = 0;
  bool inFraction = false;
  bool flawed = false;
  while (stop < last) {
    char c = text[stop];
    if (IsDigit(c)) {
      if (!inFraction) {
        if (integerDigits < kDecimalMaxDigits) {
          out->integerPart[integerDigits] = c;
        }
        ++integerDigits;
      } else {
        if (fractionDigits < kDecimalMaxDigits) {
          out->fractionPart[fractionDigits] = c;
        }
        ++fractionDigits;
      }
      ++stop;
    } else if (Matches(decimal, text + stop, last - stop)) {
      flawed |= inFraction;
      inFraction = true;
      stop += decimal.length;
    } else if (Matches(group, text + stop, last - stop)) {
      flawed |= inFraction;
      stop += group.length;
    } else {
      break;
    }
  }
  flawed |= integerDigits > kDecimalMaxDigits || fractionDigits > kDecimalMaxDigits;
  out->integerPart[integerDigits < kDecimalMaxDigits ? integerDigits : kDecimalMaxDigits] = '\0';
  out->fractionPart[fractionDigits < kDecimalMaxDigits ? fractionDigits : kDecimalMaxDigits] = '\0';
  if (end != nullptr) *end = stop > INT_MAX ? INT_MAX : static_cast<int>(stop);

  size_t suffixChars = 0;
  bool suffixMinus = false;
  bool suffixParen = false;
  for (size_t i = stop; i < last; i += CharLength(text + i, last - i)) {
    suffixMinus |= text[i] == '-';
    suffixParen |= text[i] == ')';
    ++suffixChars;
  }

  // Sign: a "-" before the number (then nothing after it), a "-" after it
  // (then nothing before it), or parentheses around it; any other text
  // around the number is ignored.
  if (prefixMinus) {
    if (suffixChars != 0 || prefixChars > 1) return -1;
    out->negative = -1;
  } else if (suffixMinus) {
    if (prefixChars != 0 || suffixChars > 1) return -1;
    out->negative = -1;
  } else if (prefixParen && suffixParen) {
    if (prefixChars > 1 || suffixChars > 1) return -1;
    out->negative = -1;
  }

  // The decimal symbol alone is no number.
  if (stop - start == decimal.length && inFraction && integerDigits == 0 && fractionDigits == 0) {
    return -1;
  }
  return flawed ? -1 : 0;
}

bool IsDecimalCForm(const char* text) {
  if (text == nullptr) return true;
  const char* p = text;
  while (*p == ' ') ++p;
  if (*p == '-') ++p;
  for (; *p != '\0'; ++p) {
    if (IsDigit(*p) || *p == '.') continue;
    // Only trailing blanks may follow.
    while (*p == ' ') ++p;
    return *p == '\0';
  }
  return true;
}

size_t DecimalFormattedSize(const DecimalNumberT& number, const DecimalSymbol& group,
                            const DecimalSymbol& decimal, const DecimalGrouping* grouping) {
  size_t integerDigits = strnlen(number.integerPart, sizeof number.integerPart);
  size_t fractionDigits = strnlen(number.fractionPart, sizeof number.fractionPart);
  size_t size = (number.negative != 0 ? 1 : 0) + (integerDigits != 0 ? integerDigits : 1) + 1;
  if (fractionDigits != 0) size += decimal.length + fractionDigits;
  if (grouping != nullptr && grouping->active) {
    for (size_t r = 1; r < integerDigits; ++r) {
      if (SeparatorAt(*grouping, r)) size += group.length;
    }
  }
  return size;
}

size_t FormatDecimal(char* out, const DecimalNumberT& number, const DecimalSymbol& group,
                     const DecimalSymbol& decimal, const DecimalGrouping* grouping) {
  size_t integerDigits = strnlen(number.integerPart, sizeof number.integerPart);
  size_t fractionDigits = strnlen(number.fractionPart, sizeof number.fractionPart);
  bool grouped = grouping != nullptr && grouping->active && group.length != 0;
  char* p = out;
  if (number.negative != 0) *p++ = '-';
  for (size_t i = 0; i < integerDigits; ++i) {
    *p++ = number.integerPart[i];
    size_t remaining = integerDigits - i - 1;
    if (grouped && remaining != 0 && SeparatorAt(*grouping, remaining)) {
      memcpy(p, group.bytes, group.length);
      p += group.length;
    }
  }
  if (integerDigits == 0) *p++ = '0';
  if (fractionDigits != 0) {
    memcpy(p, decimal.bytes, decimal.length);
    p += decimal.length;
    memcpy(p, number.fractionPart, fractionDigits);
    p += fractionDigits;
  }
  *p = '\0';
  return static_cast<size_t>(p - out);
}

bool ShiftDecimal(DecimalNumberT* number, int exponent) {
  if (exponent == 0) return true;
  size_t integerDigits = strnlen(number->integerPart, sizeof number->integerPart);
  size_t fractionDigits = strnlen(number->fractionPart, sizeof number->fractionPart);
  // Work in a wide type: the exponent may be INT_MIN.
  long long k = exponent < 0 ? -static_cast<long long>(exponent) : exponent;
  char integer[2 * kDecimalMaxDigits + 1];
  char fraction[2 * kDecimalMaxDigits + 1];
  if (exponent < 0) {
    if (k + static_cast<long long>(fractionDigits) > static_cast<long long>(kDecimalMaxDigits)) {
      return false;
    }
    size_t shift = static_cast<size_t>(k);
    size_t moved = shift < integerDigits ? shift : integerDigits;
    size_t zeros = shift - moved;
    size_t kept = integerDigits - moved;
    memset(fraction, '0', zeros);
    memcpy(fraction + zeros, number->integerPart + kept, moved);
    memcpy(fraction + zeros + moved, number->fractionPart, fractionDigits);
    fraction[shift + fractionDigits] = '\0';
    memcpy(integer, number->integerPart, kept);
    integer[kept] = '\0';
  } else {
    if (k + static_cast<long long>(integerDigits) > static_cast<long long>(kDecimalMaxDigits)) {
      return false;
    }
    size_t shift = static_cast<size_t>(k);
    size_t moved = shift < fractionDigits ? shift : fractionDigits;
    size_t zeros = shift - moved;
    memcpy(integer, number->integerPart, integerDigits);
    memcpy(integer + integerDigits, number->fractionPart, moved);
    memset(integer + integerDigits + moved, '0', zeros);
    integer[integerDigits + shift] = '\0';
    memcpy(fraction, number->fractionPart + moved, fractionDigits - moved);
    fraction[fractionDigits - moved] = '\0';
  }
  memset(number->integerPart, 0, sizeof number->integerPart);
  memset(number->fractionPart, 0, sizeof number->fractionPart);
  memcpy(number->integerPart, integer, strlen(integer));
  memcpy(number->fractionPart, fraction, strlen(fraction));
  return true;
}

int ReadDecimalText(const char* text, DecimalNumberT* out, const DecimalSymbol& group,
                    const DecimalSymbol& decimal, bool forceRegional) {
  if (!forceRegional && IsDecimalCForm(text)) {
    return ParseDecimal(text, out, DecimalByte(','), DecimalByte('.'), nullptr);
  }
  return ParseDecimal(text, out, group, decimal, nullptr);
}

char* ConvertDecimalToC(const char* text, const DecimalSymbol& group, const DecimalSymbol& decimal,
                        bool forceRegional) {
  DecimalNumberT number;
  if (ReadDecimalText(text, &number, group, decimal, forceRegional) != 0) return nullptr;
  return Emit(number, DecimalByte(','), DecimalByte('.'), nullptr);
}

char* ConvertDecimalToRegional(const char* text, const DecimalSymbol& group,
                               const DecimalSymbol& decimal, const DecimalGrouping* grouping) {
  DecimalNumberT number;
  if (ReadDecimalText(text, &number, group, decimal, false) != 0) return nullptr;
  return Emit(number, group, decimal, grouping);
}

}  // namespace gnutil
