// symbase_stress writers|kills|damage|disk [--name value]...: trials with real
// processes on real files, through the exported interface alone, each ended by
// PASSED (exit status 0) or FAILED; the suite runs each briefly, long runs are
// made by hand (README, "Stress trials"). All take --seed, --dir and --keep 1.
//
// An operation is confirmed when its call returned 0 and made no report to the
// error service. A base passes when it holds exactly the confirmed state (give
// or take the one operation a killed process had in flight), its check finds
// nothing and the independent readers agree.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/xbase_readers.h"
#include "symbase/results.h"
#include "symbase/symbase.h"

namespace stress {
namespace {

struct Object {
  std::string symbol;
  std::string comment;
  bool operator==(const Object& o) const { return symbol == o.symbol && comment == o.comment; }
};

using State = std::map<std::string, Object>;  // address -> object

// A line of a worker's log, one write(2) each (none to fd -1): "I" a state
// about to be written, "K" a deletion about to be made, "S" and "X" their
// confirmations.
struct LogLine {
  char kind = 0;
  std::string address;
  Object object;
};

void AppendLine(int fd, const LogLine& line) {
  const std::string text = std::string(1, line.kind) + "\t" + line.address + "\t" +
                           line.object.symbol + "\t" + line.object.comment + "\n";
  if (fd >= 0 && write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    _exit(90);
  }
}

// The state the confirmed lines of a log give from `state`, and the last
// unconfirmed intent; *confirmed (when given) counts the confirmations.
std::pair<State, LogLine> Replay(State state, const std::string& log, long* confirmed = nullptr) {
  static const std::regex kLine("([ISKX])\t([^\t]*)\t([^\t]*)\t([^\t]*)");
  LogLine in_flight;
  std::ifstream in(log);
  std::smatch m;
  for (std::string text; std::getline(in, text);) {
    if (!std::regex_match(text, m, kLine)) continue;  // a line cut short by a kill
    const LogLine line{m.str(1)[0], m[2], Object{m[3], m[4]}};
    in_flight = line.kind == 'I' || line.kind == 'K' ? line : LogLine();
    if (line.kind == 'S') state[line.address] = line.object;
    if (line.kind == 'X') state.erase(line.address);
    if (confirmed != nullptr) *confirmed += line.kind == 'S' || line.kind == 'X';
  }
  return {state, in_flight};
}

Object ObjectOf(const CTBObjetAts& row) {
  return Object{std::string(row.m_symbole), std::string(row.m_commentaire)};
}

// Looks `object` up by the address it should be at, or by its symbol: true
// when the answer is that address holding `object`; *result: what the call gave.
bool Finds(CTBData* base, const std::string& address, const Object& object, bool by_symbol,
           int* result) {
  CTBObjetAts row(by_symbol ? "" : address.c_str(), by_symbol ? object.symbol.c_str() : "", "", 0,
                  -1);
  *result = TBSearchAttrib(base, &row, by_symbol ? 1 : 0);
  return *result == 0 && address == static_cast<const char*>(row.m_repere) &&
         object == ObjectOf(row);
}

void CloseBase(CTBData* base) {
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
}

// A base in a handle of its own: null (and *why) when the open reported
// anything but a rollback (index 22, code 1), which is what an open of a
// base left by a killed process does.
CTBData* OpenBase(const std::string& directory, std::string* why = nullptr) {
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  HostClearErrorReports();
  TBOpenBaseSymbol(base, directory.c_str());
  for (const HostErrorReport& report : HostErrorReports()) {
    if (report.operation == 22 && report.code == 1) continue;
    if (why != nullptr) {
      *why = "open reported index " + std::to_string(report.operation) + " code " +
             std::to_string(report.code);
    }
    CloseBase(base);
    return nullptr;
  }
  return base;
}

// TBCheckBaseSymbol or TBRepairBaseSymbol on a closed base: "" when it
// gives 0, else its result and findings.
std::string Maintain(int (*call)(CTBData*, const char*, CObList*), const std::string& directory) {
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  CObList list;
  const int result = call(handle, directory.c_str(), &list);
  std::string text = "result " + std::to_string(result) + ":";
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBCheckFinding> finding(static_cast<CTBCheckFinding*>(list.RemoveHead()));
    text += " [" + std::string(finding->m_file) + ": " + std::string(finding->m_text) + "]";
  }
  TBFreeTabisDll(handle);
  return result == 0 ? "" : text + "; ";
}

// Asks `call(list, finished)` for batch after batch until one says it is
// the last, a busy batch (104) asked again, and hands each row to `take`
// (false: a wrong row). False on a wrong row or on a result neither 0 nor
// busy, left in *result.
template <typename Call, typename Take>
bool Batches(int* result, Call call, Take take) {
  bool right = true;
  for (int finished = 0; finished == 0 && right;) {
    CObList list;
    *result = call(&list, &finished);
    while (!list.IsEmpty()) {
      std::unique_ptr<CTBObjetAts> row(static_cast<CTBObjetAts*>(list.RemoveHead()));
      right = take(*row) && right;
    }
    if (*result != 0 && *result != 104) return false;
  }
  return right;
}

// Every live object of a base through the export; *why receives what went
// wrong (the export failed, repeated an address or made reports).
State ReadAll(CTBData* base, std::string* why) {
  State out;
  long counter = 1;
  int result = 0;
  HostClearErrorReports();
  const bool read = Batches(
      &result,
      [&](CObList* list, int* finished) {
        return TBExportSymbol(base, "", 0, &counter, list, finished);
      },
      [&](const CTBObjetAts& row) {
        const std::string address(row.m_repere);
        if (out.count(address) != 0) *why = "the export repeats " + address;
        out[address] = ObjectOf(row);
        return true;
      });
  if (!read && result != 105) *why = "the export gave " + std::to_string(result);  // 105: empty
  if (why->empty() && !HostErrorReports().empty()) *why = "the export made reports";
  return out;
}

// How `actual` differs from `expected`, "" when it does not. The operation
// in flight may have happened: its address may hold what it was writing, or
// be gone if it was deleting.
std::string Differences(const State& expected, const State& actual, const LogLine& tolerated) {
  State happened = expected;
  if (tolerated.kind == 'K') happened.erase(tolerated.address);
  if (tolerated.kind == 'I') happened[tolerated.address] = tolerated.object;
  if (actual == expected || actual == happened) return "";
  const auto [e, a] = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  return std::to_string(actual.size()) + " objects unlike the " + std::to_string(expected.size()) +
         " confirmed, from " + (e != expected.end() ? e->first : a->first) + "; ";
}

// What is wrong with a base, "" when it passed: opened by a fresh handle, read
// whole through the export, checked, and read by the independent readers (when
// they are there), against what was expected; the address of `tolerated` may
// hold what it writes. *repairs (when given): the open's rollbacks (code 1).
std::string Audit(const std::string& directory, const State& expected,
                  const LogLine& tolerated = LogLine(), long* repairs = nullptr) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  for (const HostErrorReport& report : HostErrorReports()) {
    if (repairs != nullptr) *repairs += report.code == 1;
  }
  State actual;
  if (base != nullptr) {
    actual = ReadAll(base, &why);
    CloseBase(base);
  }
  std::string problems = (why.empty() ? "" : why + "; ") +
                         Differences(expected, actual, tolerated) +
                         Maintain(TBCheckBaseSymbol, directory);
  if (!testing_support::XBaseReadersAvailable()) return problems;
  const std::vector<std::string> lines = testing_support::CommandLines(
      "/usr/bin/python3 " SYMBASE_SOURCE_DIR "/tests/interop/base_consistency.py '" + directory +
      "' 2>&1");
  if (lines != std::vector<std::string>{"consistent"}) {
    problems += "readers:";
    for (const std::string& line : lines) problems += " " + line;
  }
  return problems;
}

