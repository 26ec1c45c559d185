// The exported reconfiguration calls on a locked base, and with a framework
// exception inside: reported under their own operation numbers, result 0.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing_support::ReportIs;

// The addressing-mode library fails the way the framework does.
class FailingAddressingMode : public CHostServices {
 public:
  int GetAddressingMode() override { AfxThrowMemoryException(); }
};

class ReconfGuard : public testing_support::ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    for (const char* repere : {"%IW3.1", "%MW1", "%X1.TMIN", "%I1.2"}) Commented(repere);
  }
  void TearDown() override {
    HostInstallServices(nullptr);
    // TBReconf itself does nothing.
    EXPECT_EQ(TBReconf(), 0);
    EXPECT_THAT(LiveAddresses(), ElementsAre("%I1.2", "%IW3.1", "%MW1", "%X1.TMIN"));
    ReconfTest::TearDown();
  }
};

TEST_F(ReconfGuard, ExceptionsAreReportedUnderTheirOperationNumbers) {
  FailingAddressingMode failing;
  HostInstallServices(&failing);
  CTBObjetAts object("%IW3.1", "", "", 0, -1);
  EXPECT_EQ(TBReconfDelObject(base, &object, 434, 0), 0);
  UsAts one = Analysed("%I1.0");
  EXPECT_EQ(TBReconfMoveModule(base, &one, &one), 0);
  EXPECT_THAT(HostErrorReports(),
              ElementsAre(ReportIs(522, 424, "Tabisfctex"), ReportIs(523, 424, "Tabisfctex")));
  HostClearErrorReports();
}

TEST_F(ReconfGuard, ALockedBaseIsLeftAlone) {
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  CTBObjetAts object("%MW1", "", "", 0, -1);
  UsAts one = Analysed("%I1.0");
  UsAts two = Analysed("%I2.0");
  EXPECT_EQ(TBReconfByType(base, 342, 0), 100);
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 0), 100);
  EXPECT_EQ(TBReconfDelObject(base, &object, 342, 0), 100);
  EXPECT_EQ(TBReconfMoveModule(base, &one, &two), 100);
  EXPECT_EQ(TBDelObjetDiagG7(base), 100);
  EXPECT_THAT(HostErrorReports(), testing::IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
