// Writer and reader processes on one base at once. Each writer owns its
// addresses and fights the others for a few shared symbols; the readers look
// up and list objects nobody touches. After each round a fresh handle
// finds every confirmed operation in the base and nothing else.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "stress/stress_base.h"

namespace stress {
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

}  // namespace stress
