// CGNString: the library's string value.
//
// The narrow text (bytes in the process's multibyte encoding) is the master;
// a wide copy in 16-bit units is made on demand by character-oriented
// operations and dropped by byte-oriented changes. Growth is exact: the narrow
// buffer is never bigger than asked for, so callers that append in a loop
// reserve room first with AllocateBuffer.
#ifndef GNUTIL_GNSTRING_H
#define GNUTIL_GNSTRING_H

#include "gnutil/export.h"

class CGNStringList;

// Thrown by value when the string class cannot allocate memory.
struct GMemoryException {};

class GNUTIL_API CGNString {
 public:
  CGNString();
  CGNString(const CGNString& other);
  CGNString(const char* text, int minCapacity = 0);
  CGNString(const unsigned short* wide, int unused = 0);
  virtual ~CGNString();

  CGNString& operator=(const CGNString& other);
  CGNString& Set(const CGNString& other);
  CGNString& operator=(const char* text);
  CGNString& operator+=(const CGNString& other);
  CGNString& operator+=(const char* text);
  CGNString& operator+=(const unsigned short* wide);
  CGNString& operator+=(char c);

  operator const char*() const;
  unsigned int GetLength() const;
  unsigned int GetLengthInBytes() const;
  unsigned int GetNumByteNeeded() const;
  unsigned int GetNumChars() const;
  unsigned int GetLengthInChars() const;
  unsigned char IsEmpty() const;

  unsigned char operator==(const CGNString& other) const;
  unsigned char operator==(const char* text) const;
  unsigned char operator!=(const CGNString& other) const;
  unsigned char operator!=(const char* text) const;

  long Number();
  unsigned int GetString(char* buffer, unsigned int size) const;
  char* GetCodePageCharAt(int index, char* buffer) const;
  unsigned char SetCodePageCharAt(int index, const char* mbchar);
  char GetAt(unsigned int index) const;
  void SetAt(unsigned int index, char c);
  void Empty();
  void AllocateBuffer(unsigned int n);

  // --- Searching and editing ---

  // Empties the list, then adds the pieces of this string between the
  // separators (found character-aligned). Adjacent separators give an empty
  // item; a separator at the very end adds none; an empty string gives no
  // item. An empty separator counts as absent: the whole string is one item.
  void Split(CGNStringList& list, const char* separator);
  void Split(CGNStringList& list, unsigned char separator);

  // This string becomes n bytes of source, copied as strncpy does (NUL
  // padding counted in the length when the source is shorter). Null source:
  // the empty initial state. The source may be this string's own text.
  void CopyNBytes(const char* source, unsigned int n);

  // --- Escapes, formatting, resources and file names ---

 protected:
  void InitValue();
  void FreeBuffers();
  int ReallocateToNumBytes(int n);
  int ReallocateToNumChars(int n);
  void DuplicateWzBufferFromData() const;
  void DuplicateDataFromWzBuffer();
  void DuplicateDataFromWzBuffer() const;

  // The wide copy is a cache of the narrow text, so const operations may
  // build or rebuild it.
  mutable unsigned short* m_pwzBuffer;
  mutable unsigned int m_nWzLength;
  mutable unsigned int m_nWzCapacity;
  mutable char* m_pData;
  mutable unsigned int m_nDataLength;
  mutable unsigned int m_nDataCapacity;

 private:
  void AppendBytes(const char* bytes, unsigned int count);
  void CopyFrom(const CGNString& other);
  void RebuildNarrow() const;
  void EnsureWide() const;
};

#endif  // GNUTIL_GNSTRING_H
