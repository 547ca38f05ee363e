/// \file
/// \ingroup strings
/// CGNString: the library's string value.
///
/// The narrow text (bytes in the process's multibyte encoding) is the master;
/// a wide copy in 16-bit units is made on demand by character-oriented
/// operations and dropped by byte-oriented changes. Growth is exact: the narrow
/// buffer is never bigger than asked for, so callers that append in a loop
/// reserve room first with AllocateBuffer.
#ifndef GNUTIL_GNSTRING_H
#define GNUTIL_GNSTRING_H

#include <stdarg.h>
#include <stddef.h>

#include "gnutil/export.h"

class CGNStringList;

/// Thrown by value when the string class cannot allocate memory; the only
/// exception the library's own classes raise.
struct GMemoryException {};

/// A string value holding text in the process's multibyte code set, with a
/// wide copy made on demand. An operation that cannot allocate throws
/// GMemoryException.
class GNUTIL_API CGNString {
 public:
  /// An empty string.
  CGNString();
  /// A deep copy.
  CGNString(const CGNString& other);
  /// A copy of a NUL-terminated narrow text (null: empty), with room for at
  /// least minCapacity bytes.
  CGNString(const char* text, int minCapacity = 0);
  /// The narrow form of a NUL-terminated wide text, converted with the
  /// process locale's multibyte conversion.
  CGNString(const unsigned short* wide, int unused = 0);
  /// Frees both buffers.
  virtual ~CGNString();

  /// Deep assignment; self-assignment keeps the value.
  CGNString& operator=(const CGNString& other);
  /// The same as operator=.
  CGNString& Set(const CGNString& other);
  /// Assigns a narrow text; null gives the empty string.
  CGNString& operator=(const char* text);
  ///@{
  /// Appends a string, a narrow text, a wide text (converted by the process
  /// locale) or one byte; null texts append nothing.
  CGNString& operator+=(const CGNString& other);
  CGNString& operator+=(const char* text);
  CGNString& operator+=(const unsigned short* wide);
  CGNString& operator+=(char c);
  ///@}

  /// The narrow text, NUL-terminated; never null (an empty string gives "").
  operator const char*() const;
  ///@{
  /// The narrow text's length in bytes, without the NUL.
  unsigned int GetLength() const;
  unsigned int GetLengthInBytes() const;
  ///@}
  /// The bytes the narrow text needs with its NUL.
  unsigned int GetNumByteNeeded() const;
  ///@{
  /// The number of characters (16-bit units of the wide copy), counted with
  /// the process locale's multibyte conversion.
  unsigned int GetNumChars() const;
  unsigned int GetLengthInChars() const;
  ///@}
  /// 1 when the string has no bytes.
  unsigned char IsEmpty() const;

  ///@{
  /// Byte-wise equality (1 equal, 0 not); a null text equals the empty string.
  unsigned char operator==(const CGNString& other) const;
  unsigned char operator==(const char* text) const;
  ///@}
  ///@{
  /// The negation of operator==.
  unsigned char operator!=(const CGNString& other) const;
  unsigned char operator!=(const char* text) const;
  ///@}

  /// The leading decimal number of the text, as atol reads it (0 when none).
  long Number();
  /// Copies at most size - 1 bytes and a NUL into buffer; returns the bytes
  /// copied (0 for a null buffer or size 0).
  unsigned int GetString(char* buffer, unsigned int size) const;
  /// The character at a character index as NUL-terminated multibyte bytes in
  /// buffer (room for a character and a NUL); empty when the index is out of
  /// range. Returns buffer.
  char* GetCodePageCharAt(int index, char* buffer) const;
  /// Replaces the character at a character index with the (first) character
  /// of mbchar; 0 when the index is out of range or mbchar is null.
  unsigned char SetCodePageCharAt(int index, const char* mbchar);
  /// The byte at a byte index; 0 out of range.
  char GetAt(unsigned int index) const;
  /// Sets the byte at a byte index; out of range: nothing.
  void SetAt(unsigned int index, char c);
  /// Makes the string empty.
  void Empty();
  /// Makes room for at least n bytes and a NUL without changing the text.
  void AllocateBuffer(unsigned int n);

  // --- Searching and editing ---
  //
  // Indexes and counts are in characters (units of the wide copy) unless the
  // name says bytes. Bad indexes never fail: reads give false, -1 or an empty
  // result, writes change nothing. Null text arguments count as empty.

