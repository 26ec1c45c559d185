#ifndef SYMBASE_XBASE_LOCK_OFFSETS_H
#define SYMBASE_XBASE_LOCK_OFFSETS_H

#include <cstdint>

// Byte ranges the engine locks, far beyond the data so that readers are never
// hindered. We follow the "dBASE" flavour of xbase64 (record n at
// 0xEFFFFFFE - n, header at 0xEFFFFFFE, append at 0xEFFFFFFF, whole file =
// all of these), so that an xbase64 program sharing a base sees our locks:
//
//   table write lock   exclusive, 3026531838 .. 4026531839 (1000000002 bytes):
//                      xbase64's whole-file lock; taken by the first write,
//                      freed by TableUnlock and at close.
//   index write lock   exclusive, 1 byte at 4026531838 of each .MDX: taken
//                      with the table write lock.
//   table open lock    1 byte at 4026531840 (0xF0000000), our own addition just
//                      above that range: shared while a table is open,
//                      upgraded to exclusive by compaction, so a table is
//                      never compacted under another process's feet.
//
// All are open-file-description locks that never wait.

namespace xbase {

constexpr std::uint64_t kTableWriteLockOffset = 3026531838ull;
constexpr std::uint64_t kTableWriteLockLength = 1000000002ull;
constexpr std::uint64_t kIndexWriteLockOffset = 4026531838ull;
constexpr std::uint64_t kIndexWriteLockLength = 1;
constexpr std::uint64_t kTableOpenLockOffset = 4026531840ull;
constexpr std::uint64_t kTableOpenLockLength = 1;

}  // namespace xbase

#endif
