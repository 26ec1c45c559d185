#ifndef SYMBASE_FRAME_GUARD_H
#define SYMBASE_FRAME_GUARD_H

#include <new>

#include "symbase/afx.h"

// The guard around every exported operation ("Tabisfctex"): runs it, and
// turns a framework exception that escapes into one report to the host's
// error service and the result 0. Handlers are tried in a fixed order; any
// other exception passes through.

namespace symbase {

// Codes reported for each framework exception class.
constexpr int kMemoryExceptionCode = 424;
constexpr int kFileExceptionBase = 408;
constexpr int kArchiveExceptionBase = 428;
constexpr int kUserExceptionCode = 425;
constexpr int kResourceExceptionCode = 426;
constexpr int kNotSupportedExceptionCode = 427;
// Code reported when a null pointer is given for an object or an out-parameter.
constexpr int kNullArgumentCode = 423;

// Reports one caught exception: module 146, the operation number, severity 4,
// the code, an empty text, "Tabisfctex", the reporting line.
void ReportGuardedException(int operation, int code, int line);

// A guarded function given a null pointer for an object or an out-parameter
// refuses the call: one report with kNullArgumentCode, nothing touched, and
// the function returns 0. True when refused.
template <typename... Pointers>
bool RefusedNull(int operation, const Pointers*... pointers) {
  if (((pointers != nullptr) && ...)) return false;
  ReportGuardedException(operation, kNullArgumentCode, __LINE__);
  return true;
}

template <typename Operation>
int Guarded(int operation, Operation&& run) {
  try {
    return run();
  } catch (CMemoryException* e) {
    e->Delete();
    ReportGuardedException(operation, kMemoryExceptionCode, __LINE__);
  } catch (const std::bad_alloc&) {
    // operator new throws this here where the framework threw its own.
    ReportGuardedException(operation, kMemoryExceptionCode, __LINE__);
  } catch (CFileException* e) {
    const int code = kFileExceptionBase + e->m_cause;
    e->Delete();
    ReportGuardedException(operation, code, __LINE__);
  } catch (CArchiveException* e) {
    const int code = kArchiveExceptionBase + e->m_cause;
    e->Delete();
    ReportGuardedException(operation, code, __LINE__);
  } catch (CUserException* e) {
    e->Delete();
    ReportGuardedException(operation, kUserExceptionCode, __LINE__);
  } catch (CResourceException* e) {
    e->Delete();
    ReportGuardedException(operation, kResourceExceptionCode, __LINE__);
  } catch (CNotSupportedException* e) {
    e->Delete();
    ReportGuardedException(operation, kNotSupportedExceptionCode, __LINE__);
  }
  return 0;
}

}  // namespace symbase

#endif
