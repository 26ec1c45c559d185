// The table engine against SQLite on the work a symbol base does: usage
//   engine_bench [rows]        (default 100000, at most 400000)
// Prints both times per phase and their ratio, then the cost of syncing
// every insert to the disk (the engine's durability setting against SQLite
// with synchronous=FULL) on the first rows; exits 1 when either store gave a
// wrong answer, 2 on a bad argument or when no scratch directory can be made.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench_report.h"
#include "bench_rows.h"
#include "sqlite_store.h"
#include "workload.h"
#include "xbase_store.h"

namespace {

constexpr long kDefaultRows = 100000;
constexpr long kSyncedRows = 1000;

bool ParseRows(int argc, char** argv, long* rows) {
  *rows = kDefaultRows;
  if (argc < 2) return true;
  if (argc > 2) return false;
  char* end = nullptr;
  errno = 0;
  *rows = std::strtol(argv[1], &end, 10);
  return errno == 0 && end != argv[1] && *end == '\0' && *rows >= 1 && *rows <= bench::kMaxRows;
}

// Runs the workload on one store; false (after saying why) on a wrong answer.
bool Measure(const char* name, bench::Store* store, const std::vector<bench::BenchRow>& rows,
             bench::Measured* out) {
  std::fprintf(stderr, "running %s...\n", name);
  const bool ok = bench::RunWorkload(store, rows, &out->result);
  out->peak_rss_kb = bench::PeakRssKb();
  if (!ok) std::fprintf(stderr, "%s FAILED: %s\n", name, store->failure().c_str());
  return ok;
}

// Seconds to insert the rows one unit at a time on a fresh store.
double TimeInserts(bench::Store* store, const std::vector<bench::BenchRow>& rows, long count) {
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    if (!store->Insert(rows[static_cast<std::size_t>(i)])) return -1;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What durability costs: inserts synced to the disk, on both stores.
void MeasureSynced(const std::string& dir, const std::vector<bench::BenchRow>& rows) {
  const long count = std::min<long>(kSyncedRows, static_cast<long>(rows.size()));
  bench::ScratchDir engine_dir;
  double engine = -1;
  {
    bench::XbaseStore store(engine_dir.path(), true);
    engine = TimeInserts(&store, rows, count);
  }
  const std::unique_ptr<bench::Store> sqlite =
      bench::MakeSqliteStore(dir + "symbase-synced.sqlite", true);
  const double other = sqlite ? TimeInserts(sqlite.get(), rows, count) : -1;
  std::printf("\ninsert synced to disk (%ld rows), us per op: symbase %.1f", count,
              engine * 1e6 / count);
  if (other > 0) std::printf(", SQLite %.1f, ratio %.2f", other * 1e6 / count, engine / other);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  long count = 0;
  if (!ParseRows(argc, argv, &count)) {
    std::fprintf(stderr, "usage: %s [rows: 1..%ld, default %ld]\n", argv[0], bench::kMaxRows,
                 kDefaultRows);
    return 2;
  }
  bench::ScratchDir dir;
  if (!dir.ok()) {
    std::perror("cannot make a scratch directory");
    return 2;
  }
  const std::vector<bench::BenchRow> rows = bench::MakeRows(count);
  const long baseline_rss_kb = bench::PeakRssKb();

  bench::Measured engine;
  bool ok = false;
  {
    bench::XbaseStore store(dir.path());
    ok = Measure("symbase", &store, rows, &engine);
  }
  bench::Measured sqlite;
  const std::unique_ptr<bench::Store> sqlite_store =
      bench::MakeSqliteStore(dir.path() + "symbase-bench.sqlite");
  if (sqlite_store) {
    ok = Measure("SQLite", sqlite_store.get(), rows, &sqlite) && ok;
  } else {
    std::fprintf(stderr, "built without SQLite: symbase alone\n");
  }
  bench::PrintReport(count, baseline_rss_kb, engine, sqlite_store ? &sqlite : nullptr);
  MeasureSynced(dir.path(), rows);
  return ok ? 0 : 1;
}
