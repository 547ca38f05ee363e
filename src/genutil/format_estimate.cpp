// The output estimate of CGNString::sprintf (see format_estimate.h).
#include "genutil/format_estimate.h"

#include <stdint.h>
#include <string.h>

#include "gnutil/mbutil.h"

namespace gnutil {

namespace {

constexpr size_t kMax = static_cast<size_t>(-1) / 4;

size_t Add(size_t a, size_t b) { return a > kMax - (b > kMax ? kMax : b) ? kMax : a + b; }

// Reads decimal digits, saturating.
size_t ReadNumber(const char** p) {
  size_t n = 0;
  while (**p >= '0' && **p <= '9') {
    n = n > kMax / 10 ? kMax : n * 10 + static_cast<size_t>(**p - '0');
    ++*p;
  }
  return n;
}

size_t BoundedStrlen(const char* s) { return s == nullptr ? 6 : strlen(s); }
size_t BoundedWcslen(const wchar_t* s) { return s == nullptr ? 6 : wcslen(s); }

// One conversion as written: what the flags, width, precision and length
// modifiers say, and the conversion letter.
struct Conversion {
  size_t flagBytes = 0;  // what the flags add ("#": 2)
  size_t width = 0;
  bool hasPrecision = false;
  size_t precision = 0;
  bool shortForm = false;  // h
  int length = 0;          // 'l' 'L'(ll) 'j' 'z' 't' or 0
  char letter = '\0';
};

// Bytes of ordinary text at *p up to the next '%' or the end, stepping by
// characters. '%' is never the second byte of a character in our code sets;
// should broken text claim one, go byte by byte so as never to step over a
// conversion printf will see.
size_t CountText(const char** p) {
  size_t total = 0;
  while (**p != '\0' && **p != '%') {
    size_t n = static_cast<size_t>(mbbytesinchar(*p));
    size_t k = 0;
    while (k < n && (*p)[k] != '\0' && (k == 0 || (*p)[k] != '%')) ++k;
    total = Add(total, k);
    *p += k;
  }
  return total;
}

// Reads a conversion after its '%', taking the arguments that a '*' width or
// precision consumes; *p ends after the letter ('\0' when the format ends
// first, *p then at the end).
Conversion ReadConversion(const char** p, FormatArgs& args) {
  Conversion c;
  for (;; ++*p) {
    if (**p == '#') {
      c.flagBytes = Add(c.flagBytes, 2);
    } else if (**p != '-' && **p != '+' && **p != '0' && **p != ' ' && **p != '\'') {
      break;
    }
  }
  if (**p == '*') {
    int w = args.NextInt();
    c.width = w < 0 ? static_cast<size_t>(-(static_cast<long long>(w))) : static_cast<size_t>(w);
    ++*p;
  } else {
    c.width = ReadNumber(p);
  }
  if (**p == '.') {
    ++*p;
    c.hasPrecision = true;
    if (**p == '*') {
      int v = args.NextInt();
      c.hasPrecision = v >= 0;
      c.precision = v < 0 ? 0 : static_cast<size_t>(v);
      ++*p;
    } else {
      c.precision = ReadNumber(p);
    }
  }
  // Length modifiers: h and l mark the short and long forms.
  for (;; ++*p) {
    if (**p == 'h') {
      c.shortForm = true;
    } else if (**p == 'l') {
      c.length = c.length == 'l' ? 'L' : 'l';
    } else if (**p == 'L' || **p == 'q') {
      c.length = 'L';
    } else if (**p == 'j' || **p == 'z' || **p == 't') {
      c.length = **p;
    } else {
      break;
    }
  }
  c.letter = **p;
  if (c.letter != '\0') ++*p;
  return c;
}

// Width plus precision, at least floor.
size_t Widened(const Conversion& c, size_t floor) {
  size_t value = Add(c.width, c.precision);
  return value < floor ? floor : value;
}

// A text raised to the width and cut to the precision.
size_t Fitted(size_t value, const Conversion& c) {
  if (value < c.width) value = c.width;
  if (c.hasPrecision && value > c.precision) value = c.precision;
  return value;
}

// What a conversion adds, taking its argument; false for a letter printf does
// not know.
bool ConversionBytes(const Conversion& c, FormatArgs& args, size_t* value) {
  switch (c.letter) {
    case 's':
    case 'S': {
      size_t n = c.letter == 's' && (c.length != 'l' || c.shortForm)
                     ? BoundedStrlen(args.NextString())
                     : BoundedWcslen(args.NextWideString());
      *value = Fitted(n < 1 ? 1 : n, c);
      return true;
    }
    case 'c':
    case 'C':
      args.SkipInteger(0);  // a char or wint_t arrives as int
      *value = Fitted(2, c);
      return true;
    case 'e':
    case 'f':
    case 'g':
    case 'G':
      args.SkipDouble(c.length == 'L');
      *value = Widened(c, 128);
      return true;
    case 'E':
    case 'F':
    case 'a':
    case 'A':
      args.SkipDouble(c.length == 'L');
      *value = 4;
      return true;
    case 'd':
    case 'i':
    case 'o':
    case 'u':
    case 'x':
    case 'X':
      args.SkipInteger(c.length);
      *value = Widened(c, 32);
      return true;
    case 'p':
      args.SkipPointer();
      *value = Widened(c, 32);
      return true;
    case 'n':
      args.SkipPointer();
      *value = 0;
      return true;
    case 'm':
      *value = 4;
      return true;
    default:
      return false;
  }
}

}  // namespace

int VaFormatArgs::NextInt() { return va_arg(*args_, int); }

void VaFormatArgs::SkipInteger(int lengthModifier) {
  switch (lengthModifier) {
    case 'l':
      (void)va_arg(*args_, long);
      break;
    case 'L':
      (void)va_arg(*args_, long long);
      break;
    case 'j':
      (void)va_arg(*args_, intmax_t);
      break;
    case 'z':
      (void)va_arg(*args_, size_t);
      break;
    case 't':
      (void)va_arg(*args_, ptrdiff_t);
      break;
    default:
      (void)va_arg(*args_, int);
  }
}

void VaFormatArgs::SkipDouble(bool longDouble) {
  if (longDouble) {
    (void)va_arg(*args_, long double);
  } else {
    (void)va_arg(*args_, double);
  }
}

void VaFormatArgs::SkipPointer() { (void)va_arg(*args_, void*); }
const char* VaFormatArgs::NextString() { return va_arg(*args_, const char*); }
const wchar_t* VaFormatArgs::NextWideString() { return va_arg(*args_, const wchar_t*); }

size_t EstimateFormattedLength(const char* format, FormatArgs& args) {
  if (format == nullptr) return 0;
  size_t total = 0;
  const char* p = format;
  while (*p != '\0') {
    total = Add(total, CountText(&p));
    if (*p == '\0') break;
    ++p;  // the '%'
    if (*p == '%') {
      total = Add(total, 1);
      ++p;
      continue;
    }
    Conversion c = ReadConversion(&p, args);
    if (c.letter == '\0') break;
    size_t value = 0;
    // Unknown to printf: what it does with the arguments from here on cannot
    // be known, so stop.
    if (!ConversionBytes(c, args, &value)) return Add(total, Add(c.flagBytes, 4));
    total = Add(total, Add(c.flagBytes, value));
  }
  return total;
}

}  // namespace gnutil
