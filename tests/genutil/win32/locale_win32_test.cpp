// The Win32 locale layer against the real API and the runtime's own conversions.
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "gnutil/mbutil.h"
#include "platform/locale.h"
#include "platform/win32/locale.h"
#include "support/joined.h"

namespace {

namespace platform = gnutil::platform;
using gnutil_test::Join;

// What each user of scripts/test-windows.sh must look like from inside.
struct WineUser {
  const char* name;
  unsigned acp;
  int codeSet;         // mbGetLocaleCodeSet, from the code page
  const char* locale;  // the runtime's default locale
  int initCodeSet;     // InitMbutil, from the locale's name
  int mbCurMax;
};

const WineUser kUsers[] = {
    {"en", 1252, CODESET_NONE, "English_United States.1252", CODESET_NONE, 1},
    {"ja", 932, CODESET_SJIS, "Japanese_Japan.932", CODESET_SJIS, 2},
    {"tw", 950, CODESET_BIG5, "Chinese (Traditional)_Taiwan.950", CODESET_NONE, 2},
    {"ko", 949, CODESET_KSC_5601_92, "Korean_Korea.949", CODESET_KSC_5601_87, 2},
    {"cn", 936, CODESET_GB, "Chinese (Simplified)_China.936", CODESET_NONE, 2},
};

// The portable suite runs as the English and Japanese users only: what
// InitMbutil makes of the other users' locales is checked here.
TEST(WineUser, CodePageAndLocaleAreTheUsers) {
  const char* name = getenv("GNUTIL_WINE_USER");
  const WineUser* user = nullptr;
  for (const WineUser& u : kUsers) user = name && strcmp(u.name, name) == 0 ? &u : user;
  if (user == nullptr) GTEST_SKIP() << "GNUTIL_WINE_USER names no known user";
  EXPECT_EQ(Join(user->acp, user->codeSet), Join(platform::AnsiCodePage(), mbGetLocaleCodeSet()));
  // The runtime starts in the C locale whoever the user is.
  EXPECT_EQ(platform::CurrentProcessLocaleName(), "C");
  EXPECT_EQ(platform::RuntimeCodePage(), 0u);
  InitMbutilExt(CODESET_EUC_TW);
  EXPECT_EQ(InitMbutil(), CODESET_EUC_TW);
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), user->initCodeSet);
  EXPECT_EQ(Join(user->locale, user->acp, user->mbCurMax),
            Join(platform::CurrentProcessLocaleName(), platform::RuntimeCodePage(),
                 platform::MbCurMax()));
  // Switching the runtime's locale does not change the user's code page.
  ASSERT_NE(setlocale(LC_ALL, ".949"), nullptr);
  EXPECT_EQ(mbGetLocaleCodeSet(), user->codeSet);
}

int Decode(const char* s, size_t n, uint32_t* cp) { return platform::MbToCodePoint(cp, s, n); }

std::string Encode(uint32_t cp) {
  char buf[8] = {};
  int r = platform::CodePointToMb(buf, cp);
  return r < 0 ? std::string("<none>") : std::string(buf, static_cast<size_t>(r));
}

TEST(Conversion, StricterThanTheRuntimeWhereItSubstitutes) {
  ASSERT_NE(setlocale(LC_ALL, "Japanese_Japan.932"), nullptr);
  uint32_t cp = 0;
  wchar_t wc = 0;
  // A lead byte with one byte available: the runtime makes it a katakana
  // middle dot; it is an incomplete character.
  EXPECT_EQ(mbtowc(&wc, "\x82\xA0", 1), 1);
  EXPECT_EQ(Decode("\x82\xA0", 1, &cp), -1);
  // A lead byte before a byte that cannot trail: substituted by the runtime.
  EXPECT_EQ(mbtowc(&wc, "\x82\x3F", 2), 2);
  EXPECT_EQ(Decode("\x82\x3F", 2, &cp), -1);
  EXPECT_EQ(Decode("\x82", 2, &cp), -1);  // the text ends after the lead byte
  // Best fit: the runtime writes a plain 'e' for e with acute; hangul, a lone
  // surrogate and a character beyond the BMP have no form in 932 either.
  char out[4] = {};
  EXPECT_EQ(wctomb(out, L'\u00E9'), 1);
  EXPECT_EQ(out[0], 'e');
  EXPECT_EQ("<none>|<none>|<none>|<none>|\x82\xA0|\xB1|",
            Join(Encode(0xE9), Encode(0xAC00), Encode(0xDC82), Encode(0x1F600), Encode(0x3042),
                 Encode(0xFF71)));
}

// Every one- and two-byte sequence of the code page: where the strict
// decoder accepts one, the runtime's mbtowc reads the same character; the
// run decoder agrees with the one-character decoder; and encoding gives back
// bytes that decode to the same character.
class WholeCodePage : public ::testing::TestWithParam<unsigned> {};

TEST_P(WholeCodePage, DecodersAndEncoderAgree) {
  const std::string name = "." + std::to_string(GetParam());
  ASSERT_NE(setlocale(LC_ALL, name.c_str()), nullptr) << name;
  ASSERT_EQ(platform::RuntimeCodePage(), GetParam());
  int accepted = 0;
  int mismatches = 0;
  for (unsigned lead = 1; lead < 0x100; ++lead) {
    const bool isLead = IsDBCSLeadByteEx(GetParam(), static_cast<BYTE>(lead)) != 0;
    for (unsigned trail = isLead ? 1 : 0; trail < (isLead ? 0x100u : 1u); ++trail) {
      char s[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
      const size_t len = isLead ? 2 : 1;
      uint32_t cp = 0;
      int r = Decode(s, len + 1, &cp);
      if (r < 0) continue;
      ++accepted;
      wchar_t wc = 0;
      if (mbtowc(&wc, s, len) != static_cast<int>(len) || static_cast<uint32_t>(wc) != cp) {
        if (++mismatches < 5) ADD_FAILURE() << "mbtowc differs at " << lead << "," << trail;
      }
      const char* p = s;
      uint32_t run[4];
      platform::RunEnd end;
      ASSERT_EQ(platform::DecodeRun(run, 4, &p, len + 1, &end), 1u);
      EXPECT_EQ(run[0], cp);
      EXPECT_EQ(end, platform::RunEnd::kNul);
      std::string back = Encode(cp);
      uint32_t again = 0;
      ASSERT_NE(back, "<none>") << lead << "," << trail;
      EXPECT_EQ(Decode(back.c_str(), back.size() + 1, &again), static_cast<int>(back.size()));
      EXPECT_EQ(again, cp);
    }
  }
  // Thousands of characters in the double-byte pages, 255 or fewer otherwise.
  EXPECT_GT(accepted, GetParam() == 1252 ? 200 : 7000);
}

INSTANTIATE_TEST_SUITE_P(Pages, WholeCodePage, ::testing::Values(932u, 936u, 949u, 950u, 1252u));

}  // namespace
