#ifndef SYMBASE_TESTS_SUPPORT_HOST_REPORTS_H
#define SYMBASE_TESTS_SUPPORT_HOST_REPORTS_H

// Checking what reached the host's services.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "symbase/host.h"

// Shows a report in failure messages as {146, 502, 4, 410, "", "Tabisfctex", line 88}.
inline void PrintTo(const HostErrorReport& report, std::ostream* out) {
  *out << "{" << report.module << ", " << report.operation << ", " << report.severity << ", "
       << report.code << ", \"" << report.text << "\", \"" << report.source << "\", line "
       << report.line << "}";
}

inline void PrintTo(const HostMessageRecord& record, std::ostream* out) {
  *out << "{\"" << record.text << "\", \"" << record.message << "\", kind " << record.kind
       << ", buttons " << record.buttons << ", answered " << record.answer << "}";
}

namespace testing_support {

// Runs each test with the default host services and nothing recorded, and
// leaves them so: no answer queued, no server object, addressing mode 0.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { RestoreDefaults(); }
  void TearDown() override { RestoreDefaults(); }

 private:
  static void RestoreDefaults() {
    HostInstallServices(nullptr);
    HostClearRecords();
    HostSetErrorCallback(nullptr, nullptr);
    HostSetApplicationObject(nullptr);
    HostRegisterServerObject(3, nullptr);
    HostSetAddressingMode(0);
  }
};

// A report of the symbol base: module 146, severity 4, the given operation
// number (or checked-call index), code, source name and text; any line.
inline ::testing::Matcher<const HostErrorReport&> ReportIs(int operation, int code,
                                                           const std::string& source,
                                                           const std::string& text = "") {
  using ::testing::Field;
  return ::testing::AllOf(Field("module", &HostErrorReport::module, 146),
                          Field("operation", &HostErrorReport::operation, operation),
                          Field("severity", &HostErrorReport::severity, 4),
                          Field("code", &HostErrorReport::code, code),
                          Field("text", &HostErrorReport::text, text),
                          Field("source", &HostErrorReport::source, source));
}

}  // namespace testing_support

#endif
