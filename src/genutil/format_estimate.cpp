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
    if (*p != '%') {
      // A character counts its bytes. '%' is never the second byte of a
      // character in our code sets; should broken text claim one, go byte
      // by byte so as never to step over a conversion printf will see.
      size_t n = static_cast<size_t>(mbbytesinchar(p));
      size_t k = 0;
      while (k < n && p[k] != '\0' && (k == 0 || p[k] != '%')) ++k;
      total = Add(total, k);
      p += k;
      continue;
    }
    ++p;
    if (*p == '%') {
      total = Add(total, 1);
      ++p;
      continue;
    }
    size_t item = 0;
    // Flags.
    for (;; ++p) {
      if (*p == '#') {
        item = Add(item, 2);
      } else if (*p != '-' && *p != '+' && *p != '0' && *p != ' ' && *p != '\'') {
        break;
      }
    }
    size_t width = 0;
    if (*p == '*') {
      int w = args.NextInt();
      width = w < 0 ? static_cast<size_t>(-(static_cast<long long>(w))) : static_cast<size_t>(w);
      ++p;
    } else {
      width = ReadNumber(&p);
    }
    bool hasPrecision = false;
    size_t precision = 0;
    if (*p == '.') {
      ++p;
      hasPrecision = true;
      if (*p == '*') {
        int v = args.NextInt();
        hasPrecision = v >= 0;
        precision = v < 0 ? 0 : static_cast<size_t>(v);
        ++p;
      } else {
        precision = ReadNumber(&p);
      }
    }
    // Length modifiers: h and l mark the short and long forms.
    bool shortForm = false;
    int length = 0;
    for (;; ++p) {
      if (*p == 'h') {
        shortForm = true;
      } else if (*p == 'l') {
        length = length == 'l' ? 'L' : 'l';
      } else if (*p == 'L' || *p == 'q') {
        length = 'L';
      } else if (*p == 'j' || *p == 'z' || *p == 't') {
        length = *p;
      } else {
        break;
      }
    }
    const char conv = *p;
    if (conv == '\0') break;
    ++p;
    size_t value = 0;
    switch (conv) {
      case 's':
      case 'S':
        if (conv == 's' && (length != 'l' || shortForm)) {
          value = BoundedStrlen(args.NextString());
        } else {
          value = BoundedWcslen(args.NextWideString());
        }
        if (value < 1) value = 1;
        if (value < width) value = width;
        if (hasPrecision && value > precision) value = precision;
        break;
      case 'c':
      case 'C':
        args.SkipInteger(0);  // a char or wint_t arrives as int
        value = 2;
        if (value < width) value = width;
        if (hasPrecision && value > precision) value = precision;
        break;
      case 'e':
      case 'f':
      case 'g':
      case 'G':
        args.SkipDouble(length == 'L');
        value = Add(width, precision);
        if (value < 128) value = 128;
        break;
      case 'E':
      case 'F':
      case 'a':
      case 'A':
        args.SkipDouble(length == 'L');
        value = 4;
        break;
      case 'd':
      case 'i':
      case 'o':
      case 'u':
      case 'x':
      case 'X':
        args.SkipInteger(length);
        value = Add(width, precision);
        if (value < 32) value = 32;
        break;
      case 'p':
        args.SkipPointer();
        value = Add(width, precision);
        if (value < 32) value = 32;
        break;
      case 'n':
        args.SkipPointer();
        break;
      case 'm':
        value = 4;
        break;
      default:
        // Unknown to printf: what it does with the arguments from here on
        // cannot be known, so stop.
        return Add(total, Add(item, 4));
    }
    total = Add(total, Add(item, value));
  }
  return total;
}

}  // namespace gnutil
