// symbase_stress writers|kills|damage|disk [--name value]...: trials with real
// processes on real files, through the exported interface alone, each ended
// by PASSED (exit status 0) or FAILED. The suite runs each briefly; long runs
// are made by hand (README, "Stress trials"). Every trial takes --seed N,
// --dir FOLDER and --keep 1; its other options are read at its start.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <thread>

#include "stress/stress_base.h"

namespace stress {

// Writer and reader processes on one base at once. Each writer owns its
// addresses and fights the others for a few shared symbols; the readers look
// up and list objects nobody touches. After each round a fresh handle
// finds every confirmed operation in the base and nothing else.
namespace {

constexpr long kAddressesPerWriter = 20000;  // IND1 keeps five digits: up to four writers
constexpr int kSharedSymbols = 8;

std::string FixedAddress(long k) { return "%KW" + std::to_string(k); }
Object FixedObject(long k) {
  return Object{"Fixed_" + std::to_string(k), k % 2 == 0 ? "fixed " + std::to_string(k) : ""};
}

// Lists the fixed objects' kind in batches, a busy batch asked again: true
// when every one is listed with its comment.
bool ListFixed(CTBData* base, long fixed, int* result) {
  int ind1 = 0, finished = 0;
  long listed = 0;
  while (finished == 0) {
    CObList list;
    *result = TBListRepereByTypeObject(base, "%KW", 0, &ind1, &list, &finished);
    for (; !list.IsEmpty(); ++listed) {
      std::unique_ptr<CTBObjetAts> row(static_cast<CTBObjetAts*>(list.RemoveHead()));
      const long k = std::strtol(static_cast<const char*>(row->m_repere) + 3, nullptr, 10);
      if (FixedObject(k).comment != static_cast<const char*>(row->m_commentaire)) return false;
    }
    if (*result != 0 && *result != 104) return false;
  }
  return listed == fixed;
}

// Looks up fixed objects by address and by symbol, and now and then lists
// them, until `stop` closes: 0 when every answer was right or busy.
int Read(const std::string& directory, long reader, long fixed, unsigned seed, int stop) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return 2;
  std::mt19937 random(seed);
  long right = 0, busy = 0, bad = 0;
  for (pollfd done{stop, POLLIN, 0}; poll(&done, 1, 0) == 0;) {
    const long k = static_cast<long>(random() % static_cast<unsigned>(fixed));
    const unsigned kind = random() % 9;
    HostClearErrorReports();
    int result = 0;
    bool answer = false;
    if (kind == 8) {
      answer = ListFixed(base, fixed, &result);
    } else {
      const Found found = kind % 2 == 0 ? Lookup(base, FixedAddress(k), "")
                                        : Lookup(base, "", FixedObject(k).symbol);
      result = found.result;
      answer = found.object == FixedObject(k) && found.address == FixedAddress(k);
    }
    const bool reported = !HostErrorReports().empty();
    busy += !reported && result == 104;
    right += !reported && result == 0 && answer;
    bad += reported || (result != 104 && (result != 0 || !answer));
  }
  std::printf("reader %ld: %ld lookups and listings right, %ld busy, %ld wrong\n", reader, right,
              busy, bad);
  return bad == 0 ? 0 : 1;
}

State Preload(const std::string& directory, long fixed) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  State state;
  for (long k = 0; base != nullptr && k < fixed; ++k) {
    auto create = [&](CTBObjetAts* row) { return TBCreateObject(base, row); };
    if (Observed(FixedAddress(k), FixedObject(k), create).confirmed()) {
      state[FixedAddress(k)] = FixedObject(k);
    }
  }
  if (base != nullptr) CloseBase(base);
  return state;
}

}  // namespace

int RunWriters(const Options& options) {
  const long writers = std::min(options.Number("writers", 4), 4L);
  const long readers = options.Number("readers", 2);
  const long ops = options.Number("ops", 3000);
  const long rounds = options.Number("rounds", 1);
  const long fixed = options.Number("fixed", 500);
  const std::string directory = NewBase(options.work, "base");
  const State preloaded = Preload(directory, fixed);
  std::vector<State> models(static_cast<std::size_t>(writers));
  bool passed = true;
  for (long round = 0; round < rounds; ++round) {
    int stop[2];
    if (pipe(stop) != 0) return 2;
    std::vector<pid_t> writing, reading;
    auto log_of = [&](long w) {
      return options.work + "/w" + std::to_string(w) + "." + std::to_string(round);
    };
    for (long w = 0; w < writers; ++w) {
      writing.push_back(Spawn([&] {
        close(stop[1]);
        const auto worker =
            Work(directory, open(log_of(w).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644),
                 (w + 1) * kAddressesPerWriter,
                 options.seed * 7919u + static_cast<unsigned>(round * 131 + w), models[w],
                 [&](Worker& worker) {
                   worker.set_shared_pool(kSharedSymbols);
                   for (long i = 0; i < ops; ++i) worker.Step(Mix::kMixed);
                 });
        if (!worker) return 2;
        const WorkerCounts& c = worker->counts();
        std::printf(
            "writer %ld: %ld confirmed, %ld refused (shared symbol taken), %ld busy after "
            "retries, %ld failed %s\n",
            w + 1, c.confirmed, c.refused, c.busy, c.failed, worker->first_failure().c_str());
        return c.failed == 0 ? 0 : 1;
      }));
    }
    for (long r = 0; r < readers; ++r) {
      reading.push_back(Spawn([&] {
        close(stop[1]);
        return Read(directory, r + 1, fixed, options.seed + static_cast<unsigned>(r), stop[0]);
      }));
    }
    close(stop[0]);
    for (pid_t pid : writing) passed = WaitFor(pid) == 0 && passed;
    close(stop[1]);
    for (pid_t pid : reading) passed = WaitFor(pid) == 0 && passed;

    State expected = preloaded;
    for (long w = 0; w < writers; ++w) {
      LogLine in_flight;
      models[w] = Replay(models[w], ReadLog(log_of(w)), &in_flight);
      expected.insert(models[w].begin(), models[w].end());
    }
    const Verdict verdict = Audit(directory, expected);
    passed = passed && verdict.problems.empty();
    std::printf("round %ld: %s\n", round + 1, verdict.Text().c_str());
  }
  return Finish(options, passed);
}

