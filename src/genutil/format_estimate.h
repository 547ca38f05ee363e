// The output length that CGNString::sprintf expects from a format, before it
// formats. It chooses between the fixed 8192-byte buffer and a larger one; it
// is not a bound (an E conversion counts 4 bytes, say), so sprintf checks the
// real length and grows the buffer whenever the estimate falls short.
#ifndef GNUTIL_SRC_GENUTIL_FORMAT_ESTIMATE_H
#define GNUTIL_SRC_GENUTIL_FORMAT_ESTIMATE_H

#include <stdarg.h>
#include <stddef.h>
#include <wchar.h>

namespace gnutil {

// The arguments of a format, taken in order. The estimate takes exactly the
// arguments that the runtime's printf takes for the same format, with their
// types, so that walking a caller's va_list stays in step with it.
class FormatArgs {
 public:
  virtual ~FormatArgs() = default;
  virtual int NextInt() = 0;
  virtual void SkipInteger(int lengthModifier) = 0;  // 'l' 'L'(ll) 'j' 'z' 't' or 0
  virtual void SkipDouble(bool longDouble) = 0;
  virtual void SkipPointer() = 0;
  virtual const char* NextString() = 0;
  virtual const wchar_t* NextWideString() = 0;
};

// FormatArgs over a va_list (the caller keeps ownership and calls va_end).
class VaFormatArgs : public FormatArgs {
 public:
  explicit VaFormatArgs(va_list* args) : args_(args) {}
  int NextInt() override;
  void SkipInteger(int lengthModifier) override;
  void SkipDouble(bool longDouble) override;
  void SkipPointer() override;
  const char* NextString() override;
  const wchar_t* NextWideString() override;

 private:
  va_list* args_;
};

// The estimate: ordinary characters (by the current code set's rules) count
// their bytes, "%%" counts 1; a conversion counts its string length (6 for a
// null string) or 2 for a character, raised to the width and cut to the
// precision; width plus precision and at least 128 for e, f, g and G, at least
// 32 for integers and pointers; 0 for n; 2 more for the "#" flag; 4 for any
// other conversion. A conversion the runtime would not recognise ends the walk,
// because the arguments after it cannot be known. Saturates instead of
// overflowing.
size_t EstimateFormattedLength(const char* format, FormatArgs& args);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_FORMAT_ESTIMATE_H
