// Decimal text both ways: the neutral C form ("-1234567.25") into the
// process locale's form with digit groups, and back. The digits are never a
// binary number, so every one of them survives.
#include <gnutil/gnutil.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  InitMbutil();  // the process locale (and so the locale record) is the user's
  const char* number = argc > 1 ? argv[1] : "-1234567.250000000000000000001";
  CGNDecimal decimal{CGNString(number)};
  CGNString regional, back;
  if (!decimal.ConvertToRegionalLocale(1)) {
    std::fprintf(stderr, "decimal: %s is not a number\n", number);
    return 1;
  }
  decimal.GetDisplayBuffer(regional);
  CGNDecimal reader(regional);
  if (!reader.ConvertToCLocale(1)) return 1;
  reader.GetDisplayBuffer(back);
  std::printf("C form %s -> regional %s -> C form %s\n", number, static_cast<const char*>(regional),
              static_cast<const char*>(back));
  return std::strcmp(back, number) == 0 ? 0 : 1;
}
