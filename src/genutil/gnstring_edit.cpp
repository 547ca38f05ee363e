// CGNString: searching, cutting, trimming, changing and classifying text.
//
// Character operations work on the UTF-16 wide copy, where one unit is one
// character index, and rebuild the narrow text when they change it. The few
// byte operations (their names say InBytes / NBytes, the trims and the Until
// family) work on the narrow text and drop the wide copy.
//
// Edits build their new wide text in a fresh buffer or change the wide copy in
// place and then rebuild; a failed rebuild drops the wide copy, so an
// allocation failure leaves the value as it was.
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <new>

#include "genutil/alloc.h"
#include "genutil/widetext.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbstring.h"
#include "platform/locale.h"
#include "platform/utf16.h"
#include "platform/wctype.h"

using gnutil::AllocBytes;
using gnutil::AllocUnits;
using gnutil::FreeBytes;
using gnutil::FreeUnits;
using gnutil::platform::CharClass;

namespace {

// Lengths are 32-bit; a longer text cannot be allocated.
constexpr size_t kMaxLength = 0xFFFFFFFEu;

// LeftStringInBytes reserves n + 1 bytes in its destination; a count far
// beyond the text asks for the whole text, not for gigabytes of room.
constexpr size_t kMaxReserveSlack = 65536;

using gnutil::utf16::IsSurrogate;

// Surrogate units (halves of a pair, or bytes the locale rejected) belong to
// no class and have no case.
bool UnitIs(unsigned short u, CharClass cls) {
  return !IsSurrogate(u) && gnutil::platform::IsCharClass(u, cls);
}

unsigned short UpperUnit(unsigned short u) {
  if (IsSurrogate(u)) return u;
  uint32_t c = gnutil::platform::ToUpperChar(u);
  return c <= 0xFFFF && !IsSurrogate(c) ? static_cast<unsigned short>(c) : u;
}

unsigned short LowerUnit(unsigned short u) {
  if (IsSurrogate(u)) return u;
  uint32_t c = gnutil::platform::ToLowerChar(u);
  return c <= 0xFFFF && !IsSurrogate(c) ? static_cast<unsigned short>(c) : u;
}

// The units of the first character of a multibyte text (at most
// MbCurMax bytes are looked at). 0 when it is empty or not a character.
size_t FirstCharUnits(const char* mb, size_t maxBytes, unsigned short out[2]) {
  if (mb == nullptr || maxBytes == 0) return 0;
  size_t avail = strnlen(mb, maxBytes);
  if (avail < maxBytes) ++avail;  // let the decoder see the terminator
  uint32_t cp = 0;
  int r = gnutil::platform::MbToCodePoint(&cp, mb, avail);
  if (r <= 0 || cp > gnutil::utf16::kMaxCodePoint || IsSurrogate(cp)) return 0;
  uint16_t units[2] = {0, 0};
  int n = gnutil::utf16::Encode(cp, units);
  out[0] = units[0];
  out[1] = units[1];
  return static_cast<size_t>(n);
}

size_t FirstCharUnits(const char* mb, unsigned short out[2]) {
  return FirstCharUnits(mb, static_cast<size_t>(gnutil::platform::MbCurMax()), out);
}

// A single char argument names a one-byte character.
size_t ByteCharUnits(char c, unsigned short out[2]) {
  char text[2] = {c, '\0'};
  return FirstCharUnits(text, 1, out);
}

// Index of needle in hay[from, hayLen), or -1.
long FindUnits(const unsigned short* hay, size_t hayLen, size_t from, const unsigned short* needle,
               size_t needleLen) {
  if (from > hayLen) return -1;
  const unsigned short* end = hay + hayLen;
  const unsigned short* hit = std::search(hay + from, end, needle, needle + needleLen);
  if (hit == end && needleLen != 0) return -1;
  return static_cast<long>(hit - hay);
}

bool InSet(unsigned short u, const unsigned short* set, size_t setLen) {
  return std::find(set, set + setLen, u) != set + setLen;
}

// UTF-16 to NUL-terminated code points for the collation seam. A lone
// surrogate stays a value of its own.
void ToCodePoints(const unsigned short* w, size_t len, uint32_t* out) {
  size_t o = 0;
  for (size_t i = 0; i < len && w[i] != 0; ++i) {
    uint32_t u = w[i];
    if (gnutil::utf16::IsHighSurrogate(u) && i + 1 < len &&
        gnutil::utf16::IsLowSurrogate(w[i + 1])) {
      u = gnutil::utf16::Combine(u, w[i + 1]);
      ++i;
    }
    out[o++] = u;
  }
  out[o] = 0;
}

}  // namespace

