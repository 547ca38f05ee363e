// The automation object's description table: accessors, parameter texts and
// ownership. No server is involved, so this runs on every platform (and
// under the sanitizers, which check that the table is freed exactly once).
#include <gtest/gtest.h>

#include "gnutil/osole.h"
#include "support/ole_table.h"

namespace {

using namespace gnutil_test;

class AutomationTable : public ::testing::Test {
 protected:
  void SetUp() override {
    OSZEAutomationStruct table =
        MakeTable("{EE09B103-97E0-11CF-978F-00A02463E06F}",
                  {{"First",
                    OSCOM_PROPERTY_GET | kVtI4,
                    5,
                    {Literal(kVtBstr, "lit"), Field(kVtByRef | kVtBstr, "fld", 42),
                     Result(kVtVariant, 0), Result(kVtVariant, 5)}},
                   {"Second", kVtVoid, 0, {Field(kVtBstr, nullptr, 43)}}});
    automation_.SetOSZEAutoStruct(table);
  }
  COSOLEAutomation automation_;
};

// Parameter values and fields by kind, then edited: a literal's text is
// copied (and the copy freed when replaced), a field's changes, a result's
// stays none.
TEST_F(AutomationTable, ParameterValuesByKindAndTheirTexts) {
  EXPECT_EQ(2u, automation_.GetMethodCount());
  EXPECT_EQ(4u, automation_.GetParamCount(0));
  EXPECT_EQ(nullptr, automation_.GetMethodIID(2));
  EXPECT_EQ(0u, automation_.GetParamCount(2));
  EXPECT_EQ(0u, automation_.GetPTid(0, 4));
  struct Row {
    unsigned int method, param;
    const char* value;  // null: none
    unsigned int fieldId;
    unsigned char fieldError;
  } rows[] = {
      {0, 0, "lit", 0, 1},   {0, 1, "fld", 42, 0},   {0, 2, nullptr, 0, 1},
      {0, 3, nullptr, 0, 1}, {1, 0, nullptr, 43, 0}, {1, 1, nullptr, 0, 1},
  };
  for (const Row& r : rows) {
    unsigned char isResult = 9, error = 9;
    const char* value = automation_.GetParamValue(r.method, r.param, isResult);
    EXPECT_STREQ(r.value, value) << r.method << "/" << r.param;
    EXPECT_EQ(0, isResult) << "no member has kept a result yet";
    EXPECT_EQ(r.fieldId, automation_.GetFieldID(r.method, r.param, error));
    EXPECT_EQ(r.fieldError, error) << r.method << "/" << r.param;
  }
  unsigned char isResult = 0;
  EXPECT_EQ(1, automation_.SetParamValueText(0, 0, ""));
  EXPECT_STREQ("lit", automation_.GetParamValue(0, 0, isResult));
  EXPECT_EQ(1, automation_.SetParamValueText(0, 0, "new literal"));
  EXPECT_EQ(1, automation_.SetParamValueText(0, 0, "newer literal"));  // frees our first copy
  EXPECT_STREQ("newer literal", automation_.GetParamValue(0, 0, isResult));
  EXPECT_EQ(1, automation_.SetParamValueText(0, 1, "new field"));
  EXPECT_STREQ("new field", automation_.GetParamValue(0, 1, isResult));
  EXPECT_EQ(1, automation_.SetParamValueText(0, 2, "ignored"));  // a result parameter
  EXPECT_EQ(nullptr, automation_.GetParamValue(0, 2, isResult));
  EXPECT_EQ(1, automation_.SetParamValueText(1, 0, "was empty"));
  EXPECT_STREQ("was empty", automation_.GetParamValue(1, 0, isResult));
  EXPECT_EQ(0, automation_.SetParamValueText(0, 9, "x"));
  EXPECT_EQ(0, automation_.SetParamValueText(-1, 0, "x"));

  // Only a field that already has a text changes.
  automation_.SetOSAutoFldValue(1, 0, CGNString("from server"));
  EXPECT_STREQ("from server", automation_.GetParamValue(0, 1, isResult));
  automation_.SetOSAutoFldValue(0, 0, CGNString("not a field"));
  EXPECT_STREQ("newer literal", automation_.GetParamValue(0, 0, isResult));
}

}  // namespace