// "--name value" options after the trial's name; --seed, and the folder the
// trial works in: --dir, or a new one under /tmp.
struct Options {
  Options(int argc, char** argv) {
    for (int i = 2; i + 1 < argc; i += 2) values[std::string(argv[i]).erase(0, 2)] = argv[i + 1];
    seed = static_cast<unsigned>(Number("seed", 1));
    char pattern[] = "/tmp/symbase-stress-XXXXXX";
    if (values.count("dir") != 0) {
      work = values["dir"];
    } else if (mkdtemp(pattern) != nullptr) {
      work = pattern;
    } else {
      // Never fall back on a shared folder: the trial empties its folder.
      std::perror("cannot make a work folder");
      std::exit(2);
    }
    std::filesystem::create_directories(work);
  }
  long Number(const std::string& name, long fallback) const {
    auto it = values.find(name);
    return it == values.end() ? fallback : std::strtol(it->second.c_str(), nullptr, 10);
  }
  std::map<std::string, std::string> values;
  unsigned seed;
  std::string work;
};

// A fresh base in a new folder under `parent`; its path ends with '/'.
std::string NewBase(const std::string& parent, const std::string& name) {
  const std::string path = parent + "/" + name + "/";
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  std::filesystem::create_directories(path);
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  TBCreateBaseSymbol(base, path.c_str(), 0);
  CloseBase(base);
  return path;
}

