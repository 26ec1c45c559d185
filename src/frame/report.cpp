#include "frame/report.h"

#include "symbase/host.h"

namespace symbase {

void ReportError(int operation_or_index, int code, const char* text, const char* source, int line) {
  HostReportError(kModuleNumber, operation_or_index, kSeverity, code, text, source, line);
}

}  // namespace symbase