  ///@{
  /// Classification by the process locale's wide-character tests. index -1
  /// tests every character: true for an empty string, except IsDigitAt and
  /// IsPunctAt, which are false for an empty string at any index. Any index
  /// outside the string gives false.
  unsigned char IsAlphaAt(int index) const;
  unsigned char IsAlphaNumAt(int index) const;
  unsigned char IsDigitAt(int index) const;
  unsigned char IsLowerAt(int index) const;
  unsigned char IsUpperAt(int index) const;
  unsigned char IsPrintAt(int index) const;
  unsigned char IsPunctAt(int index) const;
  unsigned char IsSpaceAt(int index) const;
  unsigned char IsXDigitAt(int index) const;
  ///@}
  /// Not empty and every character a letter or digit.
  unsigned char IsAlpha();
  /// The character at index is an ASCII digit; the bound is the byte length.
  unsigned char IsNumAt(unsigned int index);

  ///@{
  /// Case change of one character, or of all with -1, by the process
  /// locale's wide-character rules; the narrow text is rebuilt even when
  /// nothing changes.
  void ToUpper(int index = -1);
  void ToLower(int index = -1);
  ///@}
  /// Same character count and equal after upper-casing each character.
  unsigned char IsEqualNoCase(const CGNString& other) const;
  /// The collation order of the process locale: negative, 0 or positive.
  int Collate(const CGNString& other) const;

  ///@{
  /// The first or last count characters (all when fewer) into dest
  /// (overwritten; dest may be this string).
  void LeftString(CGNString& dest, unsigned int count) const;
  void RightString(CGNString& dest, unsigned int count) const;
  ///@}
  /// From start to the end, cut to count characters when count is below the
  /// characters remaining as unsigned numbers: every negative count means
  /// "to the end". A start at or past the end gives an empty dest.
  void SubStr(CGNString& dest, unsigned int start, int count = -1) const;
  /// SubStr with a signed start.
  void MidString(CGNString& dest, int start, int count = -1) const;
  /// SubStr in place.
  void SubStr(unsigned int start, int count = -1);
  /// The first n bytes without splitting a character; dest gets room for at
  /// least n + 1 bytes.
  void LeftStringInBytes(CGNString& dest, unsigned int n) const;
  /// In place, in bytes: count bytes from byte start (-1 or too many: to the
  /// end). A start past the end gives an empty string.
  void SubStrInBytes(unsigned int start, int count = -1);

  ///@{
  /// Blank-only trims (code 32; tabs stay) at the start, the end or both,
  /// into dest.
  void LeftTrim(CGNString& dest);
  void RightTrim(CGNString& dest);
  void LeftRightTrim(CGNString& dest);
  ///@}

  /// Keeps the first count characters.
  void Truncate(unsigned int count);
  ///@{
  /// Cuts before the first occurrence of the (first) character given.
  void TruncateAt(const char* mbchar);
  void TruncateAt(char c);
  ///@}

  /// Character index of the first occurrence at or after start, -1 when none
  /// or when start is not an index of this string. An empty text sought is
  /// found at start.
  ///@{
  int Find(const CGNString& sought, int start = 0) const;
  int Find(const char* sought, int start = 0) const;
  int StrChr(unsigned int start, char c) const;
  ///@}
  /// Index of the last occurrence of the (first) character given, or -1.
  int ReverseFind(const char* mbchar) const;
  /// The number of characters from start up to the first character in (not
  /// in) the set: counted from start, not from the beginning, as callers
  /// expect. A start outside the string gives the character count.
  ///@{
  int FindFirstOf(const CGNString& set, int start = 0) const;
  int FindFirstNotOf(const CGNString& set, int start = 0) const;
  ///@}

  /// Inserts text before the character at position (0 ... count). Returns the
  /// number of characters inserted as unsigned char (it wraps at 256; callers
  /// rely on the narrow type), 0 when the position is out of range.
  unsigned char InsertAt(int position, const CGNString& text);
  /// Removes count characters from position (all that remain when fewer).
  /// False when position is not an index of the string; a negative count
  /// removes nothing and gives false.
  unsigned char RemoveAt(int position, int count);
  /// Replaces every occurrence, left to right without overlap; the
  /// replacement text is never searched again. A null replacement deletes.
  void Replace(const char* sought, const char* replacement);
  /// Replaces every byte from with to.
  void Replace(char from, char to);

