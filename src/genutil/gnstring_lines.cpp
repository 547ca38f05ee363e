// Line ends between client and server hosts: CR LF on the client, LF on the
// server. These work on bytes: CR and LF are never part of a multibyte
// character in the code sets we support.
#include <string.h>

#include "genutil/alloc.h"
#include "gnutil/gnstring.h"
#include "gnutil/jaconv.h"
#include "platform/langid.h"

void CGNString::ClientFormat() {
  if (m_nDataLength == 0) return;
  const char* p = m_pData;
  size_t missing = 0;
  for (unsigned int i = 0; i < m_nDataLength; ++i) {
    if (p[i] == '\n' && (i == 0 || p[i - 1] != '\r')) ++missing;
  }
  if (missing == 0) return;
  char* out = gnutil::AllocBytes(m_nDataLength + missing + 1);
  size_t n = 0;
  for (unsigned int i = 0; i < m_nDataLength; ++i) {
    if (p[i] == '\n' && (i == 0 || p[i - 1] != '\r')) out[n++] = '\r';
    out[n++] = p[i];
  }
  try {
    AssignBytes(out, static_cast<unsigned int>(n));
  } catch (...) {
    gnutil::FreeBytes(out);
    throw;
  }
  gnutil::FreeBytes(out);
}

void CGNString::ServerFormat() {
  if (m_nDataLength == 0) return;
  char* p = m_pData;
  size_t n = 0;
  for (unsigned int i = 0; i < m_nDataLength; ++i) {
    if (p[i] == '\r' && i + 1 < m_nDataLength && p[i + 1] == '\n') continue;
    p[n++] = p[i];
  }
  if (n == m_nDataLength) return;
  p[n] = '\0';
  m_nDataLength = static_cast<unsigned int>(n);
  if (m_pwzBuffer != nullptr) {
    gnutil::FreeUnits(m_pwzBuffer);
    m_pwzBuffer = nullptr;
    m_nWzLength = m_nWzCapacity = 0;
  }
}

int CGNString::GetNumLines() const {
  int lines = 0;
  // An LF in the first byte does not count: callers rely on it.
  for (unsigned int i = 1; i < m_nDataLength; ++i) {
    if (m_pData[i] == '\n') ++lines;
  }
  return lines;
}

// Returns the old length plus one for every LF, whether or not it already
// had its CR: the room a buffer needs for the client form in the worst case.
// Callers size their buffers with it, so it is not the new length.
int OSClientFormatString(CGNString& text) {
  const char* p = text;
  const unsigned int len = text.GetLength();
  unsigned int lfs = 0;
  for (unsigned int i = 0; i < len; ++i) {
    if (p[i] == '\n') ++lfs;
  }
  text.ClientFormat();
  return static_cast<int>(len + lfs);
}

int OSServerFormatString(CGNString& text) {
  text.ServerFormat();
  return static_cast<int>(text.GetLength());
}

int OSClientGetNumLines(CGNString& text) { return text.GetNumLines(); }

int OSDosToUnix(char* buffer) {
  if (buffer == nullptr) return 0;
  char* out = buffer;
  for (const char* p = buffer; *p != '\0'; ++p) {
    if (p[0] == '\r' && p[1] == '\n') continue;
    *out++ = *p;
  }
  *out = '\0';
  return 1;
}

int OSFindPlatformStringLength(char* text, int n) {
  const unsigned primary = gnutil::platform::UserDefaultLangID() & 0x3ff;
  if (primary != 17 && primary != 18 && primary != 4) return n;  // Japanese, Korean, Chinese
  if (text == nullptr || n <= 0) return 0;
  const size_t len = strnlen(text, static_cast<size_t>(n));
  // The conversions need room for three times their source plus the NUL.
  char* source = gnutil::AllocBytes(len + 1);
  char* unix = nullptr;
  char* back = nullptr;
  int result = 0;
  try {
    memcpy(source, text, len);
    source[len] = '\0';
    unix = gnutil::AllocBytes(3 * len + 1);
    WindowsCodingToUnixCodingExt(source, unix);
    if (strlen(unix) > static_cast<size_t>(n)) unix[n] = '\0';  // the server's field
    back = gnutil::AllocBytes(3 * strlen(unix) + 1);
    UnixCodingToWindowsCodingExt(unix, back);
    result = static_cast<int>(strlen(back));
  } catch (...) {
    gnutil::FreeBytes(source);
    gnutil::FreeBytes(unix);
    gnutil::FreeBytes(back);
    throw;
  }
  gnutil::FreeBytes(source);
  gnutil::FreeBytes(unix);
  gnutil::FreeBytes(back);
  return result;
}
