// A stand-in for the system's locale information, for tests of the locale
// record's logic: answers from a table, fails everything else.
#ifndef GNUTIL_TESTS_SUPPORT_FAKE_LOCALE_INFO_H
#define GNUTIL_TESTS_SUPPORT_FAKE_LOCALE_INFO_H

#include <locale.h>
#include <string.h>

#include <map>
#include <string>
#include <utility>

#include "gnutil/mbutil.h"
#include "locale/lclocale_internal.h"

namespace gnutil_test {

// The locale records deliver their fixed Japanese texts (era names, markers,
// unit characters) as Shift-JIS where the process code set cannot hold them;
// tests that compare those bytes run in the C locale.
inline void UseShiftJisFixedTexts() {
  InitMbutil();
  setlocale(LC_ALL, "C");
}

class FakeLocaleInfo {
 public:
  FakeLocaleInfo() { gnutil::testing::SetLocaleInfoQuery(&Query); }
  ~FakeLocaleInfo() {
    gnutil::testing::SetLocaleInfoQuery(nullptr);
    answers_.clear();
  }
  void Set(unsigned long id, unsigned long what, const std::string& text) {
    answers_[{id, what}] = text;
  }

 private:
  static inline std::map<std::pair<unsigned long, unsigned long>, std::string> answers_;
  // GetLocaleInfoA's contract: the length with the terminator, 0 on failure
  // or when the buffer is too small.
  static long Query(unsigned long id, unsigned long what, char* buffer, int size) {
    auto it = answers_.find({id, what});
    if (it == answers_.end()) return 0;
    long need = static_cast<long>(it->second.size()) + 1;
    if (size == 0) return need;
    if (need > size) return 0;
    memcpy(buffer, it->second.c_str(), static_cast<size_t>(need));
    return need;
  }
};

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_FAKE_LOCALE_INFO_H