// Prints PASSED or FAILED, removes the work folder unless --keep 1.
int Finish(const Options& options, bool passed) {
  std::error_code ignored;
  if (options.Number("keep", 0) == 0) std::filesystem::remove_all(options.work, ignored);
  if (!testing_support::XBaseReadersAvailable()) std::printf("(readers unavailable)\n");
  std::printf("%s\n", passed ? "PASSED" : "FAILED");
  return passed ? 0 : 1;
}

// A child process that exits with what `body` returns; its exit status, or
// 128 + the signal that ended it.
pid_t Spawn(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int status = body();
    std::fflush(nullptr);  // what the child printed
    _exit(status);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

enum class Mix { kCreates, kInserts, kMixed };

// Busy: 104 after the retries; refused: 101, a shared symbol another worker
// holds; failed: any other result, or a report.
struct WorkerCounts {
  long confirmed = 0, busy = 0, refused = 0, failed = 0;
};

// A process's share of the work: it alone writes the addresses from %MW<first>
// on (but for a few symbols every worker tries to take), keeps the state it
// expects of them, and logs each operation before the call and each
// confirmation after it.
struct Worker {
  Worker(CTBData* handle, int log, long first, unsigned seed, State start)
      : base(handle), log_fd(log), next(first), random(seed), model(std::move(start)) {
    // New addresses come after every address of the model.
    for (const auto& entry : model) {
      next = std::max(next, std::strtol(entry.first.c_str() + 3, nullptr, 10) + 1);
    }
  }

  // One operation of the mix, retried while the base is busy.
  void Step(Mix mix) {
    const unsigned roll = random() % 100;
    const bool create =
        model.empty() || mix == Mix::kCreates || (mix == Mix::kInserts ? roll < 50 : roll < 30);
    // Only a creation may take a shared symbol: an insertion of a taken one
    // would move another worker's row to this worker's address.
    if (create) {
      const bool creation = mix == Mix::kCreates || (mix == Mix::kMixed && roll % 2 == 0);
      const Object object = Fresh(random() % 2 == 0, creation);
      Write("%MW" + std::to_string(next++), object, &object, creation ? 'C' : 'I');
      return;
    }
    auto it = model.begin();
    std::advance(it, static_cast<long>(random() % model.size()));
    const std::string address = it->first;
    const Object old = it->second;
    const Object object = Fresh(random() % 3 != 0, mix != Mix::kInserts && roll < 80);
    const Object comment_only{old.symbol, object.comment}, symbol_only{object.symbol, old.comment};
    if (mix == Mix::kInserts || roll >= 80) {
      Write(address, object, &object, 'I');
    } else if (roll < 45) {
      Write(address, object, &object, 'M', 2);
    } else if (roll < 55) {
      Write(address, object, &comment_only, 'M', 1);
    } else if (roll < 60) {
      Write(address, object, &symbol_only, 'M', 0);
    } else {
      Write(address, Object(), nullptr, 'D');
    }
  }

  void Create(const std::string& address, const Object& object) {
    Write(address, object, &object, 'C');
  }

  Object Fresh(bool comment, bool shared) {
    Object object{"S" + std::to_string(next) + "_" + std::to_string(++generation), ""};
    if (shared && shared_pool > 0 && random() % 10 == 0) {
      object.symbol = "Shared_" + std::to_string(random() % static_cast<unsigned>(shared_pool));
    }
    if (comment) object.comment = "comment " + std::to_string(generation) + " \xe9t\xe9";
    return object;
  }

  // Sends `sent` to `address` by TBCreateObject ('C'), TBInsertObject ('I'),
  // TBModifyObject ('M') or TBDelObject ('D'); `after`: the state it leaves,
  // null for a deletion.
  void Write(const std::string& address, const Object& sent, const Object* after, char call,
             int mode = 0) {
    const Object state = after != nullptr ? *after : Object();
    AppendLine(log_fd, LogLine{after != nullptr ? 'I' : 'K', address, state});
    int result = 0;
    bool reported = false;  // the error service heard of something during the call
    for (int attempt = 0; attempt < kRetries; ++attempt) {
      CTBObjetAts row(address.c_str(), sent.symbol.c_str(), sent.comment.c_str(), 0, -1);
      HostClearErrorReports();
      result = call == 'C'   ? TBCreateObject(base, &row)
               : call == 'I' ? TBInsertObject(base, &row, mode)
               : call == 'M' ? TBModifyObject(base, &row, mode)
                             : TBDelObject(base, &row);
      reported = !HostErrorReports().empty();
      if (result != TB_LOCKED_BY_OTHER) break;
    }
    if (result == TB_LOCKED_BY_OTHER) {
      ++counts.busy;
    } else if (result == TB_SYMBOL_TAKEN && !reported) {
      ++counts.refused;
    } else if (result != 0 || reported) {
      ++counts.failed;
      if (first_failure.empty()) {
        first_failure =
            address + " gave " + std::to_string(result) + (reported ? " with a report" : "");
      }
    } else {
      ++counts.confirmed;
      if (after != nullptr) model[address] = state;
      if (after == nullptr) model.erase(address);
      AppendLine(log_fd, LogLine{after != nullptr ? 'S' : 'X', address, state});
    }
  }

  static constexpr int kRetries = 100;
  CTBData* base;
  int log_fd;
  long next;
  std::mt19937 random;
  State model;
  long generation = 0;
  int shared_pool = 0;  // the symbols every worker tries to take now and then (writers only)
  WorkerCounts counts;
  std::string first_failure;
};

// Runs `steps` on a worker of the base in `directory` (a handle of its own, its
// log to `log_fd`): the worker once the base is closed, none if it won't open.
std::optional<Worker> Work(const std::string& directory, int log_fd, long first, unsigned seed,
                           State model, const std::function<void(Worker&)>& steps) {
  CTBData* base = OpenBase(directory);
  if (base == nullptr) return std::nullopt;
  std::optional<Worker> worker(std::in_place, base, log_fd, first, seed, std::move(model));
  steps(*worker);
  CloseBase(base);
  return worker;
}

// Fills a fresh base by one worker (addresses from %MW1000, no log): `objects`
// operations, the first half creations, the rest of `rest`; the state it made.
State Fill(const std::string& directory, long objects, unsigned seed, Mix rest = Mix::kCreates) {
  const auto worker = Work(directory, -1, 1000, seed, State(), [&](Worker& w) {
    for (long i = 0; i < objects; ++i) w.Step(i < objects / 2 ? Mix::kCreates : rest);
  });
  return worker ? worker->model : State();
}

// Writer and reader processes on one base at once. Each writer owns its
// addresses and fights the others for a few shared symbols; the readers look
// up and list objects nobody touches. After each round a fresh handle
// finds every confirmed operation in the base and nothing else.

constexpr long kAddressesPerWriter = 20000;  // IND1 keeps five digits: up to four writers
constexpr int kSharedSymbols = 8;

std::string FixedAddress(long k) { return "%KW" + std::to_string(k); }
Object FixedObject(long k) {
  return Object{"Fixed_" + std::to_string(k), k % 2 == 0 ? "fixed " + std::to_string(k) : ""};
}

// Lists the fixed objects' kind in batches: true when every one is listed
// with its comment.
bool ListFixed(CTBData* base, long fixed, int* result) {
  int ind1 = 0;
  long listed = 0;
  return Batches(
             result,
             [&](CObList* list, int* finished) {
               return TBListRepereByTypeObject(base, "%KW", 0, &ind1, list, finished);
             },
             [&](const CTBObjetAts& row) {
               const long k = std::strtol(static_cast<const char*>(row.m_repere) + 3, nullptr, 10);
               ++listed;
               return FixedObject(k).comment == static_cast<const char*>(row.m_commentaire);
             }) &&
         listed == fixed;
}

// Exports the whole base in batches while others write: true when no
// address comes twice and every fixed object comes with its symbol and
// comment. A batch read without the lock and spoiled by a write is read
// again from where it began: a wrong place repeats or skips.
bool ExportFixed(CTBData* base, long fixed, int* result) {
  long counter = 1, found = 0;
  std::set<std::string> seen;
  return Batches(
             result,
             [&](CObList* list, int* finished) {
               return TBExportSymbol(base, "", 0, &counter, list, finished);
             },
             [&](const CTBObjetAts& row) {
               const std::string address(row.m_repere);
               if (!seen.insert(address).second) return false;
               if (address.compare(0, 3, "%KW") != 0) return true;
               ++found;
               return FixedObject(std::strtol(address.c_str() + 3, nullptr, 10)) == ObjectOf(row);
             }) &&
         found == fixed;
}

// Looks up fixed objects by address and by symbol, and now and then lists
// or exports them, until `stop` closes: 0 when every answer was right or
// busy.
int Read(const std::string& directory, long reader, long fixed, unsigned seed, int stop) {
  CTBData* base = OpenBase(directory);
  if (base == nullptr) return 2;
  std::mt19937 random(seed);
  long right = 0, busy = 0, bad = 0;
  for (pollfd done{stop, POLLIN, 0}; poll(&done, 1, 0) == 0;) {
    const long k = static_cast<long>(random() % static_cast<unsigned>(fixed));
    const unsigned kind = random() % 10;
    HostClearErrorReports();
    int result = 0;
    const bool answer = kind == 9 ? ExportFixed(base, fixed, &result)
                        : kind == 8
                            ? ListFixed(base, fixed, &result)
                            : Finds(base, FixedAddress(k), FixedObject(k), kind % 2, &result);
    const bool reported = !HostErrorReports().empty();
    busy += !reported && result == 104;
    right += !reported && result == 0 && answer;
    bad += reported || (result != 104 && (result != 0 || !answer));
  }
  std::printf("reader %ld: %ld lookups and listings right, %ld busy, %ld wrong\n", reader, right,
              busy, bad);
  return bad == 0 ? 0 : 1;
}

int RunWriters(const Options& options) {
  const long writers = std::min(options.Number("writers", 4), 4L);
  const long readers = options.Number("readers", 2);
  const long ops = options.Number("ops", 3000);
  const long rounds = options.Number("rounds", 1);
  const long fixed = options.Number("fixed", 500);
  const std::string directory = NewBase(options.work, "base");
  const auto preloader = Work(directory, -1, 0, 0, State(), [&](Worker& w) {
    for (long k = 0; k < fixed; ++k) w.Create(FixedAddress(k), FixedObject(k));
  });
  const State preloaded = preloader ? preloader->model : State();
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
                   // Durable and plain writers take turns with each other's journals.
                   TBSetDurability(worker.base, static_cast<int>(w % 2));
                   worker.shared_pool = kSharedSymbols;
                   for (long i = 0; i < ops; ++i) worker.Step(Mix::kMixed);
                 });
        if (!worker) return 2;
        const WorkerCounts& c = worker->counts;
        std::printf("writer %ld: %ld confirmed, %ld refused, %ld busy, %ld failed %s\n", w + 1,
                    c.confirmed, c.refused, c.busy, c.failed, worker->first_failure.c_str());
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
      models[w] = Replay(models[w], log_of(w)).first;
      expected.insert(models[w].begin(), models[w].end());
    }
    const std::string problems = Audit(directory, expected);
    passed = passed && problems.empty();
    std::printf("round %ld: %s\n", round + 1,
                problems.empty() ? "none lost, the check and the readers agree" : problems.c_str());
  }
  return Finish(options, passed);
}

