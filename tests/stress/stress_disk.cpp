// Writes the disk refuses: a worker under a file-size limit (or, with --tmpfs
// 1 and the right to mount, on a file system almost full) works until its
// writes keep failing. Every failed call must leave the base as it was, every
// confirmed one must be there, and once room is back the work goes on.

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "stress/stress_base.h"

namespace stress {
namespace {

constexpr long kMaxOperations = 3000;
constexpr long kGiveUpAfter = 40;  // failures in a row: the disk is full for good
constexpr long kAfterRoom = 200;

// The size of the largest file of a folder, or of all of them.
std::uintmax_t Bytes(const std::string& directory, bool largest) {
  std::uintmax_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    n = largest ? std::max(n, entry.file_size()) : n + entry.file_size();
  }
  return n;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

int RunDiskFull(const Options& options) {
  const long runs = options.Number("runs", 4);
  const bool tmpfs = options.Number("tmpfs", 0) != 0;
  std::mt19937 random(options.seed);
  bool passed = true;
  for (long run = 0; run < runs; ++run) {
    const std::string mount = options.work + "/fs" + std::to_string(run);
    const bool mounted = tmpfs && std::filesystem::create_directories(mount) &&
                         Run("mount -t tmpfs -o size=64m tmpfs '" + mount + "' 2>/dev/null");
    if (tmpfs && !mounted)
      std::printf("run %ld: cannot mount a tmpfs, file-size limit used\n", run + 1);
    const std::string directory = NewBase(mounted ? mount : options.work, "base");
    const State start = Fill(directory, 300, options.seed + static_cast<unsigned>(run));
    const std::uintmax_t margin = 4096 + random() % 65536;
    const std::uintmax_t limit = Bytes(directory, true) + margin;
    int log_pipe[2];
    if (pipe(log_pipe) != 0) return 2;
    const pid_t child = Spawn([&] {
      close(log_pipe[0]);
      if (mounted) {
        // Room for the base as it is and a little more.
        const std::uintmax_t room = (Bytes(directory, false) + margin) / 1024 + 1;
        Run("mount -o remount,size=" + std::to_string(room) + "k '" + mount + "'");
      } else {
        signal(SIGXFSZ, SIG_IGN);
        rlimit cap{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        setrlimit(RLIMIT_FSIZE, &cap);
      }
      // Works until the writes keep failing. The log goes through a pipe: the
      // file-size limit does not bind it.
      const unsigned seed = options.seed * 13u + static_cast<unsigned>(run);
      const auto worker = Work(directory, log_pipe[1], 5000, seed, start, [](Worker& w) {
        long in_a_row = 0;
        for (long i = 0; i < kMaxOperations && in_a_row < kGiveUpAfter; ++i) {
          const long before = w.counts().failed;
          w.Step(i % 3 == 0 ? Mix::kMixed : Mix::kCreates);
          in_a_row = w.counts().failed > before ? in_a_row + 1 : 0;
        }
      });
      return worker && worker->counts().failed > 0 ? 0 : 3;  // the disk must refuse something
    });
    close(log_pipe[1]);
    LogLine in_flight;
    State expected = Replay(start, ReadLog("/dev/fd/" + std::to_string(log_pipe[0])), &in_flight);
    close(log_pipe[0]);
    const int status = WaitFor(child);
    if (mounted) Run("mount -o remount,size=64m '" + mount + "'");
    std::string problems = Audit(directory, expected).problems;
    if (status != 0)
      problems += " (the writes never failed: status " + std::to_string(status) + ")";
    const auto worker = Work(directory, -1, 50000, options.seed + 77u, expected, [](Worker& w) {
      for (long i = 0; i < kAfterRoom; ++i) w.Step(Mix::kMixed);
    });
    if (!worker || worker->counts().failed > 0) {
      problems += " after: " + (worker ? worker->first_failure() : "the base would not open");
    }
    problems += Audit(directory, worker ? worker->model() : expected).problems;
    std::printf("run %ld (%s, %ju bytes): %s\n", run + 1, mounted ? "tmpfs" : "file-size limit",
                mounted ? margin : limit, problems.empty() ? "nothing lost" : problems.c_str());
    passed = passed && problems.empty();
    if (mounted) Run("umount '" + mount + "'");
  }
  std::printf("disk full: %ld runs\n", runs);
  return Finish(options, passed);
}

}  // namespace stress
