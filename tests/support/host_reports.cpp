#include "support/host_reports.h"

using ::testing::_;
using ::testing::AllOf;
using ::testing::Field;

void PrintTo(const HostErrorReport& report, std::ostream* out) {
  *out << "{" << report.module << ", " << report.operation << ", " << report.severity << ", "
       << report.code << ", \"" << report.text << "\", \"" << report.source << "\", line "
       << report.line << "}";
}

void PrintTo(const HostMessageRecord& record, std::ostream* out) {
  *out << "{\"" << record.text << "\", \"" << record.message << "\", kind " << record.kind
       << ", buttons " << record.buttons << ", answered " << record.answer << "}";
}

namespace testing_support {

namespace {

void RestoreDefaults() {
  HostInstallServices(nullptr);
  HostClearRecords();
  HostSetErrorCallback(nullptr, nullptr);
  HostSetApplicationObject(nullptr);
  HostRegisterServerObject(3, nullptr);
  HostSetAddressingMode(0);
}

}  // namespace

void HostTest::SetUp() { RestoreDefaults(); }

void HostTest::TearDown() { RestoreDefaults(); }

::testing::Matcher<const HostErrorReport&> ReportIs(int operation, int code,
                                                    const std::string& source,
                                                    const std::string& text) {
  return ReportIs(146, operation, 4, code, text, source, -1);
}

::testing::Matcher<const HostErrorReport&> ReportIs(int module, int operation, int severity,
                                                    int code, const std::string& text,
                                                    const std::string& source, int line) {
  ::testing::Matcher<int> line_matcher = line < 0 ? ::testing::Matcher<int>(_) : line;
  return AllOf(Field("module", &HostErrorReport::module, module),
               Field("operation", &HostErrorReport::operation, operation),
               Field("severity", &HostErrorReport::severity, severity),
               Field("code", &HostErrorReport::code, code),
               Field("text", &HostErrorReport::text, text),
               Field("source", &HostErrorReport::source, source),
               Field("line", &HostErrorReport::line, line_matcher));
}

::testing::Matcher<const HostMessageRecord&> MessageIs(const std::string& message, int kind,
                                                       int buttons) {
  return AllOf(Field("message", &HostMessageRecord::message, message),
               Field("kind", &HostMessageRecord::kind, kind),
               Field("buttons", &HostMessageRecord::buttons, buttons));
}

}  // namespace testing_support
