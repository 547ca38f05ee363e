// The DDE and automation clients' exported names; both say alike whether the
// platform has them, and nothing happens before initialisation.
#include <gtest/gtest.h>

#include "gnutil/osdde.h"
#include "gnutil/osole.h"

TEST(DdeAndAutomation, ExportedAndAgreeOnThePlatform) {
  COSOLEAutomation automation;
  EXPECT_EQ(OSDDESupported(), automation.IsAutomationSupported());
  EXPECT_EQ(0u, automation.GetMethodCount());
  CGNString result;
  EXPECT_EQ(0, OSDDESend(CGNString("S"), CGNString("T"), CGNString("I"), OSDDE_REQUEST,
                         CGNString(""), CGNString(""), 0, 1, result));
  EXPECT_EQ(1, OSDDEUnInit());
}
