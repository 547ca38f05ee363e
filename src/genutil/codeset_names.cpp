#include "genutil/codeset_names.h"

#include "gnutil/mbutil.h"

namespace gnutil {
namespace {

const CodeSetName kNames[] = {
    // mbGetCodeSet's keys, in the order it tries them.
    {"EUC_H", CODESET_EUC_TW, true},
    {"EUC_TW", CODESET_EUC_TW, true},
    {"EUC_C", CODESET_EUC_C, true},
    {"EUC_ZH", CODESET_EUC_C, true},
    {"EUC_K", CODESET_EUC_K, true},
    {"EUC", CODESET_EUC_J, true},
    {"SJIS", CODESET_SJIS, true},
    {"JIS", CODESET_JIS, true},
    {"GB", CODESET_GB, true},
    {"BIG5", CODESET_BIG5, true},
    {"KSC_5601_87", CODESET_KSC_5601_87, true},
    {"KSC_5601_92", CODESET_KSC_5601_92, true},
    {"1250", CODESET_1250, true},
    {"1251", CODESET_1251, true},
    {"1253", CODESET_1253, true},
    {"1254", CODESET_1254, true},
    {"1255", CODESET_1255, true},
    {"1256", CODESET_1256, true},
    {"1257", CODESET_1257, true},
    {"1258", CODESET_1258, true},
    {"8859_2", CODESET_8859_2, true},
    {"8859_3", CODESET_8859_3, true},
    {"8859_4", CODESET_8859_4, true},
    {"8859_5", CODESET_8859_5, true},
    {"8859_6", CODESET_8859_6, true},
    {"8859_7", CODESET_8859_7, true},
    {"8859_8", CODESET_8859_8, true},
    {"8859_9", CODESET_8859_9, true},
    {"8859_10", CODESET_8859_10, true},
    {"UTF-8", CODESET_UTF8, true},
    {"UTF8", CODESET_UTF8, true},
    // Further spellings, taken only as whole names.
    {"NONE", CODESET_NONE, false},
    {"EUC_J", CODESET_EUC_J, false},
    {"EUC-JP", CODESET_EUC_J, false},
    {"UJIS", CODESET_EUC_J, false},
    {"Shift_JIS", CODESET_SJIS, false},
    {"CP932", CODESET_SJIS, false},
    {"MS932", CODESET_SJIS, false},
    {"Windows-31J", CODESET_SJIS, false},
    {"ISO-2022-JP", CODESET_JIS, false},
    {"GBK", CODESET_GB, false},
    {"GB2312", CODESET_GB, false},
    {"CP936", CODESET_GB, false},
    {"EUC-CN", CODESET_EUC_C, false},
    {"CP950", CODESET_BIG5, false},
    {"KSC5601", CODESET_KSC_5601_87, false},
    {"CP949", CODESET_KSC_5601_92, false},
    {"UHC", CODESET_KSC_5601_92, false},
    {"EUC-KR", CODESET_EUC_K, false},
    {"CP1250", CODESET_1250, false},
    {"CP1251", CODESET_1251, false},
    {"CP1253", CODESET_1253, false},
    {"CP1254", CODESET_1254, false},
    {"CP1255", CODESET_1255, false},
    {"CP1256", CODESET_1256, false},
    {"CP1257", CODESET_1257, false},
    {"CP1258", CODESET_1258, false},
    {"Windows-1250", CODESET_1250, false},
    {"Windows-1251", CODESET_1251, false},
    {"Windows-1253", CODESET_1253, false},
    {"Windows-1254", CODESET_1254, false},
    {"Windows-1255", CODESET_1255, false},
    {"Windows-1256", CODESET_1256, false},
    {"Windows-1257", CODESET_1257, false},
    {"Windows-1258", CODESET_1258, false},
    {"ISO-8859-2", CODESET_8859_2, false},
    {"ISO-8859-3", CODESET_8859_3, false},
    {"ISO-8859-4", CODESET_8859_4, false},
    {"ISO-8859-5", CODESET_8859_5, false},
    {"ISO-8859-6", CODESET_8859_6, false},
    {"ISO-8859-7", CODESET_8859_7, false},
    {"ISO-8859-8", CODESET_8859_8, false},
    {"ISO-8859-9", CODESET_8859_9, false},
    {"ISO-8859-10", CODESET_8859_10, false},
    {"Latin2", CODESET_8859_2, false},
    {"Latin3", CODESET_8859_3, false},
    {"Latin4", CODESET_8859_4, false},
    {"Latin5", CODESET_8859_9, false},
    {"Latin6", CODESET_8859_10, false},
};

bool Ignored(char c) { return c == '-' || c == '_' || c == '.' || c == ' '; }

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether a and b are the same name once case and separators are set aside.
bool SameName(const char* a, const char* b) {
  for (;;) {
    while (Ignored(*a)) ++a;
    while (Ignored(*b)) ++b;
    if (*a == '\0' || *b == '\0') return *a == *b;
    if (Folded(*a) != Folded(*b)) return false;
    ++a;
    ++b;
  }
}

}  // namespace

const CodeSetName* CodeSetNames(size_t* count) {
  *count = sizeof kNames / sizeof kNames[0];
  return kNames;
}

int CodeSetByName(const char* name) {
  if (name == nullptr) return -1;
  for (const CodeSetName& n : kNames) {
    if (SameName(name, n.name)) return n.codeset;
  }
  return -1;
}

}  // namespace gnutil
