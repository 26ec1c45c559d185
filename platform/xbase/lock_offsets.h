#ifndef SYMBASE_XBASE_LOCK_OFFSETS_H
#define SYMBASE_XBASE_LOCK_OFFSETS_H

#include <cstdint>

// Byte ranges the engine locks, far beyond the data so that readers are never
// hindered. We follow the "dBASE" flavour of xbase64 (record n at
// 0xEFFFFFFE - n, header at 0xEFFFFFFE, append at 0xEFFFFFFF, whole file =
// all of these), so that an xbase64 program sharing a table sees our locks:
//
//   table write lock   3026531838 .. 4026531839 (1000000002 bytes), xbase64's
//                      whole-file lock. On a session's lead table (its first
//                      open table) it is the session's transaction lock: a
//                      read transaction holds its first byte shared, a write
//                      transaction the whole range exclusive (transaction.h).
//                      Another table of the session takes its own range
//                      exclusive when first written in a transaction. Opening
//                      a table or index file holds the lead's first byte
//                      shared for the time of the reading.
//   table open lock    1 byte at 4026531840 (0xF0000000), our own addition just
//                      above that range: shared while a table is open,
//                      exclusive for compaction and for replacing the table,
//                      so neither happens under another process's feet.
//
// All are open-file-description locks.

namespace xbase {

constexpr std::uint64_t kTableWriteLockOffset = 3026531838ull;
constexpr std::uint64_t kTableWriteLockLength = 1000000002ull;
constexpr std::uint64_t kTableOpenLockOffset = 4026531840ull;
constexpr std::uint64_t kTableOpenLockLength = 1;

}  // namespace xbase

#endif
