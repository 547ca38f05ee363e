// CGNString as a file path: split into directory and name or base and
// extension, join, and force to an 8.3 name. Splitting goes by characters on
// the wide copy, so the second byte of a Shift-JIS character (0x5C is the
// backslash) never splits a path.
#include <string.h>

#include "genutil/alloc.h"
#include "genutil/widetext.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "platform/path.h"
#include "platform/utf16.h"
#include "platform/wctype.h"

namespace {

using gnutil::utf16::IsHighSurrogate;
using gnutil::utf16::IsLowSurrogate;

// count units of w as a string of their own.
CGNString FromUnits(const unsigned short* w, size_t count) {
  unsigned short* units = gnutil::AllocUnits(count + 1);
  memcpy(units, w, count * sizeof(unsigned short));
  units[count] = 0;
  try {
    CGNString result(units);
    gnutil::FreeUnits(units);
    return result;
  } catch (...) {
    gnutil::FreeUnits(units);
    throw;
  }
}

// The index of the last unit that isMark accepts, or -1.
template <typename Pred>
int LastMark(const unsigned short* w, unsigned int len, Pred isMark) {
  int mark = -1;
  for (unsigned int i = 0; i < len; ++i) {
    if (isMark(w[i])) mark = static_cast<int>(i);
  }
  return mark;
}

// Splits this string's units at `mark` into the two outputs, or gives the
// whole string to `whole` and empties `other` when there is no mark. The
// outputs may be the string itself, so everything is built before either is
// assigned.
void SplitAt(const unsigned short* w, unsigned int len, int mark, const CGNString& self,
             CGNString& before, CGNString& after, bool wholeIsBefore) {
  if (mark < 0) {
    CGNString copy(self);
    if (wholeIsBefore) {
      after.Empty();
      before = copy;
    } else {
      before.Empty();
      after = copy;
    }
    return;
  }
  CGNString head = FromUnits(w, static_cast<size_t>(mark));
  CGNString tail = FromUnits(w + mark + 1, len - static_cast<size_t>(mark) - 1);
  before = head;
  after = tail;
}

}  // namespace

void CGNString::SplitFilePath(CGNString& directory, CGNString& name) const {
  EnsureWide();
  // The backslash byte may stand for another unit (U+00A5 in glibc's
  // Shift-JIS locale); ask the locale.
  unsigned short backslash = '\\';
  const char bs[2] = {'\\', '\0'};  // the conversion reads up to the NUL
  gnutil::ToUnits(&backslash, 1, bs, 1);
  int mark = LastMark(m_pwzBuffer, m_nWzLength,
                      [backslash](unsigned short u) { return u == '/' || u == backslash; });
  SplitAt(m_pwzBuffer, m_nWzLength, mark, *this, directory, name, false);
}

void CGNString::SplitFileName(CGNString& base, CGNString& extension) const {
  EnsureWide();
  int mark = LastMark(m_pwzBuffer, m_nWzLength, [](unsigned short u) { return u == '.'; });
  SplitAt(m_pwzBuffer, m_nWzLength, mark, *this, base, extension, true);
}

unsigned char CGNString::MakeFilePath(const CGNString& directory, const CGNString& name) {
  const char sep = gnutil::platform::PathSeparator();
  const char* dir = directory.m_pData;
  const size_t dirLen = directory.m_nDataLength;
  // Whether the directory's last character (not merely its last byte) is
  // the separator.
  bool endsWithSep = false;
  for (size_t i = 0; i < dirLen;) {
    size_t step = static_cast<size_t>(mbbytesinchar(dir + i));
    if (i + step >= dirLen) endsWithSep = step == 1 && dir[i] == sep;
    i += step;
  }
  const size_t total = dirLen + (endsWithSep ? 0 : 1) + name.m_nDataLength;
  // Either argument may be this string: assemble first, then take it over.
  char* text = gnutil::AllocBytes(total + 1);
  memcpy(text, dir, dirLen);
  size_t n = dirLen;
  if (!endsWithSep) text[n++] = sep;
  memcpy(text + n, name.m_pData, name.m_nDataLength);
  n += name.m_nDataLength;
  text[n] = '\0';
  try {
    // Room for both and a separator: never less than the text needs.
    ReallocateToNumBytes(static_cast<int>(dirLen + name.m_nDataLength + 1));
  } catch (...) {
    gnutil::FreeBytes(text);
    throw;
  }
  memcpy(m_pData, text, n + 1);
  m_nDataLength = static_cast<unsigned int>(n);
  gnutil::FreeBytes(text);
  if (m_pwzBuffer != nullptr) {
    gnutil::FreeUnits(m_pwzBuffer);
    m_pwzBuffer = nullptr;
    m_nWzLength = m_nWzCapacity = 0;
  }
  return 1;
}

void CGNString::ForceTo8By3() {
  if (m_nDataLength == 0) return;
  EnsureWide();
  const unsigned short* w = m_pwzBuffer;
  // The text ends at the first NUL unit (see UnexpandSpecials).
  unsigned int len = 0;
  while (len < m_nWzLength && w[len] != 0) ++len;
  using gnutil::platform::CharClass;
  using gnutil::platform::IsCharClass;

  // The extension's dot: the last "." after the first character.
  int lastDot = -1;
  for (unsigned int i = 1; i < len; ++i) {
    if (w[i] == '.') lastDot = static_cast<int>(i);
  }
  char result[8 + 1 + 3 + 1];
  size_t n = 0;
  size_t partBytes = 0;
  size_t partLimit = 8;
  bool partFull = false;
  for (unsigned int i = 0; i < len;) {
    unsigned int units = (IsHighSurrogate(w[i]) && i + 1 < len && IsLowSurrogate(w[i + 1])) ? 2 : 1;
    uint32_t cp = units == 2 ? gnutil::utf16::Combine(w[i], w[i + 1]) : w[i];
    if (static_cast<int>(i) == lastDot) {
      partBytes = 0;
      partLimit = 3;
      partFull = false;
      if (i + 1 < len) result[n++] = '.';  // a trailing dot has no extension
      i += units;
      continue;
    }
    bool keep = i == 0 ? IsCharClass(cp, CharClass::kAlpha)
                       : (cp != '.' && IsCharClass(cp, CharClass::kAlnum));
    char bytes[8];
    size_t k = 0;
    if (keep) k = gnutil::CharToNarrow(bytes, w + i, len - i);
    if (k == 0) {
      bytes[0] = 'x';
      k = 1;
    }
    if (!partFull) {
      if (partBytes + k <= partLimit) {
        memcpy(result + n, bytes, k);
        n += k;
        partBytes += k;
      } else {
        partFull = true;  // a part ends at its first character that does not fit
      }
    }
    i += units;
  }
  AssignBytes(result, static_cast<unsigned int>(n));
}
