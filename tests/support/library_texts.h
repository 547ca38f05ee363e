// The library's own message texts (resources/gnutil.rc), which the test build
// puts into ResDLLs/0009 and, untranslated, ResDLLs/0011 beside the tests.
#ifndef GNUTIL_TESTS_SUPPORT_LIBRARY_TEXTS_H
#define GNUTIL_TESTS_SUPPORT_LIBRARY_TEXTS_H

#include <gtest/gtest.h>

#include <string>

#include "gnutil/osresource.h"

namespace gnutil_test {

// Attaches the library's messages; false (with a test failure) when missing.
inline bool AttachLibraryTexts() {
  CGNString path;
  const bool attached = OSAttachLocaleResDLL(0, "gnutilres" GNUTIL_RESLIB_SUFFIX, path) != 0;
  EXPECT_TRUE(attached) << "no resource library at " << static_cast<const char*>(path);
  return attached;
}

inline std::string LibraryText(long id) {
  CGNString text;
  OSLoadString(text, id);
  return static_cast<const char*>(text);
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_LIBRARY_TEXTS_H
