#ifndef SYMBASE_BENCH_SQLITE_STORE_H
#define SYMBASE_BENCH_SQLITE_STORE_H

// The same workload on SQLite: one table with the same columns, one index per
// tag, one transaction per written row, PRAGMA synchronous=OFF and the default
// journal mode; seeks are indexed SELECTs, walks ORDER BY scans that use the
// index, compaction is VACUUM.

#include <memory>
#include <string>

#include "workload.h"

namespace bench {

// A store on a new database file at `path`; null when the benchmark was built
// without SQLite. `synced`: each transaction synced to the disk (WAL journal,
// synchronous=FULL), to compare with the engine's durability setting.
std::unique_ptr<Store> MakeSqliteStore(const std::string& path, bool synced = false);

}  // namespace bench

#endif
