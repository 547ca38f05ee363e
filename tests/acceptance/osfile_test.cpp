// Files, directories and environment references through the public API.
#include "gnutil/osfile.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "gnutil/osprocess.h"

namespace {

TEST(OsFile, DirectoryRoundTrip) {
  CGNString temp;
  ASSERT_EQ(OSGetTempDir(temp), 1);
  CGNString dir(temp);
  dir += "gnutil-acceptance-files";
  OSRemoveDirectoryAndContents(dir);
  ASSERT_EQ(OSCreateDirectory(dir), 0);
  EXPECT_EQ(OSCreateDirectory(dir), -2);
  CGNString file;
  file.MakeFilePath(dir, CGNString("a.txt"));
  FILE* out = fopen(file, "wb");
  ASSERT_NE(out, nullptr);
  fputs("x\r\ny", out);
  fclose(out);
  char* buffer = nullptr;
  ASSERT_EQ(OSGetFileContents(buffer, file), 1);
  EXPECT_STREQ(buffer, "x\ny");
  delete[] buffer;
  EXPECT_STREQ(OSGetFileFromPath(file), "a.txt");
  EXPECT_EQ(OSRemoveDirectoryAndContents(dir), 0);
  EXPECT_EQ(OSRemoveDirectory(dir), -3);
}

TEST(OsProcess, UnknownReferencesStay) {
  EXPECT_STREQ(OSExpandEnvironmentVariables(CGNString("100% %GNUTIL_NOT_SET_X%")),
               "100% %GNUTIL_NOT_SET_X%");
}

}  // namespace
