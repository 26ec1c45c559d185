// The guard: which code each framework exception gives, under which
// operation number, and that other exceptions pass through.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

namespace {

using symbase::Guarded;

class Guard : public ::testing::Test {
 protected:
  void SetUp() override { HostClearRecords(); }
  void TearDown() override { HostClearRecords(); }

  // Runs a guarded operation that throws, and returns the one report made.
  template <typename Throw>
  HostErrorReport ReportOf(int operation, Throw&& thrower) {
    EXPECT_EQ(Guarded(operation,
                      [&]() -> int {
                        thrower();
                        return 7;
                      }),
              0);
    const auto reports = HostErrorReports();
    EXPECT_EQ(reports.size(), 1u);
    HostClearRecords();
    return reports.empty() ? HostErrorReport{} : reports[0];
  }
};

TEST_F(Guard, MapsEachFrameworkExceptionToItsCode) {
  struct Case {
    int operation;
    int code;
    void (*thrower)();
  };
  const Case cases[] = {
      {512, 424, [] { AfxThrowMemoryException(); }},
      {502, 410, [] { AfxThrowFileException(CFileException::fileNotFound); }},
      {501, 408 + 13, [] { AfxThrowFileException(CFileException::diskFull); }},
      {525, 428 + 3, [] { AfxThrowArchiveException(3); }},
      {505, 425, [] { AfxThrowUserException(); }},
      {530, 426, [] { AfxThrowResourceException(); }},
      {522, 427, [] { AfxThrowNotSupportedException(); }},
      {519, 424, [] { throw std::bad_alloc(); }},
  };
  for (const Case& c : cases) {
    const HostErrorReport report = ReportOf(c.operation, c.thrower);
    EXPECT_EQ(report.module, 146);
    EXPECT_EQ(report.operation, c.operation);
    EXPECT_EQ(report.severity, 4);
    EXPECT_EQ(report.code, c.code) << "operation " << c.operation;
    EXPECT_EQ(report.text, "");
    EXPECT_EQ(report.source, "Tabisfctex");
    EXPECT_GT(report.line, 0);
  }
}

TEST_F(Guard, ResultPassesThroughWhenNothingIsThrown) {
  EXPECT_EQ(Guarded(500, [] { return 104; }), 104);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(Guard, OtherExceptionsAreNotCaught) {
  EXPECT_THROW(Guarded(500, []() -> int { throw std::runtime_error("not ours"); }),
               std::runtime_error);
  EXPECT_TRUE(HostErrorReports().empty());
}

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

TEST_F(Guard, AnExportReportsUnderItsOperationNumber) {
  testing_support::TempDir empty;
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  ASSERT_NE(handle, nullptr);
  ThrowingOnFirstReport services;
  HostInstallServices(&services);
  // The open fails (no files), its report throws, the guard reports 502/410.
  EXPECT_EQ(TBOpenBaseSymbol(handle, empty.slash().c_str()), 0);
  HostInstallServices(nullptr);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 502);
  EXPECT_EQ(reports[0].code, 410);
  EXPECT_EQ(reports[0].source, "Tabisfctex");
  TBCloseBaseSymbol(handle);
  EXPECT_EQ(TBFreeTabisDll(handle), 0);
}

TEST_F(Guard, HandlesAreIndependentAndNullIsFreed) {
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
