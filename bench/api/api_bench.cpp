// symbase through its exported interface against SQLite doing the same
// logical work, at the sizes given, each engine in a child process of its
// own. Every answer is checked against what the dataset says; a wrong one
// ends that engine's run and the benchmark's status is 1.
//
//   api_bench [--sizes 10000,100000,1000000] [--engines symbase,sqlite]
//             [--runs N] [--csv FILE] [--seed N]
//
// Prints, per size, each phase's seconds for both engines, their ratio
// (below 1: symbase is faster) and the time per operation, then each
// engine's peak memory above the dataset and its files' size. --csv appends
// "size,phase,engine,seconds,operations" lines (the phase quoted), for
// bench/api/plot.py.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "dataset.h"
#include "store.h"

namespace api_bench {
namespace {

enum Phase {
  kInsert,
  kSymbolOf,
  kAddressOf,
  kAttributes,
  kExport,
  kListKind,
  kBeginning,
  kContaining,
  kCountAll,
  kCountKind,
  kDelete,
  kReopen,
  kCompact,
  kDurable,
  kDurableDelete,
  kPhaseCount
};

const char* const kPhaseNames[kPhaseCount] = {"insert (lookups + write)",
                                              "symbol of an address",
                                              "address of a symbol",
                                              "attributes of an address",
                                              "whole export (batches)",
                                              "one kind listed (batches)",
                                              "symbols beginning with",
                                              "comments containing",
                                              "count all",
                                              "count one kind",
                                              "delete",
                                              "reopen",
                                              "compaction",
                                              "insert, synced to disk",
                                              "delete, synced to disk"};

constexpr int kCountRepeats = 20;
constexpr int kReopens = 5;
constexpr std::size_t kDurableInserts = 100;

struct Result {
  bool ok = true;
  double seconds[kPhaseCount] = {};
  long operations[kPhaseCount] = {};
  long peak_kb = 0;  // above the dataset
  long long bytes = 0;
  char failure[400] = {};
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long ResidentKb() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm != nullptr) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// An order-free fingerprint of a set of objects.
unsigned long long Fingerprint(const std::string& a, const std::string& s, const std::string& c) {
  return std::hash<std::string>()(a) * 3 + std::hash<std::string>()(s) * 5 +
         std::hash<std::string>()(c) * 7;
}

class Run {
 public:
  Run(Store* store, const Dataset& data, Result* result)
      : store_(store), data_(data), result_(result) {}

  // Times `work` as phase p of `operations` operations; false on a failure.
  bool Timed(Phase p, long operations, const std::function<bool()>& work) {
    const double start = Now();
    const bool ok = work();
    result_->seconds[p] += Now() - start;
    result_->operations[p] += operations;
    return ok || Failed(kPhaseNames[p]);
  }

  bool Failed(const std::string& where) {
    result_->ok = false;
    std::snprintf(result_->failure, sizeof result_->failure, "%s: %s", where.c_str(),
                  store_->failure().c_str());
    return false;
  }

  bool Check(bool right, const std::string& what) {
    if (right) return true;
    store_->Fail("wrong answer: " + what);
    return Failed("check");
  }

  bool All(const std::string& directory) {
    const std::vector<Item>& items = data_.items;
    const long n = static_cast<long>(items.size());
    if (!store_->Create(directory)) return Failed("create");
    if (!Timed(kInsert, n, [&] {
          for (const Item& item : items) {
            if (!store_->Insert(item)) return false;
          }
          return true;
        })) {
      return false;
    }
    long count = 0;
    if (!store_->CountAll(&count) || !Check(count == n, "count after inserts")) return false;
    return Lookups() && Walks() && Searches() && Counts() && Deletes() && Reopens() &&
           Compaction() && Durable();
  }

 private:
  // Asks about every probe, timed as `phase`; `ask` says whether it could
  // ask and sets whether the answer was the dataset's.
  template <typename Ask>
  bool Probed(Phase phase, const char* what, Ask ask) {
    bool right = true;
    return Timed(phase, static_cast<long>(data_.probes.size()),
                 [&] {
                   for (std::size_t i : data_.probes) {
                     bool same = false;
                     if (!ask(data_.items[i], &same)) return false;
                     right = right && same;
                   }
                   return true;
                 }) &&
           Check(right, what);
  }

