// The trace file on Windows is a text file: CR LF line ends, inside messages too.
#include <gtest/gtest.h>

#include "gnutil/gntrace.h"
#include "support/temp_dir.h"

namespace {

TEST(TraceText, LinesEndWithCarriageReturnLineFeed) {
  gnutil_test::TempDir dir("gnutil-trace-text");
  CGNString name(dir.File("text.log").c_str());
  CGNTrace trace;
  trace.DisableDateTime();
  ASSERT_EQ(trace.ResetOutput(1, name, 0), 1);
  trace.ResetMask(1);
  trace.WriteMsg(nullptr, 1, CGNString("a"), "one\ntwo");
  trace.WriteMsg(nullptr, 1, CGNString(), "three");
  EXPECT_EQ(gnutil_test::ReadWholeFile(dir.File("text.log")), "a : one\r\ntwo\r\nthree\r\n");
}

}  // namespace
