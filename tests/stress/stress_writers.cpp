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
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

struct ReaderCounts {
  long right = 0, busy = 0, reported = 0, misses = 0, wrong = 0;
};

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
ReaderCounts Read(CTBData* base, long fixed, unsigned seed, int stop) {
  std::mt19937 random(seed);
  ReaderCounts counts;
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
    if (!HostErrorReports().empty()) {
      ++counts.reported;
    } else if (result == 104) {
      ++counts.busy;
    } else if (result == 102 || result == 103) {
      ++counts.misses;
    } else if (result != 0 || !right) {
      ++counts.wrong;
    } else {
      ++counts.right;
    }
  }
  return counts;
}

void WriteNumbers(const std::string& path, const std::vector<long>& numbers) {
  std::ofstream out(path);
  for (long n : numbers) out << n << "\n";
}

std::vector<long> ReadNumbers(const std::string& path, std::size_t count) {
  std::vector<long> numbers(count, -1);
  std::ifstream in(path);
  for (long& n : numbers) in >> n;
  return numbers;
}

State Preload(const std::string& directory, long fixed) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  State state;
  for (long k = 0; base != nullptr && k < fixed; ++k) {
    if (Create(base, FixedAddress(k), FixedObject(k)).confirmed()) {
      state[FixedAddress(k)] = FixedObject(k);
    }
  }
  if (base != nullptr) CloseBase(base);
  return state;
}

// A fresh handle's view of the base against what was confirmed.
bool Verify(const std::string& directory, const State& expected, std::string* report) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  State actual;
  if (base != nullptr) {
    ReadAll(base, &actual, &why);
    CloseBase(base);
  }
  const Difference d = Compare(expected, actual);
  const std::string findings = CheckFindings(directory);
  const std::string readers = ReadersDisagree(directory);
  *report = std::to_string(actual.size()) + " objects, " + std::to_string(d.lost) +
            " confirmed lost or changed, " + std::to_string(d.undeleted) + " deleted ones back" +
            (d.first.empty() ? "" : " (" + d.first + ")") + (why.empty() ? "" : "; " + why) +
            (findings.empty() ? "" : "; " + findings) +
            (readers.empty() ? "; independent readers agree" : "; readers: " + readers);
  return why.empty() && d.lost == 0 && d.undeleted == 0 && findings.empty() &&
         (readers.empty() || readers == "unavailable");
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
  State expected = Preload(directory, fixed);
  std::vector<State> models(static_cast<std::size_t>(writers));
  bool passed = true;
  WorkerCounts total;
  ReaderCounts read_total;
  for (long round = 0; round < rounds; ++round) {
    int stop[2];
    if (pipe(stop) != 0) return 2;
    std::vector<pid_t> writing, reading;
    for (long w = 0; w < writers; ++w) {
      const std::string log = work + "/w" + std::to_string(w) + "." + std::to_string(round);
      writing.push_back(Spawn([&, w, log] {
        close(stop[1]);
        std::string why;
        CTBData* base = OpenBase(directory, &why);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (base == nullptr || fd < 0) return 2;
        Worker worker(base, fd, (w + 1) * kAddressesPerWriter,
                      seed * 7919u + static_cast<unsigned>(round * 131 + w), models[w]);
        worker.set_shared_pool(kSharedSymbols);
        for (long i = 0; i < ops; ++i) worker.Step(Mix::kMixed);
        CloseBase(base);
        const WorkerCounts& c = worker.counts();
        WriteNumbers(log + ".counts", {c.confirmed, c.busy, c.refused, c.failed, c.wrong});
        if (!worker.first_failure().empty())
          std::fprintf(stderr, "%s\n", worker.first_failure().c_str());
        return 0;
      }));
    }
    for (long r = 0; r < readers; ++r) {
      const std::string counts_path = work + "/r" + std::to_string(r) + ".counts";
      reading.push_back(Spawn([&, r, counts_path] {
        close(stop[1]);
        std::string why;
        CTBData* base = OpenBase(directory, &why);
        if (base == nullptr) return 2;
        const ReaderCounts c = Read(base, fixed, seed + static_cast<unsigned>(r), stop[0]);
        CloseBase(base);
        WriteNumbers(counts_path, {c.right, c.busy, c.reported, c.misses, c.wrong});
        return 0;
      }));
    }
    close(stop[0]);
    for (pid_t pid : writing) passed = WaitFor(pid) == 0 && passed;
    close(stop[1]);
    for (pid_t pid : reading) passed = WaitFor(pid) == 0 && passed;

    State round_expected;
    for (long w = 0; w < writers; ++w) {
      const std::string log = work + "/w" + std::to_string(w) + "." + std::to_string(round);
      LogLine in_flight;
      models[w] = Replay(models[w], ReadLog(log), &in_flight);
      round_expected.insert(models[w].begin(), models[w].end());
      const std::vector<long> c = ReadNumbers(log + ".counts", 5);
      total.confirmed += c[0];
      total.busy += c[1];
      total.refused += c[2];
      total.failed += c[3];
      total.wrong += c[4];
    }
    for (long r = 0; r < readers; ++r) {
      const std::vector<long> c = ReadNumbers(work + "/r" + std::to_string(r) + ".counts", 5);
      read_total.right += c[0];
      read_total.busy += c[1];
      read_total.reported += c[2];
      read_total.misses += c[3];
      read_total.wrong += c[4];
    }
    round_expected.insert(expected.begin(), expected.end());
    std::string report;
    const bool sound = Verify(directory, round_expected, &report);
    passed = passed && sound;
    std::printf("round %ld: %s\n", round + 1, report.c_str());
  }
  std::printf(
      "writers: %ld x %ld operations x %ld rounds: %ld confirmed, %ld refused (shared symbol "
      "taken), %ld busy after retries, %ld failed, %ld wrong reads of their own\n",
      writers, ops, rounds, total.confirmed, total.refused, total.busy, total.failed, total.wrong);
  std::printf(
      "readers: %ld lookups and searches right, %ld busy, %ld reported errors, %ld unreported "
      "misses, %ld "
      "wrong answers\n",
      read_total.right, read_total.busy, read_total.reported, read_total.misses, read_total.wrong);
  passed = passed && total.failed == 0 && total.wrong == 0 && read_total.reported == 0 &&
           read_total.misses == 0 && read_total.wrong == 0;
  if (options.Number("keep", 0) == 0) RemoveTree(work);
  std::printf("%s\n", passed ? "PASSED" : "FAILED");
  return passed ? 0 : 1;
}

}  // namespace stress
