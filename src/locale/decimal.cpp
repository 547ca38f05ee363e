// CGNDecimal: the conversions read the process-wide locale's settings afresh
// each time and hand the text to the digit-string core (decimal_text.h).
//
// The private operations with char separators keep the one-byte view of the
// settings; the public conversions pass each separator as the whole first
// character of the setting, which is the same byte wherever the character
// has one byte.
#include "gnutil/decimal.h"

#include "gnutil/lclocale.h"
#include "locale/decimal_text.h"

namespace {

// The conversions see at most this many bytes of their text (63 and a NUL).
constexpr unsigned kWindow = 64;

CLCLocale* Locale() { return CLCGlobalLocale::Instance(); }

char FirstByte(const CGNString& s) { return static_cast<const char*>(s)[0]; }

// Replaces the result, keeping its buffer when that is big enough: a value
// converted again and again then costs no allocation for its result.
void Store(CGNString& result, const char* text) {
  result.SubStrInBytes(result.GetLength());
  result += text;
}

}  // namespace

CGNDecimal::CGNDecimal() {}

CGNDecimal::CGNDecimal(CGNString const& text) : m_rawBuffer(text) {}

CGNDecimal::CGNDecimal(CLCLocale* locale) {
  if (locale != nullptr) locale->Init();
}

CGNDecimal::~CGNDecimal() {}

void CGNDecimal::GetLocaleSettings() {
  CLCLocale* locale = Locale();
  locale->GetDecNumDigitsInGroup(m_numDigitsInGroup);
  locale->GetDecDecimalSymbol(m_decimalSymbol);
  locale->GetDecDigitGroupSeparator(m_digitGroupSeparator);
}

unsigned char CGNDecimal::ConvertToCLocale(unsigned char forceRegional) {
  GetLocaleSettings();
  char text[kWindow];
  m_rawBuffer.GetString(text, sizeof text);
  DecimalNumberT number;
  if (gnutil::ReadDecimalText(text, &number, gnutil::DecimalFirstCharacter(m_digitGroupSeparator),
                              gnutil::DecimalFirstCharacter(m_decimalSymbol),
                              forceRegional != 0) != 0) {
    m_displayBuffer.Empty();
    return 0;
  }
  char out[gnutil::kDecimalMaxFormatted];
  gnutil::FormatDecimal(out, number, gnutil::DecimalByte(','), gnutil::DecimalByte('.'), nullptr);
  Store(m_displayBuffer, out);
  return 1;
}

unsigned char CGNDecimal::ConvertToRegionalLocale(unsigned char useGrouping) {
  GetLocaleSettings();
  char text[kWindow];
  m_rawBuffer.GetString(text, sizeof text);
  gnutil::DecimalSymbol group = gnutil::DecimalFirstCharacter(m_digitGroupSeparator);
  gnutil::DecimalSymbol decimal = gnutil::DecimalFirstCharacter(m_decimalSymbol);
  DecimalNumberT number;
  if (gnutil::ReadDecimalText(text, &number, group, decimal, false) != 0) {
    m_displayBuffer.Empty();
    return 0;
  }
  char grouping[kWindow];
  m_numDigitsInGroup.GetString(grouping, sizeof grouping);
  gnutil::DecimalGrouping groups = gnutil::ParseDecimalGrouping(grouping);
  char out[gnutil::kDecimalMaxFormatted];
  gnutil::FormatDecimal(out, number, group, decimal, useGrouping != 0 ? &groups : nullptr);
  Store(m_displayBuffer, out);
  return 1;
}

void CGNDecimal::ApplyExponent(int exponent) {
  if (exponent == 0 || m_displayBuffer.IsEmpty()) return;
  CGNString groupSetting;
  CGNString decimalSetting;
  Locale()->GetDecDigitGroupSeparator(groupSetting);
  Locale()->GetDecDecimalSymbol(decimalSetting);
  gnutil::DecimalSymbol group = gnutil::DecimalFirstCharacter(groupSetting);
  gnutil::DecimalSymbol decimal = gnutil::DecimalFirstCharacter(decimalSetting);
  // A text that is not a number, or a shift past the digit limit, leaves no
  // result rather than a number made of whatever digits could be had.
  DecimalNumberT number;
  if (gnutil::ParseDecimal(m_displayBuffer, &number, group, decimal, nullptr) != 0 ||
      !gnutil::ShiftDecimal(&number, exponent)) {
    m_displayBuffer.Empty();
    return;
  }
  char out[gnutil::kDecimalMaxFormatted];
  gnutil::FormatDecimal(out, number, group, decimal, nullptr);
  Store(m_displayBuffer, out);
}

void CGNDecimal::GetDisplayBuffer(CGNString& out) { out = m_displayBuffer; }

// The name says what callers expect of it: the text for the next conversion.
void CGNDecimal::SetRawBuffer(CGNString& text) { m_rawBuffer = text; }

unsigned char CGNDecimal::IsThousandsSeparator(char c) {
  return c != '\0' && c == GetDigitGroupSeparator() ? 1 : 0;
}

int CGNDecimal::DetermineNumDecimalChars(char const* text) {
  CGNString groupSetting;
  CGNString decimalSetting;
  Locale()->GetDecDigitGroupSeparator(groupSetting);
  Locale()->GetDecDecimalSymbol(decimalSetting);
  DecimalNumberT number;
  int end = 0;
  gnutil::ParseDecimal(text, &number, gnutil::DecimalFirstCharacter(groupSetting),
                       gnutil::DecimalFirstCharacter(decimalSetting), &end);
  return end;
}

int CGNDecimal::ParseNumber(char* text, DecimalNumberT* out, char groupSep, char decSym, int* end) {
  return gnutil::ParseDecimal(text, out, gnutil::DecimalByte(groupSep), gnutil::DecimalByte(decSym),
                              end);
}

int CGNDecimal::FormatNumber(char* out, DecimalNumberT* number, char groupSep, char decSym,
                             char* grouping, unsigned char useGrouping) {
  if (out == nullptr || number == nullptr) return 0;
  gnutil::DecimalGrouping groups = gnutil::ParseDecimalGrouping(grouping);
  gnutil::FormatDecimal(out, *number, gnutil::DecimalByte(groupSep), gnutil::DecimalByte(decSym),
                        useGrouping != 0 ? &groups : nullptr);
  return 0;
}

int CGNDecimal::IsCLocale(char* text) { return gnutil::IsDecimalCForm(text) ? 1 : 0; }

char* CGNDecimal::CvtToC(char* text, char groupSep, char decSym, unsigned char forceRegional) {
  return gnutil::ConvertDecimalToC(text, gnutil::DecimalByte(groupSep), gnutil::DecimalByte(decSym),
                                   forceRegional != 0);
}

char* CGNDecimal::CvtToRegional(char* text, char groupSep, char decSym, char* grouping,
                                unsigned char useGrouping) {
  gnutil::DecimalGrouping groups = gnutil::ParseDecimalGrouping(grouping);
  return gnutil::ConvertDecimalToRegional(text, gnutil::DecimalByte(groupSep),
                                          gnutil::DecimalByte(decSym),
                                          useGrouping != 0 ? &groups : nullptr);
}

char CGNDecimal::GetDecimalSymbol() {
  CGNString setting;
  Locale()->GetDecDecimalSymbol(setting);
  return FirstByte(setting);
}

char CGNDecimal::GetDigitGroupSeparator() {
  CGNString setting;
  Locale()->GetDecDigitGroupSeparator(setting);
  return FirstByte(setting);
}