// --- Internal wide-copy helpers ---

void CGNString::AdoptWide(unsigned short* units, unsigned int length) {
  units[length] = 0;
  FreeUnits(m_pwzBuffer);
  m_pwzBuffer = units;
  m_nWzLength = m_nWzCapacity = length;
}

void CGNString::CommitWide() {
  try {
    DuplicateDataFromWzBuffer();
  } catch (...) {
    FreeUnits(m_pwzBuffer);
    m_pwzBuffer = nullptr;
    m_nWzLength = m_nWzCapacity = 0;
    throw;
  }
}

// --- Classification ---

namespace {

unsigned char ClassAt(const unsigned short* w, unsigned int len, int index, CharClass cls,
                      bool emptyPasses) {
  if (len == 0 && !emptyPasses) return 0;
  if (index == -1) {
    for (unsigned int i = 0; i < len; ++i) {
      if (!UnitIs(w[i], cls)) return 0;
    }
    return 1;
  }
  if (index < 0 || static_cast<unsigned int>(index) >= len) return 0;
  return UnitIs(w[index], cls) ? 1 : 0;
}

}  // namespace

unsigned char CGNString::IsAlphaAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kAlpha, true);
}

unsigned char CGNString::IsAlphaNumAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kAlnum, true);
}

// Callers rely on an empty string not counting as a number.
unsigned char CGNString::IsDigitAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kDigit, false);
}

unsigned char CGNString::IsLowerAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kLower, true);
}

unsigned char CGNString::IsUpperAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kUpper, true);
}

unsigned char CGNString::IsPrintAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kPrint, true);
}

unsigned char CGNString::IsPunctAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kPunct, false);
}

unsigned char CGNString::IsSpaceAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kSpace, true);
}

unsigned char CGNString::IsXDigitAt(int index) const {
  EnsureWide();
  return ClassAt(m_pwzBuffer, m_nWzLength, index, CharClass::kXDigit, true);
}

// Letters and digits, despite the name: callers use it to vet identifiers.
unsigned char CGNString::IsAlpha() {
  EnsureWide();
  if (m_nWzLength == 0) return 0;
  return ClassAt(m_pwzBuffer, m_nWzLength, -1, CharClass::kAlnum, false);
}

// The bound is in bytes and the access in characters; callers walk byte
// positions of ASCII text with it.
unsigned char CGNString::IsNumAt(unsigned int index) {
  if (index >= m_nDataLength) return 0;
  char c = GetAt(index);
  return c >= '0' && c <= '9' ? 1 : 0;
}

// --- Case and comparison ---

void CGNString::ToUpper(int index) {
  if (m_nDataLength == 0) return;
  EnsureWide();
  if (index == -1) {
    for (unsigned int i = 0; i < m_nWzLength; ++i) m_pwzBuffer[i] = UpperUnit(m_pwzBuffer[i]);
  } else if (index >= 0 && static_cast<unsigned int>(index) < m_nWzLength) {
    m_pwzBuffer[index] = UpperUnit(m_pwzBuffer[index]);
  }
  CommitWide();
}

