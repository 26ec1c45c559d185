#include "frame/guard.h"

#include "frame/report.h"

namespace symbase {

void ReportGuardedException(int operation, int code, int line) {
  ReportError(operation, code, "", kGuardSource, line);
}

}  // namespace symbase
