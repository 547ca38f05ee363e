// Linux has neither DDE nor COM: the calls say so instead of pretending.
#include <gtest/gtest.h>

#include "gnutil/osdde.h"
#include "gnutil/osole.h"
#include "support/library_texts.h"
#include "support/ole_table.h"

namespace {

TEST(NoDdeNorAutomation, EveryCallFailsWithItsText) {
  ASSERT_TRUE(gnutil_test::AttachLibraryTexts());
  EXPECT_EQ(0, OSDDESupported());
  CGNString service("Service"), result("old");
  long instance = -1;
  EXPECT_EQ(0, OSDDEInit(0, nullptr, service, &instance));
  EXPECT_EQ(0, instance);
  EXPECT_EQ(0, OSDDESend(service, CGNString("Topic"), CGNString("Item"), OSDDE_REQUEST,
                         CGNString("server"), CGNString("data"), 30, 5, result));
  EXPECT_STREQ("DDE does not exist on this platform.", result);
  EXPECT_EQ(1, OSDDEUnInit());

  const char text[] = "OLE automation does not exist on this platform.";
  COSOLEAutomation automation;
  EXPECT_EQ(0, automation.IsAutomationSupported());
  char classId[] = "{EE09B103-97E0-11CF-978F-00A02463E06F}";
  CGNString summary, detail, hint;
  void* root = &summary;
  EXPECT_EQ(0, automation.CreateUnknownPointer(classId, &root, summary, detail, hint));
  EXPECT_EQ(nullptr, root);
  EXPECT_STREQ(text, summary);
  OSZEAutomationStruct table =
      gnutil_test::MakeTable(classId, {{"Count", OSCOM_PROPERTY_GET | gnutil_test::kVtI4, 0, {}}});
  automation.SetOSZEAutoStruct(table);
  summary.Empty();
  int type = -1, dummy = 0;
  EXPECT_EQ(0, automation.Invoke(&dummy, result, type, summary, detail, hint));
  EXPECT_STREQ(text, summary);
  EXPECT_EQ(-1, type);
}

}  // namespace