void CGNString::ToLower(int index) {
  if (m_nDataLength == 0) return;
  EnsureWide();
  if (index == -1) {
    for (unsigned int i = 0; i < m_nWzLength; ++i) m_pwzBuffer[i] = LowerUnit(m_pwzBuffer[i]);
  } else if (index >= 0 && static_cast<unsigned int>(index) < m_nWzLength) {
    m_pwzBuffer[index] = LowerUnit(m_pwzBuffer[index]);
  }
  CommitWide();
}

unsigned char CGNString::IsEqualNoCase(const CGNString& other) const {
  EnsureWide();
  other.EnsureWide();
  if (m_nWzLength != other.m_nWzLength) return 0;
  for (unsigned int i = 0; i < m_nWzLength; ++i) {
    if (UpperUnit(m_pwzBuffer[i]) != UpperUnit(other.m_pwzBuffer[i])) return 0;
  }
  return 1;
}

int CGNString::Collate(const CGNString& other) const {
  EnsureWide();
  other.EnsureWide();
  // Code points never outnumber units, so each buffer fits length + 1.
  std::unique_ptr<uint32_t[]> a(new (std::nothrow) uint32_t[static_cast<size_t>(m_nWzLength) + 1]);
  std::unique_ptr<uint32_t[]> b(new (std::nothrow)
                                    uint32_t[static_cast<size_t>(other.m_nWzLength) + 1]);
  if (!a || !b) throw GMemoryException();
  ToCodePoints(m_pwzBuffer, m_nWzLength, a.get());
  ToCodePoints(other.m_pwzBuffer, other.m_nWzLength, b.get());
  return gnutil::platform::CollateChars(a.get(), b.get());
}

// --- Parts of a string ---

void CGNString::LeftString(CGNString& dest, unsigned int count) const {
  // Cut aside: when memory runs out, dest keeps what it held.
  CGNString left(*this);
  left.Truncate(count);
  dest = left;
}

void CGNString::RightString(CGNString& dest, unsigned int count) const {
  EnsureWide();
  unsigned int start = count < m_nWzLength ? m_nWzLength - count : 0;
  SubStr(dest, start, -1);
}

void CGNString::SubStr(CGNString& dest, unsigned int start, int count) const {
  EnsureWide();
  if (start >= m_nWzLength) {
    dest.Empty();
    return;
  }
  unsigned int take = m_nWzLength - start;
  // Compared as unsigned: every negative count means "to the end".
  if (count != -1 && static_cast<unsigned int>(count) < take)
    take = static_cast<unsigned int>(count);
  // CopyNChars copies into a fresh buffer first, so dest may be this string.
  dest.CopyNChars(m_pwzBuffer + start, take);
}

void CGNString::MidString(CGNString& dest, int start, int count) const {
  SubStr(dest, static_cast<unsigned int>(start), count);
}

void CGNString::SubStr(unsigned int start, int count) { SubStr(*this, start, count); }

void CGNString::LeftStringInBytes(CGNString& dest, unsigned int n) const {
  if (&dest == this) {
    // The copy below reads this text while writing dest's.
    CGNString source(*this);
    source.LeftStringInBytes(dest, n);
    return;
  }
  size_t reserve = n;
  if (n > m_nDataLength && n - m_nDataLength > kMaxReserveSlack) reserve = m_nDataLength;
  if (reserve + 1 > kMaxLength) reserve = m_nDataLength;
  if (dest.m_nDataCapacity < reserve + 1) dest.ReallocateToNumBytes(static_cast<int>(reserve + 1));
  if (dest.m_pwzBuffer != nullptr) {
    FreeUnits(dest.m_pwzBuffer);
    dest.m_pwzBuffer = nullptr;
    dest.m_nWzLength = dest.m_nWzCapacity = 0;
  }
  size_t keep;
  if (m_nDataLength >= n) {
    // A character that byte n would split is left out; an embedded NUL ends
    // the copy as it ends any string copy.
    keep = static_cast<size_t>(mbstrncpyi(dest.m_pData, m_pData, n));
  } else {
    keep = m_nDataLength;
    memcpy(dest.m_pData, m_pData, keep);
  }
  dest.m_pData[keep] = '\0';
  dest.m_nDataLength = static_cast<unsigned int>(keep);
}

