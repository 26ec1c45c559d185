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

class Guard : public testing_support::HostTest {};

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
    EXPECT_EQ(Guarded(c.operation,
                      [&]() -> int {
                        c.thrower();
                        return 7;
                      }),
              0);
    const auto reports = HostErrorReports();
    ASSERT_EQ(reports.size(), 1u) << c.operation;
    EXPECT_THAT(reports[0], testing_support::ReportIs(c.operation, c.code, "Tabisfctex"));
    EXPECT_GT(reports[0].line, 0);
    HostClearRecords();
  }
}

TEST_F(Guard, TheResultAndOtherExceptionsPassThrough) {
  EXPECT_EQ(Guarded(500, [] { return 104; }), 104);
  EXPECT_THROW(Guarded(500, []() -> int { throw std::runtime_error("not ours"); }),
               std::runtime_error);
  EXPECT_TRUE(HostErrorReports().empty());
}

}  // namespace
