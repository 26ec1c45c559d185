#ifndef SYMBASE_XBASE_READ_GATE_H
#define SYMBASE_XBASE_READ_GATE_H

#include <cstdint>

#include "xbase/file_system.h"

namespace xbase {

// Opening reads a file's header and structure without a lock of its own,
// while a writer in another process holds the write lock as long as it
// writes. Holding one byte of that lock shared for the time of the reading
// makes the reading see whole files: this waits, briefly and at most about
// two seconds, for the writer to finish. Returns kOk with the byte held, or
// kLocked when the writer did not finish in time (the caller reads anyway
// and checks what it reads).
int EnterReadGate(File* file, std::uint64_t offset);
void LeaveReadGate(File* file, std::uint64_t offset);

}  // namespace xbase

#endif
