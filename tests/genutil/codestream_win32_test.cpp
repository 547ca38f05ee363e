// The Windows build has no system converter: the UTF-8 pairs are refused
// before anything is read, the library's own pairs convert.
#include <gtest/gtest.h>

#include "gnutil/codestream.h"
#include "gnutil/mbutil.h"

namespace {

TEST(CodeStreamWin32, Utf8PairsAreRefusedUpFront) {
  for (int other : {CODESET_SJIS, CODESET_EUC_J, CODESET_JIS, CODESET_BIG5, CODESET_EUC_TW}) {
    for (gnutil::InvalidBytes invalid :
         {gnutil::InvalidBytes::kKeep, gnutil::InvalidBytes::kFail}) {
      EXPECT_EQ(gnutil::CodeConverter(CODESET_UTF8, other, invalid).Status(),
                gnutil::CodeStatus::kUnavailable);
      EXPECT_EQ(gnutil::CodeConverter(other, CODESET_UTF8, invalid).Status(),
                gnutil::CodeStatus::kUnavailable);
    }
  }
  EXPECT_EQ(
      gnutil::CodeConverter(CODESET_SJIS, CODESET_EUC_J, gnutil::InvalidBytes::kKeep).Status(),
      gnutil::CodeStatus::kOk);
}

}  // namespace
