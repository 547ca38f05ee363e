#include "genutil/codeset_names.h"

#include "gnutil/codesets.h"
#include "gnutil/mbutil.h"

namespace gnutil {
namespace {

// clang-format off
const CodeSetRow kRows[] = {
    // codeset               label          iconv          mbGetCodeSet keys           POSIX spellings                       further names
    {CODESET_EUC_TW,      "EUC-TW",      "EUC-TW",      {"EUC_H", "EUC_TW"},       {"eucTW"},                            {}},
    {CODESET_EUC_C,       "EUC-CN",      nullptr,       {"EUC_C", "EUC_ZH"},       {"eucCN"},                            {"EUC-CN"}},
    {CODESET_EUC_K,       "EUC-KR",      nullptr,       {"EUC_K"},                 {"eucKR"},                            {"EUC-KR"}},
    {CODESET_EUC_J,       "EUC",         "EUC-JP",      {"EUC"},                   {"eucJP", "ujis"},                    {"EUC_J", "EUC-JP", "UJIS"}},
    {CODESET_SJIS,        "SJIS",        "SHIFT_JIS",   {"SJIS"},                  {"SJIS", "SHIFT_JIS"},                {"Shift_JIS", "CP932", "MS932", "Windows-31J"}},
    {CODESET_JIS,         "JIS",         "ISO-2022-JP", {"JIS"},                   {},                                   {"ISO-2022-JP"}},
    {CODESET_GB,          "GB",          nullptr,       {"GB"},                    {"GBK", "GB2312", "GB18030"},         {"GBK", "GB2312", "CP936"}},
    {CODESET_BIG5,        "BIG5",        "BIG5",        {"BIG5"},                  {"BIG5", "BIG5-HKSCS"},               {"CP950"}},
    {CODESET_KSC_5601_87, "KSC-5601-87", nullptr,       {"KSC_5601_87"},           {},                                   {"KSC5601"}},
    {CODESET_KSC_5601_92, "KSC-5601-92", nullptr,       {"KSC_5601_92"},           {},                                   {"CP949", "UHC"}},
    {CODESET_1250,        "CP1250",      nullptr,       {"1250"},                  {"CP1250"},                           {"CP1250", "Windows-1250"}},
    {CODESET_1251,        "CP1251",      nullptr,       {"1251"},                  {"CP1251"},                           {"CP1251", "Windows-1251"}},
    {CODESET_1253,        "CP1253",      nullptr,       {"1253"},                  {"CP1253"},                           {"CP1253", "Windows-1253"}},
    {CODESET_1254,        "CP1254",      nullptr,       {"1254"},                  {"CP1254"},                           {"CP1254", "Windows-1254"}},
    {CODESET_1255,        "CP1255",      nullptr,       {"1255"},                  {"CP1255"},                           {"CP1255", "Windows-1255"}},
    {CODESET_1256,        "CP1256",      nullptr,       {"1256"},                  {"CP1256"},                           {"CP1256", "Windows-1256"}},
    {CODESET_1257,        "CP1257",      nullptr,       {"1257"},                  {"CP1257"},                           {"CP1257", "Windows-1257"}},
    {CODESET_1258,        "CP1258",      nullptr,       {"1258"},                  {"CP1258"},                           {"CP1258", "Windows-1258"}},
    {CODESET_8859_2,      "ISO-8859-2",  nullptr,       {"8859_2"},                {"ISO-8859-2"},                       {"ISO-8859-2", "Latin2"}},
    {CODESET_8859_3,      "ISO-8859-3",  nullptr,       {"8859_3"},                {"ISO-8859-3"},                       {"ISO-8859-3", "Latin3"}},
    {CODESET_8859_4,      "ISO-8859-4",  nullptr,       {"8859_4"},                {"ISO-8859-4"},                       {"ISO-8859-4", "Latin4"}},
    {CODESET_8859_5,      "ISO-8859-5",  nullptr,       {"8859_5"},                {"ISO-8859-5"},                       {"ISO-8859-5"}},
    {CODESET_8859_6,      "ISO-8859-6",  nullptr,       {"8859_6"},                {"ISO-8859-6"},                       {"ISO-8859-6"}},
    {CODESET_8859_7,      "ISO-8859-7",  nullptr,       {"8859_7"},                {"ISO-8859-7"},                       {"ISO-8859-7"}},
    {CODESET_8859_8,      "ISO-8859-8",  nullptr,       {"8859_8"},                {"ISO-8859-8"},                       {"ISO-8859-8"}},
    {CODESET_8859_9,      "ISO-8859-9",  nullptr,       {"8859_9"},                {"ISO-8859-9"},                       {"ISO-8859-9", "Latin5"}},
    {CODESET_8859_10,     "ISO-8859-10", nullptr,       {"8859_10"},               {"ISO-8859-10"},                      {"ISO-8859-10", "Latin6"}},
    {CODESET_UTF8,        "UTF-8",       "UTF-8",       {"UTF-8", "UTF8"},         {"UTF-8"},                            {}},
    // No keys: mbGetCodeSet gives CODESET_NONE when no key matches.
    {CODESET_NONE,        "none",        nullptr,       {},                        {},                                   {"NONE"}},
    // A result of detection only, never a name.
    {CODESET_EUC_OR_SJIS, "EUC-or-SJIS", nullptr,       {},                        {},                                   {}},
};
// clang-format on

bool Ignored(char c) { return c == '-' || c == '_' || c == '.' || c == ' '; }

bool IsAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether a and b are the same name once case and the characters that `skip`
// picks are set aside; a ends at `stop` as at its NUL.
template <typename Skip>
bool SameName(const char* a, const char* b, Skip skip, char stop = '\0') {
  for (;;) {
    while (*a != stop && *a != '\0' && skip(*a)) ++a;
    while (*b != '\0' && skip(*b)) ++b;
    bool aEnds = *a == '\0' || *a == stop;
    if (aEnds || *b == '\0') return aEnds && *b == '\0';
    if (Folded(*a) != Folded(*b)) return false;
    ++a;
    ++b;
  }
}

bool TypedName(const char* typed, const char* name) {
  return name != nullptr && SameName(typed, name, Ignored);
}

const CodeSetRow* RowOf(int codeset) {
  for (const CodeSetRow& row : kRows) {
    if (row.codeset == codeset) return &row;
  }
  return nullptr;
}

}  // namespace

const CodeSetRow* CodeSetRows(size_t* count) {
  *count = sizeof kRows / sizeof kRows[0];
  return kRows;
}

int CodeSetForPosixName(const char* codeset) {
  auto notAlnum = [](char c) { return !IsAlnum(c); };
  for (const CodeSetRow& row : kRows) {
    for (const char* name : row.posix) {
      if (name != nullptr && SameName(codeset, name, notAlnum, '@')) return row.codeset;
    }
  }
  return -1;
}

int CodeSetByName(const char* name) {
  if (name == nullptr) return -1;
  for (const CodeSetRow& row : kRows) {
    for (const char* key : row.keys) {
      if (TypedName(name, key)) return row.codeset;
    }
    for (const char* other : row.names) {
      if (TypedName(name, other)) return row.codeset;
    }
  }
  return -1;
}

const char* CodeSetLabel(int codeset) {
  const CodeSetRow* row = RowOf(codeset);
  return row != nullptr ? row->label : "none";
}

const char* CodeSetIconvName(int codeset) {
  const CodeSetRow* row = RowOf(codeset);
  return row != nullptr ? row->iconv : nullptr;
}

}  // namespace gnutil
