// The text core of CGNDecimal: reading, writing and shifting decimal numbers
// held as digit strings, with the separators and grouping passed in. Nothing
// here reads the locale, so every rule can be tested (and fuzzed) with the
// values of any locale.
#ifndef GNUTIL_SRC_LOCALE_DECIMAL_TEXT_H
#define GNUTIL_SRC_LOCALE_DECIMAL_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include "gnutil/decimal.h"

namespace gnutil {

// Each of the integer and fraction parts holds at most this many digits.
constexpr size_t kDecimalMaxDigits = 255;

// One separator character as bytes of the process encoding. A length of 0
// (an empty setting) matches nothing and writes nothing.
struct DecimalSymbol {
  char bytes[8];
  size_t length;
};

// The single byte c as a symbol (c == 0 gives the empty symbol).
DecimalSymbol DecimalByte(char c);
// The whole first character of text in the process locale's encoding (one
// byte for ASCII and for bytes the locale cannot read); empty for null or "".
DecimalSymbol DecimalFirstCharacter(const char* text);

// Where digit groups end, counted in integer digits to the right: the
// positions the grouping text names, then (after a final 0) every
// repeatStep digits beyond the last of them.
struct DecimalGrouping {
  bool active;          // a group size from 1 to 9 was given
  uint64_t named[4];    // bit r: a separator where r integer digits remain
  unsigned repeatFrom;  // the last named position
  unsigned repeatStep;  // 0: no repetition
};

// Reads a grouping text: single digits counted from the decimal symbol
// leftwards, ";" between them, a final 0 repeating the last size ("3;0",
// "3;2;0"). Characters other than digits and ";" are skipped, as the
// system's own texts have none and a stray one should not cost the grouping.
// Null or empty text, or one starting with 0, gives no grouping.
DecimalGrouping ParseDecimalGrouping(const char* text);

// Takes text apart into *out: leading and trailing blanks are skipped; the
// number is the run of digits, decimal symbols and group separators that
// starts at the first digit or decimal symbol; what stands before and after
// it decides the sign ("-12", "12-", "(12)"; other text around a number is
// ignored). Group separators are dropped wherever they stand before the
// decimal symbol. *end (when given) receives the offset just past the number,
// whatever the result. 0 on success (an empty text is the number zero without
// digits), -1 when the text is not a number or a part exceeds 255 digits.
int ParseDecimal(const char* text, DecimalNumberT* out, const DecimalSymbol& group,
                 const DecimalSymbol& decimal, int* end);

// True when text is already in C form: after blanks and one optional leading
// "-", only digits and points (an empty or blank text counts).
bool IsDecimalCForm(const char* text);

// The bytes FormatDecimal writes, with its terminating NUL.
size_t DecimalFormattedSize(const DecimalNumberT& number, const DecimalSymbol& group,
                            const DecimalSymbol& decimal, const DecimalGrouping* grouping);

// The longest text FormatDecimal can write, with its NUL.
constexpr size_t kDecimalMaxFormatted = 1 + kDecimalMaxDigits * (1 + sizeof(DecimalSymbol::bytes)) +
                                        sizeof(DecimalSymbol::bytes) + kDecimalMaxDigits + 1;

// Writes the number: "-" when negative, the integer digits with a group
// separator at each grouping position (none when grouping is null or
// inactive), "0" when there are no integer digits, then the decimal symbol and
// the fraction when there is one. Returns the length written (NUL excluded).
size_t FormatDecimal(char* out, const DecimalNumberT& number, const DecimalSymbol& group,
                     const DecimalSymbol& decimal, const DecimalGrouping* grouping);

// Multiplies the number by ten to the power exponent by moving digits between
// the parts and padding with zeros; leading zeros stay. False, with *number
// unchanged, when a part would exceed 255 digits.
bool ShiftDecimal(DecimalNumberT* number, int exponent);

// Reads text for a conversion: C-form text (IsDecimalCForm) with "," and
// ".", unless forceRegional; other text with group and decimal. 0 or -1 as
// ParseDecimal.
int ReadDecimalText(const char* text, DecimalNumberT* out, const DecimalSymbol& group,
                    const DecimalSymbol& decimal, bool forceRegional);

// ReadDecimalText, then the other form written into a new buffer from
// malloc: C form, or the regional form with group, decimal and grouping.
// Null when the text is not a number or memory is short.
char* ConvertDecimalToC(const char* text, const DecimalSymbol& group, const DecimalSymbol& decimal,
                        bool forceRegional);
char* ConvertDecimalToRegional(const char* text, const DecimalSymbol& group,
                               const DecimalSymbol& decimal, const DecimalGrouping* grouping);

}  // namespace gnutil

#endif  // GNUTIL_SRC_LOCALE_DECIMAL_TEXT_H
