#ifndef SYMBASE_BENCH_BENCH_REPORT_H
#define SYMBASE_BENCH_BENCH_REPORT_H

// What the benchmark needs around the workload: a scratch directory, the
// process's peak memory, and the printed comparison.

#include <string>

#include "workload.h"

namespace bench {

// A new directory under $TMPDIR (or /tmp), removed with its content at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  bool ok() const { return !path_.empty(); }
  // The directory followed by "/"; empty when it could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The process's peak resident set so far, in kilobytes.
long PeakRssKb();

struct Measured {
  WorkloadResult result;
  long peak_rss_kb = 0;  // after this store's run
};

// Prints one line per phase with both times, their ratio and the time per
// operation, then the totals, file sizes and peak memory. `sqlite` may be
// null (built without SQLite). `baseline_rss_kb` is the peak before either
// store ran (the rows of the workload held in memory).
void PrintReport(long rows, long baseline_rss_kb, const Measured& engine, const Measured* sqlite);

}  // namespace bench

#endif