// A worker killed (SIGKILL) at a random moment while it creates, inserts,
// mixes operations or compacts the base, every other four trials with its
// commits durable; a fresh process then opens the base and must find every
// confirmed operation, deletions included, nothing half-done, a clean
// check, and independent readers that agree.

// The kinds of trial: what the worker does, the last one compacting too.
const char* const kTrialNames[] = {"creates", "inserts", "mixed", "compactions"};
const Mix kMixes[] = {Mix::kCreates, Mix::kInserts, Mix::kMixed, Mix::kMixed};
constexpr int kCompactions = 3;

int RunKills(const Options& options) {
  const long trials = options.Number("trials", 40);
  const long objects = options.Number("objects", 200);
  std::mt19937 random(options.seed);
  long confirmed = 0, repaired = 0, failed = 0;
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
        TBSetDurability(worker.base, static_cast<int>(t / 4 % 2));
        for (long i = 0;; ++i) {
          worker.Step(kMixes[trial]);
          if (trial == kCompactions && i % 5 == 4 && TBLockBaseSymbol(worker.base) == 0) {
            TBUnlockBaseSymbol(worker.base, directory.c_str());
          }
        }
      });
      return 2;
    });
    usleep(static_cast<useconds_t>(delay * 1000));
    kill(pid, SIGKILL);
    WaitFor(pid);

    const auto [expected, in_flight] = Replay(start, log, &confirmed);
    const std::string problems = Audit(directory, expected, in_flight, &repaired);
    if (!problems.empty()) {
      ++failed;
      std::printf("trial %ld (%s%s, killed after %ld ms): %s\n", t + 1, kTrialNames[trial],
                  t / 4 % 2 != 0 ? ", durable" : "", delay, problems.c_str());
    }
  }
  std::printf("kills: %ld trials, %ld confirmed operations, %ld rolled back at the next open\n",
              trials, confirmed, repaired);
  return Finish(options, failed == 0);
}

