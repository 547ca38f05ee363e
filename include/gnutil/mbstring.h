/// \file
/// \ingroup mbtext
/// Multibyte-aware counterparts of the standard string functions, and lines,
/// chunks and whole files read and written with code-set conversion.
///
/// Characters are recognised by the rules of mbutil.h, in the current code set
/// unless one is passed; every function initialises the code-set module on
/// first use. When the current code set has no multibyte characters most
/// functions are the plain C function of the same purpose. Characters are
/// passed as an int holding a char value (a byte >= 0x80 may be negative).
/// Null arguments give a neutral result (0, null or the destination
/// untouched). mbstrtok and the file functions that convert are for one
/// thread at a time.
#ifndef GNUTIL_MBSTRING_H
#define GNUTIL_MBSTRING_H

#include <stddef.h>
#include <stdio.h>

#include "gnutil/export.h"

extern "C" {

// --- Copying ---

/// strncpy that never splits a character: when the source is longer than n
/// bytes and byte n lies inside a character, the bytes before that character
/// are copied and a NUL is stored after them. Otherwise exactly strncpy
/// (no NUL when the source has n bytes or more). Returns dst.
GNUTIL_API char* mbstrncpy(char* dst, const char* src, size_t n);
/// The same copy; returns the number of bytes copied (the shortened count
/// when a character was left out, else the smaller of n and strlen(src)).
GNUTIL_API int mbstrncpyi(char* dst, const char* src, size_t n);

// --- Comparing ---

/// Case-insensitive for single-byte characters; a character of more bytes is
/// greater than one of fewer. -1, 0 or 1.
GNUTIL_API int mbstricmp(const char* a, const char* b);
/// At most n bytes of a; multibyte characters compared exactly, single bytes
/// without case (their difference is returned).
GNUTIL_API int mbstrnicmp(const char* a, const char* b, size_t n);
/// Like mbstrnicmp but with case; 0 once a ends or n bytes are compared.
GNUTIL_API int mbcharcmp(const char* a, const char* b, size_t n);
/// strcoll: the collation order of the process locale.
GNUTIL_API int mbstrcoll(const char* a, const char* b);

// --- Case, in place; multibyte characters are never changed ---

///@{
/// Upper- or lower-cases the single-byte letters. Return the text's length,
/// or 0 for a null text or a text whose last character is cut off.
GNUTIL_API int mbstrtoupper(char* text);
GNUTIL_API int mbstrtolower(char* text);
///@}

// --- Searching: matches start on character boundaries and cover whole
// characters ---

/// strchr on character boundaries: the first character c, or null.
GNUTIL_API char* mbstrchr(const char* text, int c);
/// strrchr on character boundaries: the last character c, or null.
GNUTIL_API char* mbstrrchr(const char* text, int c);
/// An empty text sought is found at the start; a null one gives the text.
GNUTIL_API char* mbstrstr(const char* text, const char* sought);
/// The last occurrence of sought, or null.
GNUTIL_API char* mbstrrstr(const char* text, const char* sought);
/// strpbrk by characters: the first character of text that is in set, or
/// null.
GNUTIL_API char* mbstrpbrk(const char* text, const char* set);
/// strcspn by characters: the bytes before the first character in set.
GNUTIL_API size_t mbstrcspn(const char* text, const char* set);
/// Tokens with one saved position for the whole process. Unlike strtok, a
/// leading delimiter is skipped only once, on the first call, and adjacent
/// delimiters give empty tokens ("a,,b" gives "a", "", "b").
GNUTIL_API char* mbstrtok(char* text, const char* delimiters);

// --- Validation and checksum ---

/// 1 when the text is valid in the code set; else 0 with the byte offset of
/// the first invalid or cut-off character in *offset. Always 1 when the
/// current code set has no multibyte characters.
GNUTIL_API int mbvalidatestring(const char* text, int* offset, int codeset);
/// The sum of the text's bytes after conversion from the process code page's
/// code set to Japanese EUC, so that Japanese text gives the same value on
/// Windows and Unix hosts ("abc" gives 294 everywhere).
GNUTIL_API int AccumulateAsciiForStr(const char* text);

// --- Files ---

/// One line, converted from the file's code set to the current code set
/// (fileCodeSet 0: no conversion), into buffer with at most n - 1 bytes and a
/// NUL. Never splits a character and never cuts a converted line: a line that
/// would not fit is delivered in pieces over several calls, as fgets does.
/// Null at the end of the file.
GNUTIL_API char* mbfgets(char* buffer, int n, FILE* fp, int fileCodeSet);
/// Writes the text converted from the current code set to the file's code set
/// (0: unchanged). fputs's result; -1 when memory runs out.
GNUTIL_API int mbfputs(const char* text, FILE* fp, int fileCodeSet);
/// Reads up to n bytes and a NUL (buffer holds n + 1). When the read filled n
/// bytes and the last character is cut off, it is left in the file for the
/// next read (the stream must be able to seek back). Returns the bytes kept.
GNUTIL_API int mbfreadstring(char* buffer, int n, FILE* fp);

///@{
/// Whole files from the file's code set into the current one (output opened
/// for appending when append is non-zero). 1 on success, 0 when a file
/// cannot be opened, memory runs out or a write fails. The line form also
/// turns CR LF into LF; the _ex form converts in chunks, keeps every byte and
/// refuses file code set 0.
GNUTIL_API int mbconvertfile2native(const char* inPath, const char* outPath, int append,
                                    int fileCodeSet);
GNUTIL_API int mbconvertfile2native_ex(const char* inPath, const char* outPath, int append,
                                       int fileCodeSet);
///@}
/// The other way: a text file of the current code set into the file's code
/// set (text mode on both sides).
GNUTIL_API int mbconvertnativefile(const char* inPath, const char* outPath, int append,
                                   int fileCodeSet);
/// dst receives src converted from the current code set to the target code
/// set (room as for convertStrExt). Returns 1, or 0 for a null argument.
GNUTIL_API int mbconvertnativestring(char* dst, const char* src, int targetCodeSet);

}  // extern "C"

#endif  // GNUTIL_MBSTRING_H
