// The Windows build has no system converter: the UTF-8 pairs are refused
// before anything is read, the library's own pairs convert.
#include <gtest/gtest.h>

#include "gnutil/codestream.h"
#include "gnutil/mbutil.h"

TEST(CodeStreamWin32, Utf8PairsAreRefusedUpFront) {
  using gnutil::CodeConverter;
  const gnutil::InvalidBytes kFail = gnutil::InvalidBytes::kFail;
  for (int other : {CODESET_SJIS, CODESET_EUC_J, CODESET_JIS, CODESET_BIG5, CODESET_EUC_TW}) {
    EXPECT_EQ(CodeConverter(CODESET_UTF8, other, kFail).Status(), gnutil::CodeStatus::kUnavailable);
    EXPECT_EQ(CodeConverter(other, CODESET_UTF8, kFail).Status(), gnutil::CodeStatus::kUnavailable);
  }
  EXPECT_EQ(CodeConverter(CODESET_SJIS, CODESET_JIS, kFail).Status(), gnutil::CodeStatus::kOk);
}
