// The package as a program meets it: built only against the installed headers
// and the exported names, this calls into every public header once. The
// behaviour itself is tested by the unit suites; what can go wrong here is
// the package (a header that does not compile on its own, a name left out of
// the export list, the CMake helpers, the library's texts beside the
// program).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "gnutil/gnutil.h"
#include "support/stdout_capture.h"
#include "support/temp_dir.h"
#include "support/thread_runner.h"
#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// The loaded library reports the version its headers carry, in both forms.
TEST(Package, LibraryVersionMatchesTheHeaders) {
  EXPECT_STREQ(gnutil::LibraryVersion(), GNUTIL_VERSION_STRING);
  EXPECT_EQ(gnutil::LibraryVersionNumber(), GNUTIL_VERSION_NUMBER);
  EXPECT_TRUE(gnutil::LibraryVersionCompatible());
}

TEST(Package, TextAndCodeSets) {
  InitMbutil();
  InitMbutilExt(CODESET_SJIS);
  EXPECT_EQ(mb_mblen("\x82\xA0", 2), 2);
  EXPECT_EQ(mbstricmp("abc", "ABC"), 0);
  EXPECT_EQ(gnutil::CodeSetByName("Shift_JIS"), CODESET_SJIS);
  gnutil::CodeConverter toJis(CODESET_SJIS, CODESET_JIS, gnutil::InvalidBytes::kKeep);
  std::string jis;
  EXPECT_EQ(toJis.Finish(&jis).status, gnutil::CodeStatus::kOk);

  EXPECT_STREQ(convertStr("\x88\x9F", CODESET_SJIS, CODESET_EUC_J), "\xB0\xA1");

  CGNStringList list;
  EXPECT_EQ(list.ParseFrom(CGNString("a,b,c"), ','), 3u);
  EXPECT_STREQ(*list.GetItem(2), "c");
}

TEST(Package, LocaleDatesAndNumbers) {
  CLCLocale l;
  CGNString format;
  l.DateFormatString(format);
  EXPECT_STREQ(format, "M/d/yy");
  CEmperor era(CGNString("x"), 1926, 63);
  EXPECT_EQ(era.EmperorYrFromGregorianYr(1988), 63);
  EXPECT_GT(LocaleInfo::GetLocaleInfoCount(), 0);
  LocaleInfo::Free();

  ASSERT_EQ(CGNDateTime::ModuleInit(), 1);
  EXPECT_EQ(CGNDateTime::IsValidDate(100, 1, 29), 1);  // years from 1900, months from 0

  CLCGlobalLocale::Instance()->Customize("", "", "", 0, "3;0", 0, 1, ".", "-", ",", "");
  CGNDecimal number(CGNString("(1234567.5)"));
  ASSERT_EQ(number.ConvertToRegionalLocale(1), 1);
  CGNString out;
  number.GetDisplayBuffer(out);
  EXPECT_STREQ(out, "-1,234,567.5");
  CLCGlobalLocale::Free();
}

TEST(Package, Diagnostics) {
  EXPECT_EQ(OSGetMsTimeDiff(10, 900000, 12, 100000), 1200);
  CGNGlobalTrace* trace = CGNGlobalTrace::Instance();
  EXPECT_EQ(trace->ResetOutput(2), 1);  // standard output
  trace->ResetMask(1);
  trace->DisableDateTime();
  gnutil_test::StdoutCapture captured;
  CGNAssert::Instance()->SetNativeAssert(0);
  EXPECT_EQ(CGNAssert::Instance()->cgnassert(0, "a.cpp", 42), 0);
  EXPECT_EQ(captured.Text(), "cgnassert : Assertion Failure !! : Line    42 in a.cpp\n");
  CGNAssert::Free();
  CGNGlobalTrace::Free();
}

TEST(Package, ThreadsAndLocks) {
  OSSetThreaded();
  int flag = 0;
  gnutil_test::TestThread([&] { flag = 1; }).Join();
  EXPECT_EQ(flag, 1);

  CGNLclSt* vars = CGNLclSt::Instance();
  ASSERT_EQ(vars->Init(2), 1);
  EXPECT_EQ(vars->SetLocalVariable("a", &flag), 0);
  EXPECT_EQ(vars->GetLocalVariable("a"), &flag);
  CGNLclSt::Free();

  CGNNamedMutexPool pool;
  ASSERT_EQ(pool.Init(), 1);
  EXPECT_EQ(pool.WaitNamedMutex(CGNString("package")), 1);
  pool.ReleaseNamedMutex(CGNString("package"));
}

TEST(Package, OperatingSystemServices) {
  gnutil_test::TempDir dir;
  const CGNString ini((dir / "package.ini").c_str());
  EXPECT_EQ(OSSetConfig(CGNString("v"), CGNString("s"), CGNString("k"), ini), 1);
  CGNString value;
  EXPECT_EQ(OSGetConfig(value, CGNString("d"), CGNString("s"), CGNString("k"), ini), 1);
  EXPECT_STREQ(value, "v");
  EXPECT_STREQ(OSGetFileFromPath(ini), "package.ini");

  EXPECT_STREQ(OSExpandEnvironmentVariables(CGNString("100% %GNUTIL_NOT_SET_X%")),
               "100% %GNUTIL_NOT_SET_X%");
  CGNString hardware;
  OSInfo::GetHardware(hardware);
  EXPECT_FALSE(hardware.IsEmpty());

  // DDE and automation agree on whether the platform has them.
  COSOLEAutomation automation;
  EXPECT_EQ(OSDDESupported(), automation.IsAutomationSupported());
}

// The program's own strings, built by the package's CMake helper, and the
// library's English texts from ResDLLs/0009 beside the program.
TEST(Package, ProgramAndLibraryTexts) {
  CGNString s;
  s.LoadStringResource(1, "3", "7");
  EXPECT_STREQ(s, "3 of 7");
#if defined(_WIN32)
  if ((GetUserDefaultLangID() & 0x3ff) != 9) GTEST_SKIP() << "not an English user";
#else
  setenv("LC_ALL", "en_US.UTF-8", 1);
#endif
  CGNString path;
  ASSERT_NE(OSAttachLocaleResDLL(0, "gnutilres" GNUTIL_RESLIB_SUFFIX, path), 0) << path;
  EXPECT_NE(std::string(path).find("0009"), std::string::npos) << path;
  CGNString text;
  EXPECT_GT(OSLoadString(text, 25221), 0);
  EXPECT_STREQ(text, "Unknown DDE transaction type.");
}

}  // namespace
