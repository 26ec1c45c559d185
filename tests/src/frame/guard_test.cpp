// The guard: which code each framework exception gives, under which
// operation number, and that other exceptions pass through.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "frame/guard.h"
#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

using symbase::Guarded;

class Guard : public testing_support::HostTest {
 protected:
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
    EXPECT_THAT(report, testing_support::ReportIs(c.operation, c.code, "Tabisfctex"));
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

}  // namespace
