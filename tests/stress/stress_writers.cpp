// Several writer processes and reader processes on one base at once. Each
// writer owns its addresses and fights the others for a few shared
// symbols; the readers look up and search objects nobody touches. After
// each round a fresh handle finds every confirmed operation in the base and
// nothing else.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "stress/stress_base.h"
#include "stress/stress_worker.h"

namespace stress {
namespace {

constexpr long kAddressesPerWriter = 20000;  // IND1 keeps five digits: up to four writers
constexpr int kSharedSymbols = 8;

std::string FixedAddress(long k) { return "%KW" + std::to_string(k); }
Object FixedObject(long k) {
  return Object{"Fixed_" + std::to_string(k), k % 2 == 0 ? "fixed " + std::to_string(k) : ""};
}

// What a reader counts.
enum ReaderCount { kRight, kBusy, kReported, kMisses, kWrong, kReaderCounts };
using Counts = std::array<long, kReaderCounts>;

// How many fixed objects a search for symbols beginning with "fixed_1"
// finds (by_symbol), or for comments containing "FIXED 1": their numbers
// begin with 1, and only the even ones have a comment.
long FixedSearched(long fixed, bool by_symbol) {
  long found = 0;
  for (long k = 0; k < fixed; ++k) {
    found += std::to_string(k)[0] == '1' && (by_symbol || k % 2 == 0) ? 1 : 0;
  }
  return found;
}

// Lists the fixed objects' kind in batches; a busy batch is asked again.
// Returns the number listed, or -1 when a batch gave another error or an
// entry comment that is not its object's.
long ListFixed(CTBData* base, int* result) {
  int ind1 = 0;
  int finished = 0;
  long listed = 0;
  bool wrong = false;
  while (finished == 0) {
    CObList list;
    *result = TBListRepereByTypeObject(base, "%KW", 0, &ind1, &list, &finished);
    while (!list.IsEmpty()) {
      std::unique_ptr<CTBObjetAts> row(static_cast<CTBObjetAts*>(list.RemoveHead()));
      const long k = std::strtol(static_cast<const char*>(row->m_repere) + 3, nullptr, 10);
      wrong = wrong || FixedObject(k).comment != static_cast<const char*>(row->m_commentaire);
      ++listed;
    }
    if (*result != 0 && *result != 104) return -1;
  }
  return wrong ? -1 : listed;
}

// Looks up fixed objects, by address and by symbol, and now and then
// searches them by symbol or comment, or lists them,, until `stop` closes.
Counts Read(CTBData* base, long fixed, unsigned seed, int stop) {
  std::mt19937 random(seed);
  Counts counts{};
  const long searched[] = {FixedSearched(fixed, false), FixedSearched(fixed, true)};
  pollfd done{stop, POLLIN, 0};
  while (poll(&done, 1, 0) == 0) {
    const long k = static_cast<long>(random() % static_cast<unsigned>(fixed));
    HostClearErrorReports();
    Object found;
    std::string address;
    CStringList list;
    const int kind = static_cast<int>(random() % 9);
    const bool by_address = kind % 2 == 0;
    int result = 0;
    bool right = false;
    if (kind == 8) {
      right = ListFixed(base, &result) == fixed;
    } else if (kind < 2) {
      result = TBFindStringInBase(base, list, 0, by_address ? 1 : 0,
                                  by_address ? "FIXED 1" : "fixed_1", by_address ? 0 : 2);
      right = list.GetCount() == searched[kind];
    } else {
      result = by_address ? Lookup(base, FixedAddress(k), &found)
                          : LookupSymbol(base, FixedObject(k).symbol, &address);
      right = by_address ? found == FixedObject(k) : address == FixedAddress(k);
    }
    ++counts[!HostErrorReports().empty()      ? kReported
             : result == 104                  ? kBusy
             : result == 102 || result == 103 ? kMisses
             : result != 0 || !right          ? kWrong
                                              : kRight];
  }
  return counts;
}

// A child working on the base through a handle of its own (`unused` is the
// end of a pipe it closes): the exit status of `work`.
pid_t SpawnOnBase(const std::string& directory, int unused,
                  const std::function<int(CTBData*)>& work) {
  return Spawn([&] {
    close(unused);
    std::string why;
    CTBData* base = OpenBase(directory, &why);
    if (base == nullptr) return 2;
    const int status = work(base);
    CloseBase(base);
    return status;
  });
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
  const unsigned seed = static_cast<unsigned>(options.Number("seed", 1));
  const std::string work = WorkFolder(options);
  const std::string directory = NewBase(work, "base");
  const State preloaded = Preload(directory, fixed);
  std::vector<State> models(static_cast<std::size_t>(writers));
  bool passed = true;
  for (long round = 0; round < rounds; ++round) {
    int stop[2];
    if (pipe(stop) != 0) return 2;
    std::vector<pid_t> writing, reading;
    auto log_of = [&](long w) {
      return work + "/w" + std::to_string(w) + "." + std::to_string(round);
    };
    for (long w = 0; w < writers; ++w) {
      writing.push_back(SpawnOnBase(directory, stop[1], [&](CTBData* base) {
        Worker worker(base, open(log_of(w).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644),
                      (w + 1) * kAddressesPerWriter,
                      seed * 7919u + static_cast<unsigned>(round * 131 + w), models[w]);
        worker.set_shared_pool(kSharedSymbols);
        for (long i = 0; i < ops; ++i) worker.Step(Mix::kMixed);
        const WorkerCounts& c = worker.counts();
        std::printf(
            "writer %ld: %ld confirmed, %ld refused (shared symbol taken), %ld busy after "
            "retries, %ld failed, %ld wrong reads of its own %s\n",
            w + 1, c.confirmed, c.refused, c.busy, c.failed, c.wrong,
            worker.first_failure().c_str());
        return c.failed == 0 && c.wrong == 0 ? 0 : 1;
      }));
    }
    for (long r = 0; r < readers; ++r) {
      reading.push_back(SpawnOnBase(directory, stop[1], [&](CTBData* base) {
        const Counts c = Read(base, fixed, seed + static_cast<unsigned>(r), stop[0]);
        std::printf(
            "reader %ld: %ld lookups and searches right, %ld busy, %ld reported errors, %ld "
            "unreported misses, %ld wrong answers\n",
            r + 1, c[kRight], c[kBusy], c[kReported], c[kMisses], c[kWrong]);
        return c[kReported] == 0 && c[kMisses] == 0 && c[kWrong] == 0 ? 0 : 1;
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
    passed = passed && verdict.Passed();
    std::printf("round %ld: %s\n", round + 1, verdict.Text().c_str());
  }
  return Finish(options, work, passed);
}

}  // namespace stress
