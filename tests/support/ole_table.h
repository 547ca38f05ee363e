// Method tables for COSOLEAutomation from rows of plain values, allocated as
// its destructor expects: arrays and field texts from malloc, literal texts
// left as the caller's.
#ifndef GNUTIL_TESTS_SUPPORT_OLE_TABLE_H
#define GNUTIL_TESTS_SUPPORT_OLE_TABLE_H

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "gnutil/osole.h"

namespace gnutil_test {

enum : unsigned int {
  kVtI4 = 3,
  kVtR8 = 5,
  kVtDate = 7,
  kVtBstr = 8,
  kVtDispatch = 9,
  kVtBool = 11,
  kVtVariant = 12,
  kVtVoid = 0x18,
  kVtByRef = 0x4000
};

constexpr char kIDispatch[] = "{00020400-0000-0000-C000-000000000046}";

struct ParamRow {
  int kind;  // OSCOM_PARAM_...
  unsigned int type;
  const char* text;  // field or literal text (null: none)
  unsigned int fieldId = 0;
  unsigned int ptid = 0;
};

struct MethodRow {
  const char* name;
  unsigned int returnType;  // with OSCOM_PROPERTY_GET etc.
  unsigned int resultId;
  std::vector<ParamRow> params;
  const char* interfaceId = kIDispatch;
};

inline char* MallocCopy(const char* text) {
  char* copy = static_cast<char*>(malloc(strlen(text) + 1));
  strcpy(copy, text);
  return copy;
}

inline OSZEAutomationStruct MakeTable(const char* classId, const std::vector<MethodRow>& rows) {
  OSZEAutomationStruct table = {};
  table.classId = const_cast<char*>(classId);
  table.methodCount = static_cast<unsigned int>(rows.size());
  table.methods =
      static_cast<OSZECOMMethodStruct*>(calloc(rows.size() + 1, sizeof(OSZECOMMethodStruct)));
  for (size_t i = 0; i < rows.size(); ++i) {
    OSZECOMMethodStruct& m = table.methods[i];
    m.name = const_cast<char*>(rows[i].name);
    m.interfaceId = const_cast<char*>(rows[i].interfaceId);
    m.returnType = rows[i].returnType;
    m.resultId = rows[i].resultId;
    m.paramCount = static_cast<unsigned int>(rows[i].params.size());
    m.params =
        static_cast<OSCOMParamStruct*>(calloc(rows[i].params.size() + 1, sizeof(OSCOMParamStruct)));
    for (size_t j = 0; j < rows[i].params.size(); ++j) {
      const ParamRow& row = rows[i].params[j];
      OSCOMParamStruct& p = m.params[j];
      p.kind = row.kind;
      p.type = row.type;
      p.fieldId = row.fieldId;
      p.PTid = row.ptid;
      if (row.kind == OSCOM_PARAM_FIELD && row.text != nullptr) p.fieldText = MallocCopy(row.text);
      if (row.kind == OSCOM_PARAM_LITERAL) p.literalText = const_cast<char*>(row.text);
    }
  }
  return table;
}

inline ParamRow Literal(unsigned int type, const char* text) {
  return ParamRow{OSCOM_PARAM_LITERAL, type, text};
}
inline ParamRow Field(unsigned int type, const char* text, unsigned int id) {
  return ParamRow{OSCOM_PARAM_FIELD, type, text, id};
}
inline ParamRow Result(unsigned int type, unsigned int ptid) {
  return ParamRow{OSCOM_PARAM_RESULT, type, nullptr, 0, ptid};
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_OLE_TABLE_H
