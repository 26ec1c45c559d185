// The checked engine calls and the guard: what is reported, under which code.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "frame/checked_calls.h"
#include "frame/guard.h"
#include "support/symbol_base.h"

namespace {

using namespace symbase;

class CheckedCalls : public testing_support::SymbolBaseTest {};

class Guard : public testing_support::HostTest {};

TEST_F(Guard, MapsEachFrameworkExceptionToItsCodeAndPassesTheRest) {
  const struct {
    int operation, code;
    int (*thrower)();
  } cases[] = {
      {512, 424, []() -> int { AfxThrowMemoryException(); }},
      {502, 410, []() -> int { AfxThrowFileException(CFileException::fileNotFound); }},
      {525, 428 + 3, []() -> int { AfxThrowArchiveException(3); }},
      {505, 425, []() -> int { AfxThrowUserException(); }},
      {530, 426, []() -> int { AfxThrowResourceException(); }},
      {522, 427, []() -> int { AfxThrowNotSupportedException(); }},
      {519, 424, []() -> int { throw std::bad_alloc(); }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Guarded(c.operation, c.thrower), 0);
    const auto reports = HostErrorReports();
    ASSERT_EQ(reports.size(), 1u) << c.operation;
    EXPECT_THAT(reports[0], testing_support::ReportIs(c.operation, c.code, "Tabisfctex"));
    EXPECT_GT(reports[0].line, 0);
    HostClearRecords();
  }
  // The call's result and exceptions of other kinds pass through unreported.
  EXPECT_EQ(Guarded(500, [] { return 104; }), 104);
  EXPECT_THROW(Guarded(500, []() -> int { throw std::runtime_error("not ours"); }),
               std::runtime_error);
  EXPECT_TRUE(HostErrorReports().empty());
}

}  // namespace