  bool Lookups() {
    std::string text;
    Answer found;
    return Probed(kSymbolOf, "symbol of an address",
                  [&](const Item& item, bool* same) {
                    const bool asked = store_->SymbolOf(item, &text);
                    *same = text == item.symbol;
                    return asked;
                  }) &&
           Probed(kAddressOf, "address of a symbol",
                  [&](const Item& item, bool* same) {
                    const bool asked = store_->AddressOf(item, &text);
                    *same = text == item.address;
                    return asked;
                  }) &&
           Probed(kAttributes, "attributes", [&](const Item& item, bool* same) {
             const bool asked = store_->Attributes(item, &found);
             *same = found.symbol == item.symbol && found.comment == item.comment;
             return asked;
           });
  }

  bool Walks() {
    unsigned long long expected = 0, seen = 0;
    long rows = 0;
    for (const Item& item : data_.items)
      expected += Fingerprint(item.address, item.symbol, item.comment);
    if (!Timed(kExport, static_cast<long>(data_.items.size()), [&] {
          return store_->ExportAll([&](const Answer& a) {
            seen += Fingerprint(a.address, a.symbol, a.comment);
            ++rows;
          });
        })) {
      return false;
    }
    if (!Check(seen == expected && rows == static_cast<long>(data_.items.size()), "export")) {
      return false;
    }
    std::vector<std::string> words;
    if (!Timed(kListKind, data_.words, [&] {
          return store_->ListWords([&](const std::string& a) { words.push_back(a); });
        })) {
      return false;
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return Check(static_cast<long>(words.size()) == data_.words, "one kind listed");
  }

  bool Searches() {
    std::vector<long> found(data_.prefixes.size());
    if (!Timed(kBeginning, static_cast<long>(data_.prefixes.size()), [&] {
          for (std::size_t p = 0; p < data_.prefixes.size(); ++p) {
            if (!store_->SymbolsBeginning(data_.prefixes[p], &found[p])) return false;
          }
          return true;
        })) {
      return false;
    }
    if (!Check(found == data_.prefix_matches, "symbols beginning with")) return false;
    std::vector<long> comments(data_.comment_texts.size());
    if (!Timed(kContaining, static_cast<long>(data_.comment_texts.size()), [&] {
          for (std::size_t t = 0; t < data_.comment_texts.size(); ++t) {
            if (!store_->CommentsContaining(data_.comment_texts[t], &comments[t])) return false;
          }
          return true;
        })) {
      return false;
    }
    return Check(comments == data_.comment_matches, "comments containing");
  }

  bool Counts() {
    long all = 0, words = 0;
    return Timed(kCountAll, kCountRepeats,
                 [&] {
                   for (int i = 0; i < kCountRepeats; ++i) {
                     if (!store_->CountAll(&all)) return false;
                   }
                   return true;
                 }) &&
           Check(all == static_cast<long>(data_.items.size()), "count all") &&
           Timed(kCountKind, kCountRepeats,
                 [&] {
                   for (int i = 0; i < kCountRepeats; ++i) {
                     if (!store_->CountWords(&words)) return false;
                   }
                   return true;
                 }) &&
           Check(words == data_.mws, "count one kind");
  }

  bool Deletes() {
    long deleted = 0;
    for (std::size_t i = 0; i < data_.items.size(); ++i) deleted += data_.Deleted(i);
    deleted_ = deleted;
    return Timed(kDelete, deleted, [&] {
      for (std::size_t i = 0; i < data_.items.size(); ++i) {
        if (data_.Deleted(i) && !store_->Delete(data_.items[i])) return false;
      }
      return true;
    });
  }

  bool Reopens() {
    std::string symbol;
    bool right = true;
    return Timed(kReopen, kReopens,
                 [&] {
                   for (int i = 0; i < kReopens; ++i) {
                     std::size_t k = data_.probes[static_cast<std::size_t>(i)];
                     if (data_.Deleted(k)) k = k - 1;  // one that was not deleted
                     const Item& item = data_.items[k];
                     if (!store_->Reopen() || !store_->SymbolOf(item, &symbol)) return false;
                     right = right && symbol == item.symbol;
                   }
                   return true;
                 }) &&
           Check(right, "reopen");
  }

  bool Compaction() {
    if (!Timed(kCompact, 1, [&] { return store_->Compact(); })) return false;
    result_->bytes = store_->BytesOnDisk();
    return CountIs(static_cast<long>(data_.items.size()) - deleted_, "count after compaction");
  }

  // The first deleted objects, inserted again with every commit synced, then
  // deleted again the same way.
  bool Durable() {
    std::vector<const Item*> again;
    for (std::size_t i = 0; i < data_.items.size() && again.size() < kDurableInserts; ++i) {
      if (data_.Deleted(i)) again.push_back(&data_.items[i]);
    }
    const long live = static_cast<long>(data_.items.size()) - deleted_;
    const long synced = static_cast<long>(again.size());
    return store_->SetDurable(true) && DurableEach(kDurable, again, &Store::Insert) &&
           CountIs(live + synced, "count after synced inserts") &&
           DurableEach(kDurableDelete, again, &Store::Delete) &&
           CountIs(live, "count after synced deletes");
  }

  bool DurableEach(Phase phase, const std::vector<const Item*>& items,
                   bool (Store::*write)(const Item&)) {
    return Timed(phase, static_cast<long>(items.size()), [&] {
      for (const Item* item : items) {
        if (!(store_->*write)(*item)) return false;
      }
      return true;
    });
  }

  bool CountIs(long expected, const char* what) {
    long count = 0;
    return store_->CountAll(&count) && Check(count == expected, what);
  }

  Store* store_;
  const Dataset& data_;
  Result* result_;
  long deleted_ = 0;
};

// Runs one engine on the dataset in a child process.
Result RunChild(bool sqlite, const Dataset& data, const std::string& directory) {
  int channel[2];
  Result result;
  if (pipe(channel) != 0) return result;
  std::fflush(nullptr);
#ifdef __GLIBC__
  // Memory the parent freed (an earlier size's dataset) would otherwise be
  // the child's to reuse without growing: its peak would look smaller.
  malloc_trim(0);
#endif
  // What the engine before wrote without syncing (SQLite syncs nothing
  // outside the durable phases) reaches the disk now, not while this one
  // waits on the disk: each engine's synced steps wait for its own writes.
  sync();
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    const long baseline = ResidentKb();
    Result mine;
    {
      std::unique_ptr<Store> store = sqlite ? MakeSqliteStore() : MakeSymbaseStore();
      Run run(store.get(), data, &mine);
      run.All(directory);
    }
    mine.peak_kb = PeakKb() - baseline;
    const ssize_t n = write(channel[1], &mine, sizeof mine);
    _exit(n == static_cast<ssize_t>(sizeof mine) ? 0 : 1);
  }
  close(channel[1]);
  const ssize_t n = read(channel[0], &result, sizeof result);
  close(channel[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (n != static_cast<ssize_t>(sizeof result)) {
    result = Result();
    result.ok = false;
    std::snprintf(result.failure, sizeof result.failure, "the child ended with status %d", status);
  }
  return result;
}

// Each phase's median time and the median peak over the runs; the first
// failed run when one failed.
Result Median(const std::vector<Result>& runs) {
  for (const Result& r : runs) {
    if (!r.ok) return r;
  }
  Result median = runs.front();
  auto middle = [&](auto field) {
    std::vector<decltype(field(runs.front()))> values;
    for (const Result& r : runs) values.push_back(field(r));
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  };
  for (int p = 0; p < kPhaseCount; ++p) {
    median.seconds[p] = middle([p](const Result& r) { return r.seconds[p]; });
  }
  median.peak_kb = middle([](const Result& r) { return r.peak_kb; });
  return median;
}

void Print(long size, const Result& mine, const Result* other) {
  std::printf("\n%ld objects; seconds; ratio = symbase / SQLite (below 1: symbase faster)\n\n",
              size);
  std::printf("%-28s %10s %10s %7s %12s %12s\n", "phase", "symbase", "SQLite", "ratio",
              "symbase us", "SQLite us");
  for (int p = 0; p < kPhaseCount; ++p) {
    const double ops = static_cast<double>(std::max(1L, mine.operations[p]));
    std::printf("%-28s %10.4f", kPhaseNames[p], mine.seconds[p]);
    if (other != nullptr) {
      std::printf(" %10.4f %7.2f", other->seconds[p],
                  other->seconds[p] > 0 ? mine.seconds[p] / other->seconds[p] : 0.0);
    } else {
      std::printf(" %10s %7s", "-", "-");
    }
    std::printf(" %12.2f", mine.seconds[p] * 1e6 / ops);
    if (other != nullptr) std::printf(" %12.2f", other->seconds[p] * 1e6 / ops);
    std::printf("\n");
  }
  std::printf("peak memory above the data: symbase %.1f MB", mine.peak_kb / 1024.0);
  if (other != nullptr) std::printf(", SQLite %.1f MB", other->peak_kb / 1024.0);
  std::printf("; files after compaction: symbase %.1f MB", mine.bytes / 1048576.0);
  if (other != nullptr) std::printf(", SQLite %.1f MB", other->bytes / 1048576.0);
  std::printf("\n");
}

void AppendCsv(const std::string& path, long size, const char* engine, const Result& r) {
  if (path.empty()) return;
  FILE* csv = std::fopen(path.c_str(), "a");
  if (csv == nullptr) return;
  for (int p = 0; p < kPhaseCount; ++p) {
    std::fprintf(csv, "%ld,\"%s\",%s,%.6f,%ld\n", size, kPhaseNames[p], engine, r.seconds[p],
                 r.operations[p]);
  }
  std::fprintf(csv, "%ld,peak memory MB,%s,%.1f,1\n", size, engine, r.peak_kb / 1024.0);
  std::fclose(csv);
}

std::vector<long> Sizes(const std::string& text) {
  std::vector<long> sizes;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const long size = std::strtol(text.substr(at, comma - at).c_str(), nullptr, 10);
    if (size > 0) sizes.push_back(size);
    at = comma + 1;
  }
  return sizes;
}

// Whether every argument is one of the options, each followed by its value.
bool ArgumentsKnown(int argc, char** argv) {
  static const char* const kOptions[] = {"--sizes", "--engines", "--csv", "--seed", "--runs"};
  for (int i = 1; i < argc; i += 2) {
    const bool known =
        std::any_of(std::begin(kOptions), std::end(kOptions),
                    [&](const char* option) { return std::strcmp(argv[i], option) == 0; });
    if (!known || i + 1 >= argc) return false;
  }
  return true;
}

std::string Option(int argc, char** argv, const char* name, const char* fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
  }
  return fallback;
}

}  // namespace
}  // namespace api_bench