  ///@{
  /// This string becomes source up to (not including) the first occurrence
  /// of stop, found character-aligned; all of it when stop does not occur or
  /// is empty. Null source: empty string.
  void CopyUntil(const char* source, const char* stop);
  void CopyUntil(const char* source, char stop);
  ///@}
  ///@{
  /// As CopyUntil, appending to this string instead of replacing it.
  void AppendUntil(const char* source, const char* stop);
  void AppendUntil(const char* source, char stop);
  ///@}

  /// This string becomes n bytes of source, copied as strncpy does (NUL
  /// padding counted in the length when the source is shorter). Null source:
  /// the empty initial state. The source may be this string's own text.
  void CopyNBytes(const char* source, unsigned int n);
  /// The first n characters of a narrow text (all when it has fewer).
  void CopyNChars(const char* source, unsigned int n);
  /// Exactly n wide characters; the caller guarantees that many.
  void CopyNChars(const unsigned short* source, unsigned int n);
  /// Appends the first n characters of a narrow text (all when it has fewer).
  void AppendNChars(const char* source, unsigned int n);

  /// Empties the list, then adds the pieces of this string between the
  /// separators (found character-aligned). Adjacent separators give an empty
  /// item; a separator at the very end adds none; an empty string gives no
  /// item. An empty separator counts as absent: the whole string is one item.
  ///@{
  void Split(CGNStringList& list, const char* separator);
  void Split(CGNStringList& list, unsigned char separator);
  ///@}

  // --- Escapes, formatting, resources and file names ---

  /// Doubles every `quote` character ("it's" -> "it''s"). Works by characters;
  /// if its scratch buffer cannot be had, the string is left as it was.
  void ExpandQuotes(char quote);
  /// Every pair of adjacent `quote` characters becomes one; a single one stays.
  void UnexpandQuotes(char quote);
  /// Writes backspace, line feed, form feed, carriage return, the double quote
  /// and the backslash as `\b \n \f \r \"` and two backslashes. Tabs stay.
  void ExpandSpecials();
  /// Reads `\n \t \r \b`, two backslashes and numeric escapes back. A numeric
  /// escape reads the up to three characters after the backslash, keeping their
  /// digits; above 255 it reads two characters only. `\f` and `\"` are not read
  /// back (callers rely on it), nor is any other escape.
  void UnexpandSpecials();

  /// printf-style formatting into the string. The result is always complete,
  /// however long. A count below 1 (empty result or error) leaves the string
  /// unchanged. Returns the count vsprintf gives.
  int sprintf(const char* format, ...);
  /// The same; meant for results shorter than 8192 bytes, but a longer one is
  /// still complete.
  int sprintf2(const char* format, ...);

  /// Loads string resource `id` with OSLoadString, then replaces $1 to $10 (or
  /// $01 ...) with the arguments given, which end at the first null one. A
  /// placeholder without its argument, or with an empty one, vanishes. The
  /// result holds at most 1999 bytes. With no argument the text is left as
  /// loaded.
  void LoadStringResource(long id, const char* arg1 = nullptr, const char* arg2 = nullptr,
                          const char* arg3 = nullptr, const char* arg4 = nullptr,
                          const char* arg5 = nullptr, const char* arg6 = nullptr,
                          const char* arg7 = nullptr, const char* arg8 = nullptr,
                          const char* arg9 = nullptr, const char* arg10 = nullptr);

  /// Line ends: CR LF on the client, LF on the server. Turns the text into
  /// the client form (OSClientFormatString).
  void ClientFormat();
  /// Turns the text into the server form (OSServerFormatString).
  void ServerFormat();
  /// The number of LF bytes after the first byte (OSClientGetNumLines).
  int GetNumLines() const;

  /// The last "/" or "\" splits the string into directory and name; without
  /// one the name is the whole string and the directory is empty.
  void SplitFilePath(CGNString& directory, CGNString& name) const;
  /// The last "." splits the string into base and extension (a dot in a
  /// directory name counts); without one the base is the whole string.
  void SplitFileName(CGNString& base, CGNString& extension) const;
  /// This string becomes directory, separator (unless the directory ends with
  /// one) and name; an empty directory gives the separator and the name. The
  /// separator is the platform's: "\" on Windows, "/" elsewhere. Returns 1.
  unsigned char MakeFilePath(const CGNString& directory, const CGNString& name);
  /// Turns the string into an 8.3 file name: a first character that is not a
  /// letter and every other character that is not a letter, digit or the last
  /// "." becomes "x"; the base keeps 8 bytes, the extension 3.
  void ForceTo8By3();