void CGNString::SubStrInBytes(unsigned int start, int count) {
  if (m_pwzBuffer != nullptr) {
    FreeUnits(m_pwzBuffer);
    m_pwzBuffer = nullptr;
    m_nWzLength = m_nWzCapacity = 0;
  }
  if (m_nDataLength == 0) return;
  if (start >= m_nDataLength) {
    m_nDataLength = 0;
    m_pData[0] = '\0';
    return;
  }
  unsigned int take = m_nDataLength - start;
  if (count >= 0 && static_cast<unsigned int>(count) < take)
    take = static_cast<unsigned int>(count);
  memmove(m_pData, m_pData + start, take);
  m_nDataLength = take;
  m_pData[take] = '\0';
}

// --- Trimming (bytes: a blank is never part of a multibyte character) ---

void CGNString::LeftTrim(CGNString& dest) {
  unsigned int b = 0;
  while (b < m_nDataLength && m_pData[b] == ' ') ++b;
  dest.CopyNBytes(m_pData + b, m_nDataLength - b);
}

void CGNString::RightTrim(CGNString& dest) {
  unsigned int e = m_nDataLength;
  while (e > 0 && m_pData[e - 1] == ' ') --e;
  dest.CopyNBytes(m_pData, e);
}

void CGNString::LeftRightTrim(CGNString& dest) {
  unsigned int b = 0;
  while (b < m_nDataLength && m_pData[b] == ' ') ++b;
  unsigned int e = m_nDataLength;
  while (e > b && m_pData[e - 1] == ' ') --e;
  dest.CopyNBytes(m_pData + b, e - b);
}

// --- Truncation ---

void CGNString::Truncate(unsigned int count) {
  EnsureWide();
  if (count >= m_nWzLength) return;
  m_nWzLength = count;
  m_pwzBuffer[count] = 0;
  CommitWide();
}

void CGNString::TruncateAt(const char* mbchar) {
  if (m_nDataLength == 0) return;
  unsigned short ch[2];
  size_t n = FirstCharUnits(mbchar, ch);
  if (n == 0) return;  // no character to cut at
  EnsureWide();
  long at = FindUnits(m_pwzBuffer, m_nWzLength, 0, ch, n);
  if (at >= 0) {
    m_nWzLength = static_cast<unsigned int>(at);
    m_pwzBuffer[at] = 0;
  }
  CommitWide();
}

void CGNString::TruncateAt(char c) {
  char text[2] = {c, '\0'};
  TruncateAt(text);
}

// --- Searching ---

int CGNString::Find(const CGNString& sought, int start) const {
  EnsureWide();
  sought.EnsureWide();
  if (start < 0 || static_cast<unsigned int>(start) >= m_nWzLength) return -1;
  return static_cast<int>(FindUnits(m_pwzBuffer, m_nWzLength, static_cast<size_t>(start),
                                    sought.m_pwzBuffer, sought.m_nWzLength));
}

int CGNString::Find(const char* sought, int start) const { return Find(CGNString(sought), start); }

int CGNString::StrChr(unsigned int start, char c) const {
  char text[2] = {c, '\0'};
  return Find(text, start > 0x7FFFFFFFu ? -1 : static_cast<int>(start));
}

