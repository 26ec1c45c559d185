// The exported life-cycle calls around the guard: a failure raised inside a
// real exported operation, and independent handles.

#include <gtest/gtest.h>

#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

namespace {

class ExportsBase : public testing_support::HostTest {};

// A host whose error service throws a file exception on its first report:
// an exception raised inside a real exported operation.
class ThrowingOnFirstReport : public CHostServices {
 public:
  void HostReportError(const HostErrorReport& report) override {
    if (!thrown_) {
      thrown_ = true;
      AfxThrowFileException(CFileException::fileNotFound);
    }
    CHostServices::HostReportError(report);
  }

 private:
  bool thrown_ = false;
};

TEST_F(ExportsBase, AnExportReportsUnderItsOperationNumber) {
  testing_support::TempDir empty;
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  ASSERT_NE(handle, nullptr);
  ThrowingOnFirstReport services;
  HostInstallServices(&services);
  // The open fails (no files), its report throws, the guard reports 502/410.
  EXPECT_EQ(TBOpenBaseSymbol(handle, empty.slash().c_str()), 0);
  HostInstallServices(nullptr);
  EXPECT_THAT(HostErrorReports(),
              ::testing::ElementsAre(testing_support::ReportIs(502, 410, "Tabisfctex")));
  TBCloseBaseSymbol(handle);
  EXPECT_EQ(TBFreeTabisDll(handle), 0);
}

TEST_F(ExportsBase, HandlesAreIndependentAndNullIsFreed) {
  CTBData* first = nullptr;
  CTBData* second = nullptr;
  TBInitTabisDll(&first);
  TBInitTabisDll(&second);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  EXPECT_TRUE(first->IsKindOf(RUNTIME_CLASS(CTBData)));
  EXPECT_STREQ(first->GetRuntimeClass()->m_lpszClassName, "CTBData");
  EXPECT_EQ(TBFreeTabisDll(first), 0);
  EXPECT_EQ(TBFreeTabisDll(second), 0);
  EXPECT_EQ(TBFreeTabisDll(nullptr), 0);
}

}  // namespace
