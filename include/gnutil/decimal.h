/// \file
/// \ingroup decimal
/// CGNDecimal: decimal number text between the neutral C form and the regional
/// form of the process-wide locale.
///
/// The C form has "." as decimal symbol, no digit groups and a leading "-";
/// the regional form uses the decimal symbol, digit group separator and
/// grouping of CLCGlobalLocale::Instance(). Numbers stay digit strings all the
/// way through, so every digit the limits allow keeps its exact value:
///   - a conversion reads at most the first 63 bytes of its text;
///   - each of the integer and fraction parts holds at most 255 digits; a text
///     or a shift (ApplyExponent) that needs more fails with an empty result
///     rather than losing digits.
///
/// A separator of several bytes (in UTF-8 locales, for example U+202F, the
/// group separator of French) is read and written as the whole character; a
/// one-byte separator behaves as the single character it is.
#ifndef GNUTIL_DECIMAL_H
#define GNUTIL_DECIMAL_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

class CLCLocale;

/// A number taken apart: the digits before and after the decimal symbol, in
/// order and NUL-terminated (leading and trailing zeros kept), and its sign.
struct DecimalNumberT {
  char integerPart[256];   ///< Digits before the decimal symbol.
  char fractionPart[256];  ///< Digits after the decimal symbol.
  int negative;            ///< -1 negative, 0 otherwise.
};

/// Decimal number text converted between the C form and the regional form
/// of the process-wide locale (CLCGlobalLocale).
class GNUTIL_API CGNDecimal {
 public:
  /// Empty raw text and display buffer.
  CGNDecimal();
  /// text as the raw text that the next conversion reads.
  CGNDecimal(CGNString const& text);
  /// Calls locale->Init() and does not keep the record: conversions always use
  /// the process-wide locale. A null locale is allowed.
  CGNDecimal(CLCLocale* locale);
  ~CGNDecimal();  ///< Frees what the object owns.

  /// The raw text to C form ("-1234.5"). A raw text that is already in C form
  /// (digits and points, an optional leading "-") is read with "." as decimal
  /// symbol unless forceRegional is non-zero. 1 on success; 0 when the text is
  /// not a number, with an empty display buffer.
  unsigned char ConvertToCLocale(unsigned char forceRegional);
  /// The raw text to the regional form, with digit groups when useGrouping is
  /// non-zero and the locale's grouping has any. 1 or 0 as above.
  unsigned char ConvertToRegionalLocale(unsigned char useGrouping);
  /// Multiplies the number in the display buffer (regional form) by ten to the
  /// power exponent, writing it without digit groups. Leading zeros stay
  /// (0.5 with 1 gives 05). A display buffer that is empty stays empty; one that
  /// is not a number, or a result with a part of more than 255 digits, leaves
  /// it empty.
  void ApplyExponent(int exponent);
  /// The result of the last conversion (empty after a failure).
  void GetDisplayBuffer(CGNString& out);
  /// Replaces the raw text that the next conversion reads; the display buffer
  /// keeps the last result until then.
  void SetRawBuffer(CGNString& text);

  /// 1 when c is the first byte of the process-wide locale's group separator.
  static unsigned char IsThousandsSeparator(char c);
  /// The number of bytes from the start of text to the end of the number in
  /// it, read with the process-wide locale's separators: "abc 12,5 kg" gives 8
  /// when "," is the decimal symbol. 0 for a null or empty text, or one
  /// without a digit or decimal symbol.
  static int DetermineNumDecimalChars(char const* text);

 private:
  static int ParseNumber(char* text, DecimalNumberT* out, char groupSep, char decSym, int* end);
  static int FormatNumber(char* out, DecimalNumberT* number, char groupSep, char decSym,
                          char* grouping, unsigned char useGrouping);
  static int IsCLocale(char* text);
  static char* CvtToC(char* text, char groupSep, char decSym, unsigned char forceRegional);
  static char* CvtToRegional(char* text, char groupSep, char decSym, char* grouping,
                             unsigned char useGrouping);
  static char GetDecimalSymbol();
  static char GetDigitGroupSeparator();
  void GetLocaleSettings();

  CGNString m_displayBuffer;
  CGNString m_rawBuffer;
  CGNString m_numDigitsInGroup;
  CGNString m_decimalSymbol;
  CGNString m_digitGroupSeparator;
};

#endif  // GNUTIL_DECIMAL_H