int CGNString::ReverseFind(const char* mbchar) const {
  unsigned short ch[2];
  size_t n = FirstCharUnits(mbchar, ch);
  if (n == 0) return -1;
  EnsureWide();
  if (m_nWzLength < n) return -1;
  for (size_t i = m_nWzLength - n + 1; i-- > 0;) {
    if (m_pwzBuffer[i] == ch[0] && (n == 1 || m_pwzBuffer[i + 1] == ch[1])) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CGNString::FindFirstOf(const CGNString& set, int start) const {
  EnsureWide();
  set.EnsureWide();
  if (start < 0 || static_cast<unsigned int>(start) >= m_nWzLength) {
    return static_cast<int>(m_nWzLength);
  }
  unsigned int i = static_cast<unsigned int>(start);
  while (i < m_nWzLength && !InSet(m_pwzBuffer[i], set.m_pwzBuffer, set.m_nWzLength)) ++i;
  return static_cast<int>(i - static_cast<unsigned int>(start));
}

int CGNString::FindFirstNotOf(const CGNString& set, int start) const {
  EnsureWide();
  set.EnsureWide();
  if (start < 0 || static_cast<unsigned int>(start) >= m_nWzLength) {
    return static_cast<int>(m_nWzLength);
  }
  unsigned int i = static_cast<unsigned int>(start);
  while (i < m_nWzLength && InSet(m_pwzBuffer[i], set.m_pwzBuffer, set.m_nWzLength)) ++i;
  return static_cast<int>(i - static_cast<unsigned int>(start));
}

// --- Changing ---

unsigned char CGNString::InsertAt(int position, const CGNString& text) {
  EnsureWide();
  const unsigned int n = m_nWzLength;
  if (position < 0) return 0;
  if (static_cast<unsigned int>(position) > n) {
    // In text the locale rejects, GetNumChars counts bytes, more than the
    // wide copy's units: a position up to it is the end of the text.
    if (static_cast<unsigned int>(position) > GetNumChars()) return 0;
    position = static_cast<int>(n);
  }
  // A private copy: text may be this very string.
  CGNString copy(text);
  copy.EnsureWide();
  const unsigned int len = copy.m_nWzLength;
  if (static_cast<size_t>(n) + len > kMaxLength) throw GMemoryException();
  unsigned short* units = AllocUnits(static_cast<size_t>(n) + len + 1);
  memcpy(units, m_pwzBuffer, static_cast<size_t>(position) * sizeof(unsigned short));
  memcpy(units + position, copy.m_pwzBuffer, static_cast<size_t>(len) * sizeof(unsigned short));
  memcpy(units + position + len, m_pwzBuffer + position,
         static_cast<size_t>(n - static_cast<unsigned int>(position)) * sizeof(unsigned short));
  AdoptWide(units, n + len);
  CommitWide();
  // Wraps at 256 by design.
  return static_cast<unsigned char>(len);
}

unsigned char CGNString::RemoveAt(int position, int count) {
  EnsureWide();
  if (position < 0 || static_cast<unsigned int>(position) >= m_nWzLength || count < 0) return 0;
  unsigned int pos = static_cast<unsigned int>(position);
  unsigned int remove = std::min(static_cast<unsigned int>(count), m_nWzLength - pos);
  memmove(m_pwzBuffer + pos, m_pwzBuffer + pos + remove,
          static_cast<size_t>(m_nWzLength - pos - remove) * sizeof(unsigned short));
  m_nWzLength -= remove;
  m_pwzBuffer[m_nWzLength] = 0;
  CommitWide();
  return 1;
}

void CGNString::Replace(const char* sought, const char* replacement) {
  EnsureWide();
  if (sought == nullptr || sought[0] == '\0') return;
  CGNString what(sought);
  CGNString with(replacement);
  what.EnsureWide();
  with.EnsureWide();
  const unsigned short* w = m_pwzBuffer;
  const size_t len = m_nWzLength;
  const size_t whatLen = what.m_nWzLength;
  const size_t withLen = with.m_nWzLength;
  // Text that decodes to nothing would match everywhere and never advance.
  if (whatLen == 0) {
    CommitWide();
    return;
  }
  // Count first, then build the result in one exact buffer. Each search
  // resumes after the previous occurrence, so the replacement is never
  // searched again.
  size_t hits = 0;
  for (long at = FindUnits(w, len, 0, what.m_pwzBuffer, whatLen); at >= 0;
       at = FindUnits(w, len, static_cast<size_t>(at) + whatLen, what.m_pwzBuffer, whatLen)) {
    ++hits;
  }
  if (hits == 0) {
    CommitWide();
    return;
  }
  size_t newLen = len - hits * whatLen;
  if (withLen != 0 && hits > (kMaxLength - newLen) / withLen) throw GMemoryException();
  newLen += hits * withLen;
  unsigned short* units = AllocUnits(newLen + 1);
  size_t from = 0, out = 0;
  for (long at = FindUnits(w, len, 0, what.m_pwzBuffer, whatLen); at >= 0;
       at = FindUnits(w, len, from, what.m_pwzBuffer, whatLen)) {
    size_t a = static_cast<size_t>(at);
    memcpy(units + out, w + from, (a - from) * sizeof(unsigned short));
    out += a - from;
    memcpy(units + out, with.m_pwzBuffer, withLen * sizeof(unsigned short));
    out += withLen;
    from = a + whatLen;
  }
  memcpy(units + out, w + from, (len - from) * sizeof(unsigned short));
  AdoptWide(units, static_cast<unsigned int>(newLen));
  CommitWide();
}

void CGNString::Replace(char from, char to) {
  EnsureWide();
  unsigned short f[2], t[2];
  if (ByteCharUnits(from, f) == 1 && ByteCharUnits(to, t) == 1) {
    for (unsigned int i = 0; i < m_nWzLength; ++i) {
      if (m_pwzBuffer[i] == f[0]) m_pwzBuffer[i] = t[0];
    }
  }
  CommitWide();
}

// --- Copying from narrow or wide text ---

void CGNString::CopyUntil(const char* source, const char* stop) {
  if (source == nullptr) {
    Empty();
    return;
  }
  // An empty stop text would match at once; it counts as absent.
  const char* hit = stop != nullptr && stop[0] != '\0' ? mbstrstr(source, stop) : nullptr;
  size_t len = hit != nullptr ? static_cast<size_t>(hit - source) : strlen(source);
  if (len > kMaxLength) throw GMemoryException();
  CopyNBytes(source, static_cast<unsigned int>(len));
}

void CGNString::CopyUntil(const char* source, char stop) {
  char text[2] = {stop, '\0'};
  CopyUntil(source, text);
}

void CGNString::AppendUntil(const char* source, const char* stop) {
  CGNString part;
  part.CopyUntil(source, stop);
  *this += part;
}

void CGNString::AppendUntil(const char* source, char stop) {
  char text[2] = {stop, '\0'};
  AppendUntil(source, text);
}

void CGNString::CopyNBytes(const char* source, unsigned int n) {
  if (source == nullptr) {
    Empty();
    return;
  }
  if (n > kMaxLength) throw GMemoryException();
  // The new buffer is filled before the old one goes, so the source may lie
  // inside this string's own text.
  char* data = AllocBytes(static_cast<size_t>(n) + 1);
  strncpy(data, source, n);
  data[n] = '\0';
  FreeBuffers();
  m_pData = data;
  m_nDataLength = m_nDataCapacity = n;
}

void CGNString::CopyNChars(const char* source, unsigned int n) {
  if (source == nullptr) {
    Empty();
    return;
  }
  size_t bytes = strlen(source);
  // A character takes at least one byte, so the text never has more
  // characters than bytes.
  size_t room = std::min(static_cast<size_t>(n), bytes);
  unsigned short* units = AllocUnits(room + 1);
  size_t got = gnutil::ToUnits(units, room, source, bytes);
  AdoptWide(units, static_cast<unsigned int>(got));
  CommitWide();
}

void CGNString::CopyNChars(const unsigned short* source, unsigned int n) {
  if (source == nullptr) {
    Empty();
    return;
  }
  if (n > kMaxLength) throw GMemoryException();
  unsigned short* units = AllocUnits(static_cast<size_t>(n) + 1);
  memcpy(units, source, static_cast<size_t>(n) * sizeof(unsigned short));
  AdoptWide(units, n);
  CommitWide();
}

void CGNString::AppendNChars(const char* source, unsigned int n) {
  CGNString part;
  part.CopyNChars(source, n);
  *this += part;
}
