#ifndef SYMBASE_XBASE_LOCK_WAIT_H
#define SYMBASE_XBASE_LOCK_WAIT_H

#include <cstdint>

#include "xbase/file_system.h"

namespace xbase {

// How long opening waits for a process that is writing the files it reads.
constexpr int kOpenWaitMilliseconds = 2000;

// Takes a byte-range lock, trying again with growing pauses (50 us to 2 ms)
// while another open file holds a conflicting one, for at most `timeout_ms`
// milliseconds (0 or less: once, never waiting). kOk, kLocked when the time
// ran out, or the lock call's own failure.
int LockWaiting(File* file, std::uint64_t offset, std::uint64_t length, bool exclusive,
                int timeout_ms);

}  // namespace xbase

#endif