// Copies of a sound base, each with one file damaged, put through the check,
// lookups and the repair in a child process watched for crashes and hangs. Any
// copy whose lookups give a wrong answer without a report must have been
// flagged by the check; a damaged index file must be mended by the repair.

const char* const kFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                              "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};
constexpr int kHangSeconds = 60;

// One random damage to `bytes`, described.
std::string Damage(std::string* bytes, std::mt19937& random) {
  if (bytes->empty()) return "empty";
  const std::size_t size = bytes->size(), at = random() % size, block = at / 512 * 512;
  const int flips = 1 + static_cast<int>(random() % 8);
  switch (random() % 3) {
    case 0:
      bytes->resize(at);
      return "cut to " + std::to_string(at) + " bytes";
    case 1:
      for (int i = 0; i < flips; ++i) (*bytes)[random() % size] ^= 1 + random() % 255;
      return std::to_string(flips) + " bytes flipped";
    default:
      for (std::size_t i = block; i < block + 512 && i < size; ++i) (*bytes)[i] = 0;
      return "512 bytes zeroed at " + std::to_string(block);
  }
}

// Lookups of every object by address and by symbol: how many answers were
// wrong without any report.
long Unreported(const std::string& directory, const State& truth) {
  CTBData* base = OpenBase(directory);
  if (base == nullptr) return 0;  // the open reported it
  long wrong = 0;
  for (const auto& [address, object] : truth) {
    HostClearErrorReports();
    int result = 0;
    const bool by_address = Finds(base, address, object, false, &result);
    const bool right = Finds(base, address, object, true, &result) && by_address;
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
    const bool index = file.find(".MDX") != std::string::npos;
    index_copies += index;
    const int status = WaitFor(Spawn([&] { return Examine(copy, truth, index); }));
    flagged += status == 4;
    if (status != 0 && status != 4) {
      ++failed;
      std::printf("copy %ld: %s %s: %s %d\n", c + 1, file.c_str(), what.c_str(),
                  status == 128 + SIGALRM ? "hung, status" : "status", status);
    }
  }
  std::printf("damage: %ld copies (%ld of an index file), %ld flagged by the check\n", copies,
              index_copies, flagged);
  return Finish(options, failed == 0);
}

