// What a program sees across the library's boundary: on Windows gnutil.dll
// carries its own copy of the compiler's runtime (it is linked -static), yet
// its exceptions must reach the program and both must share one C runtime,
// and with it one process locale.
#include <gtest/gtest.h>
#include <locale.h>

#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

TEST(LibraryBoundary, OutOfMemoryReachesTheProgram) {
  CGNString s("x");
  EXPECT_THROW(s.AllocateBuffer(0xFFFFFFFFu), GMemoryException);
  EXPECT_STREQ(s, "x");
}

TEST(LibraryBoundary, OneProcessLocaleForLibraryAndProgram) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // The locale that InitMbutil sets inside the library is the program's.
  InitMbutil();
  const char* name = setlocale(LC_ALL, nullptr);
  ASSERT_NE(name, nullptr);
  EXPECT_STRNE(name, "C");
  CGNString kana("\x82\xA0\x82\xA2");
  EXPECT_EQ(kana.GetNumChars(), 2u);
  // And the program's choice is the library's.
  ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
  EXPECT_EQ(CGNString("\x82\xA0\x82\xA2").GetNumChars(), 4u);
}

}  // namespace
