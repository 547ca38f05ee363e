// CGNString: searching, cutting, trimming, changing and classifying text.
//
// Character operations work on the UTF-16 wide copy, where one unit is one
// character index, and rebuild the narrow text when they change it. The few
// byte operations (their names say InBytes / NBytes, and the Until family)
// work on the narrow text and drop the wide copy.
#include <string.h>

#include "genutil/alloc.h"
#include "genutil/textscan.h"
#include "genutil/widetext.h"
#include "gnutil/gnstring.h"

using gnutil::AllocBytes;
using gnutil::FreeBytes;
using gnutil::FreeUnits;

namespace {

// Lengths are 32-bit; a longer text cannot be allocated.
constexpr size_t kMaxLength = 0xFFFFFFFEu;

}  // namespace

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