// Writes the disk refuses: a worker under a file-size limit (or, with --tmpfs
// 1 and the right to mount, on a file system almost full) works until its
// writes keep failing. Every failed call must leave the base as it was, every
// confirmed one must be there, and once room is back the work goes on.

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

int RunDiskFull(const Options& options) {
  const long runs = options.Number("runs", 4);
  const bool tmpfs = options.Number("tmpfs", 0) != 0;
  std::mt19937 random(options.seed);
  bool passed = true;
  for (long run = 0; run < runs; ++run) {
    const std::string mount = options.work + "/fs" + std::to_string(run);
    const bool mounted = tmpfs && std::filesystem::create_directories(mount) &&
                         Run("mount -t tmpfs -o size=64m tmpfs '" + mount + "' 2>/dev/null");
    const std::string directory = NewBase(mounted ? mount : options.work, "base");
    const State start = Fill(directory, 300, options.seed + static_cast<unsigned>(run));
    const std::uintmax_t margin = 4096 + random() % 65536;
    const std::uintmax_t limit = Bytes(directory, true) + margin;
    int log_pipe[2];
    if (pipe(log_pipe) != 0) return 2;
    const pid_t child = Spawn([&] {
      close(log_pipe[0]);
      if (mounted) {
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
          const long before = w.counts.failed;
          w.Step(i % 3 == 0 ? Mix::kMixed : Mix::kCreates);
          in_a_row = w.counts.failed > before ? in_a_row + 1 : 0;
        }
      });
      return worker && worker->counts.failed > 0 ? 0 : 3;  // the disk must refuse something
    });
    close(log_pipe[1]);
    const State expected = Replay(start, "/dev/fd/" + std::to_string(log_pipe[0])).first;
    close(log_pipe[0]);
    const int status = WaitFor(child);
    if (mounted) Run("mount -o remount,size=64m '" + mount + "'");
    std::string problems = Audit(directory, expected);
    if (status != 0)
      problems += " (the writes never failed: status " + std::to_string(status) + ")";
    const auto worker = Work(directory, -1, 50000, options.seed + 77u, expected, [](Worker& w) {
      for (long i = 0; i < kAfterRoom; ++i) w.Step(Mix::kMixed);
    });
    if (!worker || worker->counts.failed > 0) {
      problems += " after: " + (worker ? worker->first_failure : "the base would not open");
    }
    problems += Audit(directory, worker ? worker->model : expected);
    std::printf("run %ld (%s, %ju bytes): %s\n", run + 1, mounted ? "tmpfs" : "file-size limit",
                mounted ? margin : limit, problems.empty() ? "nothing lost" : problems.c_str());
    passed = passed && problems.empty();
    if (mounted) Run("umount '" + mount + "'");
  }
  return Finish(options, passed);
}

}  // namespace
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