 protected:
  // The narrow text is the master and the wide copy a cache of it, so const
  // operations may build or rebuild the copy.
  void InitValue();                        ///< Sets the empty initial state.
  void FreeBuffers();                      ///< Frees both buffers.
  int ReallocateToNumBytes(int n);         ///< Room for n narrow bytes; 0 on failure.
  int ReallocateToNumChars(int n);         ///< Room for n wide units; 0 on failure.
  void DuplicateWzBufferFromData() const;  ///< Rebuilds the wide copy from the text.
  void DuplicateDataFromWzBuffer();        ///< Rebuilds the text from the wide copy.
  void DuplicateDataFromWzBuffer() const;  ///< Rebuilds the text from the wide copy.
  mutable unsigned short* m_pwzBuffer;     ///< The wide copy, or null.
  mutable unsigned int m_nWzLength;        ///< Units in the wide copy.
  mutable unsigned int m_nWzCapacity;      ///< Units the wide buffer holds.
  mutable char* m_pData;                   ///< The narrow text, or null when empty.
  mutable unsigned int m_nDataLength;      ///< Bytes of the narrow text.
  mutable unsigned int m_nDataCapacity;    ///< Bytes the narrow buffer holds.

 private:
  void AppendBytes(const char* bytes, unsigned int count);
  void CopyFrom(const CGNString& other);
  void RebuildNarrow() const;
  void EnsureWide() const;
  /// Replaces the wide copy with units (length units plus a NUL), taking
  /// ownership of the buffer.
  void AdoptWide(unsigned short* units, unsigned int length);
  /// Rebuilds the narrow text after a character edit; if that fails the edit
  /// is dropped with the wide copy, so the value stays what it was.
  void CommitWide();
  /// The narrow text becomes exactly count bytes (NULs included); the wide
  /// copy is dropped.
  void AssignBytes(const char* bytes, unsigned int count);
  // LoadStringResource's $1 to $10 substitution, on the text as loaded:
  // args end at the first null one.
  void ReplacePlaceholders(const char* const args[10]);
  int FormatV(const char* format, va_list args, bool estimate);
};

// Line ends exchanged with server hosts: LF there, CR LF on the client.

/// Inserts a CR before every LF that has none (one at the very start too).
/// Returns the old byte length plus one for every LF, whether it had its CR or
/// not: the room the client form needs at most (for a text with no CR LF yet,
/// its new length). An empty string gives 0.
GNUTIL_API int OSClientFormatString(CGNString& text);
/// Removes every CR that is directly followed by LF. Returns the new length.
GNUTIL_API int OSServerFormatString(CGNString& text);
/// The number of LF bytes after the first byte (an LF at position 0 is not
/// counted); 0 for an empty string.
GNUTIL_API int OSClientGetNumLines(CGNString& text);
/// Removes every CR directly followed by LF in a NUL-terminated buffer, in
/// place. Returns 1, or 0 for a null pointer.
GNUTIL_API int OSDosToUnix(char* buffer);
/// How many bytes of the first n bytes of a client text survive a field of n
/// bytes on the server: for Japanese, Korean and Chinese users the text goes
/// to the server's coding (WindowsCodingToUnixCodingExt), is cut to n bytes
/// and comes back; the result is the length of what came back. For other
/// users it is n. Null text gives 0.
GNUTIL_API int OSFindPlatformStringLength(char* text, int n);

namespace gnutil {

/// What CountLocaleChars returns for bytes that are not text of the process
/// locale.
constexpr size_t kNotLocaleText = static_cast<size_t>(-1);

/// The characters that CGNString::GetNumChars counts in the first length
/// bytes of a text (up to a NUL), without building a string: its 16-bit wide
/// units in the process locale. Returns kNotLocaleText when the bytes are not
/// valid there (GetNumChars then counts bytes), so that a program can count a
/// text in pieces.
GNUTIL_API size_t CountLocaleChars(const char* text, size_t length);

}  // namespace gnutil

#endif  // GNUTIL_GNSTRING_H
