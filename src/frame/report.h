#ifndef SYMBASE_FRAME_REPORT_H
#define SYMBASE_FRAME_REPORT_H

// Every report the library makes goes to the host's error service with the
// library's module number and severity 4.

namespace symbase {

constexpr int kModuleNumber = 146;
constexpr int kSeverity = 4;
constexpr const char* kGuardSource = "Tabisfctex";
constexpr const char* kCheckedCallSource = "Tabiserr";

void ReportError(int operation_or_index, int code, const char* text, const char* source, int line);

}  // namespace symbase

#endif
