#ifndef SYMBASE_TESTS_SUPPORT_HOST_REPORTS_H
#define SYMBASE_TESTS_SUPPORT_HOST_REPORTS_H

// Checking what reached the host's services.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "symbase/host.h"

// Shows a report in failure messages as {146, 502, 4, 410, "", "Tabisfctex", line 88}.
void PrintTo(const HostErrorReport& report, std::ostream* out);
void PrintTo(const HostMessageRecord& record, std::ostream* out);

namespace testing_support {

// Runs each test with the default host services and nothing recorded, and
// leaves them so: no answer queued, no server object, addressing mode 0.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A report of the symbol base: module 146, severity 4, the given operation
// number (or checked-call index), code, source name and text; any line.
::testing::Matcher<const HostErrorReport&> ReportIs(int operation, int code,
                                                    const std::string& source,
                                                    const std::string& text = "");

// A report with all seven values given; a negative line matches any line.
::testing::Matcher<const HostErrorReport&> ReportIs(int module, int operation, int severity,
                                                    int code, const std::string& text,
                                                    const std::string& source, int line);

// A message box shown with this message, kind and button set.
::testing::Matcher<const HostMessageRecord&> MessageIs(const std::string& message, int kind,
                                                       int buttons);

}  // namespace testing_support

#endif