// A worker killed (SIGKILL) at a random moment while it creates, inserts,
// mixes operations or compacts the base; a fresh process then opens the
// base and must find every confirmed operation, deletions included, nothing
// half-done, a clean check, and independent readers that agree.
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

// Copies of a sound base, each with one file damaged (cut short, bytes
// flipped, a block zeroed), put through the check, lookups and the repair
// in a child process watched for crashes and hangs. Any copy whose lookups
// give a wrong answer without a report must have been flagged by the check;
// a damaged index file must be mended by the repair.
namespace {

const char* const kFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                              "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};
constexpr int kHangSeconds = 60;

bool IsIndex(const std::string& file) { return file.find(".MDX") != std::string::npos; }

// One random damage to `bytes`, described.
std::string Damage(std::string* bytes, std::mt19937& random) {
  if (bytes->empty()) return "empty";
  const std::size_t size = bytes->size();
  switch (random() % 3) {
    case 0: {
      const std::size_t keep = random() % size;
      bytes->resize(keep);
      return "cut to " + std::to_string(keep) + " bytes";
    }
    case 1: {
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i)
        (*bytes)[random() % size] ^= static_cast<char>(1 + random() % 255);
      return std::to_string(flips) + " bytes flipped";
    }
    default: {
      const std::size_t at = (random() % size) / 512 * 512;
      for (std::size_t i = at; i < at + 512 && i < size; ++i) (*bytes)[i] = 0;
      return "512 bytes zeroed at " + std::to_string(at);
    }
  }
}

// Lookups of every object by address and by symbol: how many answers were
// wrong without any report.
long Unreported(const std::string& directory, const State& truth) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return 0;  // the open reported it
  long wrong = 0;
  for (const auto& [address, object] : truth) {
    HostClearErrorReports();
    const Found a = Lookup(base, address, ""), s = Lookup(base, "", object.symbol);
    const bool right = a.result == 0 && a.object == object && s.result == 0 && s.address == address;
    if (!right && HostErrorReports().empty()) ++wrong;
  }
  CloseBase(base);
  return wrong;
}

// The child's exit status for one copy: 4 the check flagged it (and the
// repair mended a damaged index), 1 a damaged index gave wrong answers the
// check missed, 6 the repair did not mend it. A table's own bytes (a
// comment's letters) carry no sum to check them by: only crashes count there.
int Examine(const std::string& directory, const State& truth, bool index_damaged) {
  alarm(kHangSeconds);
  const bool flagged = !Maintain(TBCheckBaseSymbol, directory).empty();
  const long wrong = Unreported(directory, truth);
  if (!index_damaged) return flagged ? 4 : 0;
  if (!flagged) return wrong > 0 ? 1 : 0;
  const bool mended = Maintain(TBRepairBaseSymbol, directory).empty() &&
                      Maintain(TBCheckBaseSymbol, directory).empty() &&
                      Unreported(directory, truth) == 0;
  return mended ? 4 : 6;
}

}  // namespace

int RunDamage(const Options& options) {
  const long copies = options.Number("copies", 60);
  const long objects = options.Number("objects", 300);
  const std::string sound = NewBase(options.work, "sound");
  const State truth = Fill(sound, objects, options.seed, Mix::kMixed);
  std::mt19937 random(options.seed);
  long failed = 0, flagged = 0, index_copies = 0;
  for (long c = 0; c < copies; ++c) {
    const std::string copy = options.work + "/copy" + std::to_string(c) + "/";
    std::filesystem::copy(sound, copy);
    const std::string file = kFiles[random() % 6];
    std::ifstream in(copy + file, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    const std::string what = Damage(&bytes, random);
    std::ofstream(copy + file, std::ios::binary | std::ios::trunc) << bytes;
    index_copies += IsIndex(file);
    const int status = WaitFor(Spawn([&] { return Examine(copy, truth, IsIndex(file)); }));
    flagged += status == 4;
    if (status != 0 && status != 4) {
      ++failed;
      std::printf("copy %ld: %s %s: %s %d\n", c + 1, file.c_str(), what.c_str(),
                  status == 128 + SIGALRM ? "hung, status" : "status", status);
    }
  }
  std::printf(
      "damage: %ld copies (%ld with a damaged index file), %ld flagged by the check; %ld "
      "crashes, hangs, wrong answers the check missed or indexes the repair did not mend\n",
      copies, index_copies, flagged, failed);
  return Finish(options, failed == 0);
}

// Writes the disk refuses: a worker under a file-size limit (or, with --tmpfs
// 1 and the right to mount, on a file system almost full) works until its
// writes keep failing. Every failed call must leave the base as it was, every
// confirmed one must be there, and once room is back the work goes on.
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

int main(int argc, char** argv) {
  const std::map<std::string, int (*)(const stress::Options&)> trials = {
      {"writers", stress::RunWriters},
      {"kills", stress::RunKills},
      {"damage", stress::RunDamage},
      {"disk", stress::RunDiskFull}};
  const auto trial = trials.find(argc > 1 ? argv[1] : "");
  if (trial != trials.end()) return trial->second(stress::Options(argc, argv));
  std::fprintf(stderr, "usage: symbase_stress writers|kills|damage|disk [--name value]...\n");
  return 2;
}
