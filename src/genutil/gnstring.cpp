// CGNString: construction, assignment, appending, measures and single
// characters. New buffers are allocated before old ones are freed, so a
// GMemoryException leaves the object as it was and a text that points into
// the string itself can be assigned or appended safely.
#include "gnutil/gnstring.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <functional>

#include "genutil/alloc.h"
#include "genutil/widetext.h"
#include "gnutil/mbutil.h"
#include "platform/locale.h"

namespace {

// The one empty text shared by every string in the initial state. It is never
// freed and never written to except with its own NUL.
char g_emptyText[1] = {'\0'};

// Lengths are 32-bit; a text that would not fit cannot be allocated.
constexpr size_t kMaxLength = 0xFFFFFFFEu;

bool Within(const char* p, const char* begin, size_t len) {
  std::less_equal<const char*> le;
  return le(begin, p) && le(p, begin + len);
}

}  // namespace

using gnutil::AllocBytes;
using gnutil::AllocUnits;
using gnutil::FreeBytes;
using gnutil::FreeUnits;

CGNString::CGNString() { InitValue(); }

CGNString::CGNString(const CGNString& other) {
  InitValue();
  if (other.m_nDataLength != 0) CopyFrom(other);
}

CGNString::CGNString(const char* text, int minCapacity) {
  InitValue();
  if (text == nullptr) return;
  size_t len = strlen(text);
  if (len > kMaxLength) throw GMemoryException();
  size_t cap = len;
  if (minCapacity > 0 && static_cast<size_t>(minCapacity) > cap)
    cap = static_cast<size_t>(minCapacity);
  m_pData = AllocBytes(cap + 1);
  memcpy(m_pData, text, len + 1);
  m_nDataLength = static_cast<unsigned int>(len);
  m_nDataCapacity = static_cast<unsigned int>(cap);
}

CGNString::CGNString(const unsigned short* wide, int /*unused*/) {
  InitValue();
  if (wide == nullptr) return;
  size_t len = gnutil::UnitsLength(wide);
  if (len > kMaxLength) throw GMemoryException();
  m_pwzBuffer = AllocUnits(len + 1);
  memcpy(m_pwzBuffer, wide, (len + 1) * sizeof(unsigned short));
  m_nWzLength = m_nWzCapacity = static_cast<unsigned int>(len);
  try {
    DuplicateDataFromWzBuffer();
  } catch (...) {
    FreeUnits(m_pwzBuffer);
    throw;
  }
}

CGNString::~CGNString() { FreeBuffers(); }

void CGNString::CopyFrom(const CGNString& other) {
  // A buffer of the very capacity the copy would get takes the text in place:
  // no allocation, so nothing can fail, and the result is the same. Values
  // copied over and over (settings read into the same fields) cost nothing.
  if (other.m_pwzBuffer == nullptr && m_pData != g_emptyText && m_pData != nullptr &&
      m_nDataCapacity == other.m_nDataCapacity) {
    memcpy(m_pData, other.m_pData, other.m_nDataLength);
    m_pData[other.m_nDataLength] = '\0';
    m_nDataLength = other.m_nDataLength;
    if (m_pwzBuffer != nullptr) {
      FreeUnits(m_pwzBuffer);
      m_pwzBuffer = nullptr;
      m_nWzLength = m_nWzCapacity = 0;
    }
    return;
  }
  char* data = AllocBytes(static_cast<size_t>(other.m_nDataCapacity) + 1);
  unsigned short* wide = nullptr;
  if (other.m_pwzBuffer != nullptr) {
    try {
      wide = AllocUnits(static_cast<size_t>(other.m_nWzCapacity) + 1);
    } catch (...) {
      FreeBytes(data);
      throw;
    }
    memcpy(wide, other.m_pwzBuffer, other.m_nWzLength * sizeof(unsigned short));
    wide[other.m_nWzLength] = 0;
  }
  memcpy(data, other.m_pData, other.m_nDataLength);
  data[other.m_nDataLength] = '\0';
  FreeBuffers();
  m_pData = data;
  m_nDataLength = other.m_nDataLength;
  m_nDataCapacity = other.m_nDataCapacity;
  m_pwzBuffer = wide;
  if (wide != nullptr) {
    m_nWzLength = other.m_nWzLength;
    m_nWzCapacity = other.m_nWzCapacity;
  }
}

