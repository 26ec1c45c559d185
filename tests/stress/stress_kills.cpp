// A worker killed (SIGKILL) at a random moment while it creates, inserts,
// mixes operations or compacts the base; a fresh process then opens the
// base and must find every confirmed operation, deletions included, nothing
// half-done, a clean check, and independent readers that agree.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "stress/stress_base.h"

namespace stress {
namespace {

// The kinds of trial: what the worker does, the last one compacting too.
const char* const kTrialNames[] = {"creates", "inserts", "mixed", "compactions"};
const Mix kMixes[] = {Mix::kCreates, Mix::kInserts, Mix::kMixed, Mix::kMixed};
constexpr int kCompactions = 3;

}  // namespace

int RunKills(const Options& options) {
  const long trials = options.Number("trials", 40);
  const long objects = options.Number("objects", 200);
  std::mt19937 random(options.seed);
  long confirmed = 0, repaired = 0, failed = 0;
  bool unavailable = false;
  for (long t = 0; t < trials; ++t) {
    const int trial = static_cast<int>(t % 4);
    const std::string directory = NewBase(options.work, "kill" + std::to_string(t));
    const State start = Fill(directory, objects, options.seed + static_cast<unsigned>(t));
    const std::string log = options.work + "/kill" + std::to_string(t) + ".log";
    const long delay = 1 + static_cast<long>(random() % 300);
    // The worker works until killed; 2 when the base would not open.
    const pid_t pid = Spawn([&] {
      const unsigned seed = options.seed * 31u + static_cast<unsigned>(t);
      const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      Work(directory, fd, 1000, seed, start, [&](Worker& worker) {
        for (long i = 0;; ++i) {
          worker.Step(kMixes[trial]);
          if (trial == kCompactions && i % 5 == 4 && TBLockBaseSymbol(worker.base()) == 0) {
            TBUnlockBaseSymbol(worker.base(), directory.c_str());
          }
        }
      });
      return 2;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    kill(pid, SIGKILL);
    WaitFor(pid);

    LogLine in_flight;
    const std::vector<LogLine> lines = ReadLog(log);
    for (const LogLine& line : lines) confirmed += line.kind == 'S' || line.kind == 'X';
    const Verdict verdict = Audit(directory, Replay(start, lines, &in_flight), &in_flight);
    repaired += verdict.repairs;
    unavailable = unavailable || !verdict.readers;
    if (!verdict.problems.empty()) {
      ++failed;
      std::printf("trial %ld (%s, killed after %ld ms): %s\n", t + 1, kTrialNames[trial], delay,
                  verdict.Text().c_str());
    }
  }
  std::printf(
      "kills: %ld trials, %ld confirmed operations, %ld writes rolled back at the next open; "
      "%ld bases losing a confirmed operation, failing their check or the readers%s\n",
      trials, confirmed, repaired, failed, unavailable ? " (readers unavailable)" : "");
  return Finish(options, failed == 0);
}

}  // namespace stress