int main(int argc, char** argv) {
  using namespace api_bench;
  const std::vector<long> sizes = Sizes(Option(argc, argv, "--sizes", "10000,100000"));
  const std::string engines = Option(argc, argv, "--engines", "symbase,sqlite");
  const std::string csv = Option(argc, argv, "--csv", "");
  const unsigned seed =
      static_cast<unsigned>(std::strtoul(Option(argc, argv, "--seed", "1").c_str(), nullptr, 10));
  const int runs = std::max(1, std::atoi(Option(argc, argv, "--runs", "1").c_str()));
  const bool want_sqlite =
      engines.find("sqlite") != std::string::npos && MakeSqliteStore() != nullptr;
  char pattern[] = "/tmp/symbase-api-bench-XXXXXX";
  if (!ArgumentsKnown(argc, argv) || sizes.empty() || mkdtemp(pattern) == nullptr) {
    std::fprintf(stderr,
                 "usage: api_bench [--sizes N,N...] [--engines symbase,sqlite] [--runs N] "
                 "[--csv FILE] [--seed N]\n");
    return 2;
  }
  const std::string work = pattern;
  bool all_ok = true;
  for (long size : sizes) {
    const Dataset data = MakeDataset(size, seed);
    const std::string mine_dir = work + "/symbase-" + std::to_string(size) + "/";
    const std::string other_dir = work + "/sqlite-" + std::to_string(size) + "/";
    // The engines take turns, so a machine that slows down slows both.
    std::vector<Result> mine_runs, other_runs;
    for (int run = 1; run <= runs; ++run) {
      std::filesystem::create_directories(mine_dir);
      std::filesystem::create_directories(other_dir);
      std::fprintf(stderr, "%ld objects, run %d of %d: symbase...\n", size, run, runs);
      mine_runs.push_back(RunChild(false, data, mine_dir));
      std::filesystem::remove_all(mine_dir);
      if (want_sqlite) {
        std::fprintf(stderr, "%ld objects, run %d of %d: SQLite...\n", size, run, runs);
        other_runs.push_back(RunChild(true, data, other_dir));
        std::filesystem::remove_all(other_dir);
      }
    }
    const Result mine = Median(mine_runs);
    const Result other = want_sqlite ? Median(other_runs) : Result();
    const Result* results[] = {&mine, want_sqlite ? &other : nullptr};
    for (const Result* r : results) {
      if (r != nullptr && !r->ok) {
        std::fprintf(stderr, "%s FAILED: %s\n", r == &mine ? "symbase" : "SQLite", r->failure);
        all_ok = false;
      }
    }
    Print(size, mine, want_sqlite ? &other : nullptr);
    AppendCsv(csv, size, "symbase", mine);
    if (want_sqlite) AppendCsv(csv, size, "SQLite", other);
  }
  std::filesystem::remove_all(work);
  return all_ok ? 0 : 1;
}
