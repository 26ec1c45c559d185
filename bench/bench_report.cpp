#include "bench_report.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace bench {
namespace {

// Operations per phase, for the time per operation (0: a single operation,
// whose time is in the seconds column already).
double Operations(Phase phase, long rows) {
  if (phase == kDelete) return static_cast<double>((rows + 9) / 10);
  if (phase == kCompact) return 0;
  return static_cast<double>(rows);
}

double Total(const WorkloadResult& result) {
  double total = 0;
  for (double seconds : result.seconds) total += seconds;
  return total;
}

void PrintLine(const char* label, double engine, const double* sqlite, double operations) {
  std::printf("%-24s %10.3f", label, engine);
  if (sqlite != nullptr) {
    std::printf(" %10.3f %8.2f", *sqlite, *sqlite > 0 ? engine / *sqlite : 0.0);
  } else {
    std::printf(" %10s %8s", "-", "-");
  }
  if (operations > 0) {
    std::printf(" %11.2f", engine * 1e6 / operations);
    if (sqlite != nullptr) std::printf(" %11.2f", *sqlite * 1e6 / operations);
  }
  std::printf("\n");
}

double Megabytes(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

ScratchDir::ScratchDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/symbase-bench-XXXXXX";
  if (mkdtemp(&pattern[0]) != nullptr) path_ = pattern + "/";
}

ScratchDir::~ScratchDir() {
  std::error_code error;
  if (ok()) std::filesystem::remove_all(path_, error);
}

long PeakRssKb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void PrintReport(long rows, long baseline_rss_kb, const Measured& engine, const Measured* sqlite) {
  std::printf(
      "\n%ld rows; times in seconds; ratio = symbase / SQLite (below 1: symbase faster)\n\n", rows);
  std::printf("%-24s %10s %10s %8s %11s %11s\n", "phase", "symbase", "SQLite", "ratio",
              "symbase us", "SQLite us");
  std::printf("%-24s %10s %10s %8s %11s %11s\n", "", "", "", "", "per op", "per op");
  for (int p = 0; p < kPhaseCount; ++p) {
    const Phase phase = static_cast<Phase>(p);
    PrintLine(PhaseName(phase), engine.result.seconds[p],
              sqlite ? &sqlite->result.seconds[p] : nullptr, Operations(phase, rows));
  }
  const double sqlite_total = sqlite ? Total(sqlite->result) : 0;
  PrintLine("total", Total(engine.result), sqlite ? &sqlite_total : nullptr, 0);
  std::printf("\nfiles after compaction:  symbase %.1f MB", Megabytes(engine.result.bytes));
  if (sqlite != nullptr) std::printf(", SQLite %.1f MB", Megabytes(sqlite->result.bytes));
  std::printf(
      "\npeak RSS of the process: %.1f MB with the rows generated, %.1f MB after the "
      "symbase run",
      static_cast<double>(baseline_rss_kb) / 1024.0,
      static_cast<double>(engine.peak_rss_kb) / 1024.0);
  if (sqlite != nullptr) {
    std::printf(", %.1f MB after the SQLite run",
                static_cast<double>(sqlite->peak_rss_kb) / 1024.0);
  }
  std::printf("\n");
}

}  // namespace bench
