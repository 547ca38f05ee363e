// Arbitrary bytes through the searching, editing and list operations of
// CGNString in the legacy locales. The input is: a locale selector byte, then
// the text, the text sought and the replacement, separated by NUL bytes.
//
// Checked on every input: nothing faults, splitting and joining again gives
// the text back, byte cuts stay within their bound. In the C locale, where
// every byte is one character, Find and Replace must agree with the same
// operations on std::string.
#include <locale.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"

namespace {

const char* const kLocales[] = {"C",           "ja_JP.sjis", "ja_JP.eucjp", "zh_TW.big5",
                                "ko_KR.euckr", "zh_CN.gbk",  "zh_TW.euctw", "ja_JP.utf8"};

std::string Bytes(const CGNString& s) { return std::string(s, s.GetLength()); }

void Check(bool ok) {
  if (!ok) abort();
}

std::string ReplaceAll(std::string s, const std::string& what, const std::string& with) {
  size_t at = 0;
  while ((at = s.find(what, at)) != std::string::npos) {
    s.replace(at, what.size(), with);
    at += with.size();
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Initialise the code-set module once, so that it does not reset the
  // process locale chosen below.
  static const bool initialised = (InitMbutil(), true);
  (void)initialised;
  if (size == 0) return 0;
  size_t which = data[0] % (sizeof kLocales / sizeof kLocales[0]);
  setlocale(LC_ALL, kLocales[which]);
  InitMbutilExt(mbGetCodeSet(which == 1   ? "SJIS"
                             : which == 2 ? "EUC"
                             : which == 3 ? "BIG5"
                             : which == 4 ? "EUC_K"
                             : which == 5 ? "GB"
                             : which == 6 ? "EUC_TW"
                                          : ""));
  const bool bytewise = which == 0;

  std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string parts[3];
  size_t from = 0;
  for (int i = 0; i < 3; ++i) {
    size_t nul = i < 2 ? input.find('\0', from) : std::string::npos;
    parts[i] = input.substr(from, nul == std::string::npos ? std::string::npos : nul - from);
    if (nul == std::string::npos) break;
    from = nul + 1;
  }
  const std::string& text = parts[0];
  const std::string& sought = parts[1];
  const std::string with = parts[2].c_str();  // a text ends at its NUL

  // Split and join again.
  CGNString s(text.c_str());
  CGNStringList list;
  s.Split(list, sought.c_str());
  if (!sought.empty()) {
    std::string joined;
    for (int i = 0; i < list.GetCount(); ++i) {
      if (i > 0) joined += sought;
      joined += static_cast<const char*>(*list.GetItem(i));
    }
    Check(joined == text || joined + sought == text);
  }
  if (!sought.empty()) {
    CGNStringList bytes;
    unsigned n = bytes.ParseFrom(s, sought[0]);
    Check(n == static_cast<unsigned>(bytes.GetCount()));
  }

  // Byte cuts.
  CGNString until;
  until.CopyUntil(text.c_str(), sought.c_str());
  Check(text.compare(0, until.GetLength(), Bytes(until)) == 0);
  CGNString left;
  unsigned n = with.size();
  s.LeftStringInBytes(left, n);
  Check(left.GetLength() <= n || left.GetLength() == text.size());
  Check(text.compare(0, left.GetLength(), Bytes(left)) == 0);

  // Character searches and edits.
  int found = s.Find(sought.c_str());
  if (bytewise) {
    size_t ref = text.empty() ? std::string::npos : text.find(sought);
    Check(found == (ref == std::string::npos ? -1 : static_cast<int>(ref)));
  }
  (void)s.ReverseFind(sought.c_str());
  (void)s.FindFirstOf(CGNString(sought.c_str()), static_cast<int>(n % 7));
  (void)s.FindFirstNotOf(CGNString(sought.c_str()), static_cast<int>(n % 5));
  (void)s.IsAlphaAt(-1);
  (void)s.IsEqualNoCase(CGNString(sought.c_str()));
  (void)s.Collate(CGNString(sought.c_str()));

  CGNString r(text.c_str());
  r.Replace(sought.c_str(), with.c_str());
  if (bytewise && !sought.empty()) Check(Bytes(r) == ReplaceAll(text, sought, with));

  CGNString e(text.c_str());
  e.InsertAt(static_cast<int>(n % 9), CGNString(with.c_str()));
  e.RemoveAt(static_cast<int>(n % 4), static_cast<int>(sought.size()));
  e.ToUpper();
  e.TruncateAt(sought.c_str());
  CGNString sub;
  e.SubStr(sub, n % 3, static_cast<int>(sought.size()) - 1);
  e.SubStrInBytes(n % 5, static_cast<int>(with.size()));
  CGNString trimmed;
  e.LeftRightTrim(trimmed);
  CGNString nchars;
  nchars.CopyNChars(text.c_str(), n);
  nchars.AppendNChars(sought.c_str(), n);
  return 0;
}