CGNString& CGNString::operator=(const CGNString& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

CGNString& CGNString::Set(const CGNString& other) { return *this = other; }

CGNString& CGNString::operator=(const char* text) {
  if (text == nullptr) {
    FreeBuffers();
    InitValue();
    return *this;
  }
  size_t len = strlen(text);
  if (len > kMaxLength) throw GMemoryException();
  char* data = AllocBytes(len + 1);
  memcpy(data, text, len + 1);
  FreeBuffers();
  m_pData = data;
  m_nDataLength = m_nDataCapacity = static_cast<unsigned int>(len);
  return *this;
}

void CGNString::AppendBytes(const char* bytes, unsigned int count) {
  size_t newLength = static_cast<size_t>(m_nDataLength) + count;
  if (newLength > kMaxLength) throw GMemoryException();
  if (m_nDataCapacity < newLength) {
    // The bytes may come from this very string; find them again in the new buffer.
    bool aliased = Within(bytes, m_pData, m_nDataLength);
    size_t offset = aliased ? static_cast<size_t>(bytes - m_pData) : 0;
    ReallocateToNumBytes(static_cast<int>(newLength));
    if (aliased) bytes = m_pData + offset;
  }
  memmove(m_pData + m_nDataLength, bytes, count);
  m_nDataLength = static_cast<unsigned int>(newLength);
  m_pData[m_nDataLength] = '\0';
  if (m_pwzBuffer != nullptr) {
    FreeUnits(m_pwzBuffer);
    m_pwzBuffer = nullptr;
  }
}

CGNString& CGNString::operator+=(const CGNString& other) {
  if (other.m_nDataLength == 0) return *this;  // the wide copy survives
  AppendBytes(other.m_pData, other.m_nDataLength);
  return *this;
}

CGNString& CGNString::operator+=(const char* text) {
  if (text == nullptr) return *this;
  size_t len = strlen(text);
  if (len > kMaxLength) throw GMemoryException();
  AppendBytes(text, static_cast<unsigned int>(len));
  return *this;
}

CGNString& CGNString::operator+=(const unsigned short* wide) {
  if (wide == nullptr) return *this;
  CGNString tmp(wide);
  AppendBytes(tmp.m_pData, tmp.m_nDataLength);
  return *this;
}

CGNString& CGNString::operator+=(char c) {
  AppendBytes(&c, 1);
  return *this;
}

CGNString::operator const char*() const { return m_pData; }

unsigned int CGNString::GetLength() const { return m_nDataLength; }
unsigned int CGNString::GetLengthInBytes() const { return m_nDataLength; }
unsigned int CGNString::GetNumByteNeeded() const { return m_nDataLength; }

unsigned int CGNString::GetNumChars() const {
  size_t n = gnutil::CountUnits(m_pData, m_nDataLength);
  return n == gnutil::kInvalidText ? m_nDataLength : static_cast<unsigned int>(n);
}

size_t gnutil::CountLocaleChars(const char* text, size_t length) {
  if (text == nullptr || length == 0) return 0;
  size_t n = CountUnits(text, length);
  return n == kInvalidText ? kNotLocaleText : n;
}

unsigned int CGNString::GetLengthInChars() const { return GetNumChars(); }

unsigned char CGNString::IsEmpty() const { return m_nDataLength == 0; }

unsigned char CGNString::operator==(const CGNString& other) const {
  return m_nDataLength == other.m_nDataLength && memcmp(m_pData, other.m_pData, m_nDataLength) == 0;
}

unsigned char CGNString::operator==(const char* text) const {
  if (text == nullptr) return m_nDataLength == 0;
  return strcmp(m_pData, text) == 0;
}

unsigned char CGNString::operator!=(const CGNString& other) const { return !(*this == other); }
unsigned char CGNString::operator!=(const char* text) const { return !(*this == text); }

long CGNString::Number() {
  if (m_nDataLength == 0) return 0;
  // strtol rather than atol: the same reading, but defined on overflow.
  return strtol(m_pData, nullptr, 10);
}

unsigned int CGNString::GetString(char* buffer, unsigned int size) const {
  if (buffer == nullptr || size == 0) return 0;
  unsigned int n = size - 1;
  if (n > m_nDataLength) n = m_nDataLength;
  // Never end inside a character: cut at the start of the one that holds byte n.
  if (n < m_nDataLength) n = static_cast<unsigned int>(mbidx(m_pData, static_cast<int>(n)));
  memcpy(buffer, m_pData, n);
  buffer[n] = '\0';
  return n;
}

char* CGNString::GetCodePageCharAt(int index, char* buffer) const {
  if (buffer == nullptr) return buffer;
  buffer[0] = '\0';
  EnsureWide();
  if (index < 0 || static_cast<unsigned int>(index) >= m_nWzLength) return buffer;
  size_t n = gnutil::CharToNarrow(buffer, m_pwzBuffer + index, m_nWzLength - index);
  buffer[n] = '\0';
  return buffer;
}

unsigned char CGNString::SetCodePageCharAt(int index, const char* mbchar) {
  EnsureWide();
  bool replaced = false;
  if (mbchar != nullptr && index >= 0 && static_cast<unsigned int>(index) < m_nWzLength) {
    size_t max = static_cast<size_t>(gnutil::platform::MbCurMax());
    size_t avail = strnlen(mbchar, max);
    if (avail < max) ++avail;  // let the decoder see the terminator
    uint32_t cp = 0;
    int r = gnutil::platform::MbToCodePoint(&cp, mbchar, avail);
    // One unit holds one character; characters beyond the BMP do not fit.
    if (r >= 0 && cp <= 0xFFFF) {
      m_pwzBuffer[index] = static_cast<unsigned short>(cp);
      replaced = true;
    }
  }
  DuplicateDataFromWzBuffer();
  return replaced;
}

char CGNString::GetAt(unsigned int index) const {
  char buffer[16];
  if (index > INT_MAX) return 0;
  return GetCodePageCharAt(static_cast<int>(index), buffer)[0];
}

void CGNString::SetAt(unsigned int index, char c) {
  char text[2] = {c, '\0'};
  SetCodePageCharAt(index > INT_MAX ? -1 : static_cast<int>(index), text);
}

void CGNString::Empty() {
  FreeBuffers();
  InitValue();
}

void CGNString::AllocateBuffer(unsigned int n) {
  if (n > kMaxLength) throw GMemoryException();
  ReallocateToNumBytes(static_cast<int>(n));
}

void CGNString::InitValue() {
  m_pwzBuffer = nullptr;
  m_nWzLength = 0;
  m_nWzCapacity = 0;
  m_pData = g_emptyText;
  m_nDataLength = 0;
  m_nDataCapacity = 0;
}

void CGNString::FreeBuffers() {
  if (m_pData != g_emptyText) FreeBytes(m_pData);
  m_pData = nullptr;
  FreeUnits(m_pwzBuffer);
  m_pwzBuffer = nullptr;
  m_nWzLength = m_nWzCapacity = m_nDataLength = m_nDataCapacity = 0;
}

int CGNString::ReallocateToNumBytes(int n) {
  unsigned int wanted = static_cast<unsigned int>(n);
  if (wanted < m_nDataCapacity) return static_cast<int>(m_nDataCapacity);
  if (wanted > kMaxLength) throw GMemoryException();
  char* data = AllocBytes(static_cast<size_t>(wanted) + 1);
  size_t keep = m_nDataLength <= wanted ? m_nDataLength : wanted;
  if (m_pData != nullptr) memcpy(data, m_pData, keep);
  data[keep] = '\0';
  if (m_pData != g_emptyText) FreeBytes(m_pData);
  m_pData = data;
  m_nDataCapacity = wanted;
  return n;
}

int CGNString::ReallocateToNumChars(int n) {
  unsigned int wanted = static_cast<unsigned int>(n);
  if (wanted < m_nWzLength) wanted = m_nWzLength;
  if (wanted > kMaxLength) throw GMemoryException();
  unsigned short* wide = AllocUnits(static_cast<size_t>(wanted) + 1);
  if (m_pwzBuffer != nullptr) {
    memcpy(wide, m_pwzBuffer, m_nWzLength * sizeof(unsigned short));
    wide[m_nWzLength] = 0;
  } else {
    wide[0] = 0;
  }
  FreeUnits(m_pwzBuffer);
  m_pwzBuffer = wide;
  m_nWzCapacity = wanted;
  return static_cast<int>(wanted);
}

void CGNString::DuplicateWzBufferFromData() const {
  size_t count = gnutil::CountUnits(m_pData, m_nDataLength);
  if (count == gnutil::kInvalidText) count = m_nDataLength;
  unsigned short* wide = AllocUnits(count + 1);
  size_t written = gnutil::ToUnits(wide, count, m_pData, m_nDataLength);
  wide[written] = 0;
  FreeUnits(m_pwzBuffer);
  m_pwzBuffer = wide;
  // Text the locale rejects: the rule makes the wide length its byte length
  // (what GetNumChars reports), but the copy holds fewer units, each rejected
  // byte one unit and each valid character its own. The wide length here is
  // the units really held, so that no edit works on padding: with the byte
  // length, an insert at the end went behind NULs and was lost, and text
  // inserted into itself lost everything after its first rejected byte.
  // Indexes up to GetNumChars stay valid for an insert (see InsertAt).
  m_nWzLength = static_cast<unsigned int>(written);
  m_nWzCapacity = static_cast<unsigned int>(count);
}

void CGNString::RebuildNarrow() const {
  size_t units = m_pwzBuffer != nullptr ? m_nWzLength : 0;
  size_t maxChar = static_cast<size_t>(gnutil::platform::MbCurMax());
  if (units > kMaxLength / maxChar) throw GMemoryException();
  size_t room = units * maxChar;
  // Convert once into scratch room for the longest possible result, then keep
  // exactly what was written: characters without a narrow form are left out.
  char* scratch = AllocBytes(room + 1);
  size_t len = units ? gnutil::ToNarrow(scratch, m_pwzBuffer, units) : 0;
  char* data = scratch;
  if (len != room) {
    try {
      data = AllocBytes(len + 1);
    } catch (...) {
      FreeBytes(scratch);
      throw;
    }
    memcpy(data, scratch, len);
    FreeBytes(scratch);
  }
  data[len] = '\0';
  if (m_pData != g_emptyText) FreeBytes(m_pData);
  m_pData = data;
  m_nDataLength = m_nDataCapacity = static_cast<unsigned int>(len);
}

void CGNString::DuplicateDataFromWzBuffer() { RebuildNarrow(); }

void CGNString::DuplicateDataFromWzBuffer() const { RebuildNarrow(); }

void CGNString::EnsureWide() const {
  if (m_pwzBuffer == nullptr) DuplicateWzBufferFromData();
}
