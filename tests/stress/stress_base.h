#ifndef SYMBASE_TESTS_STRESS_STRESS_BASE_H
#define SYMBASE_TESTS_STRESS_STRESS_BASE_H

// What the stress trials share. An operation is confirmed when its call
// returned 0 and made no report to the error service. A base passes when it
// holds exactly the confirmed state (give or take the one operation a killed
// process had in flight), TBCheckBaseSymbol finds nothing, and the
// independent readers agree.

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "symbase/symbase.h"

namespace stress {

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
void AppendLine(int fd, const LogLine& line);
std::vector<LogLine> ReadLog(const std::string& path);
// The state the confirmed lines give; *in_flight: the last unconfirmed intent.
State Replay(State start, const std::vector<LogLine>& lines, LogLine* in_flight);

// One exported call on a row made of the address and the object; `reported`:
// the error service heard of something during the call.
struct Outcome {
  int result = 0;
  bool reported = false;
  bool confirmed() const { return result == 0 && !reported; }
};
Outcome Observed(const std::string& address, const Object& object,
                 const std::function<int(CTBObjetAts*)>& call);
// Looks a row up by its address, or by its symbol when the address is "".
struct Found {
  int result = 0;
  std::string address;
  Object object;
};
Found Lookup(CTBData* base, const std::string& address, const std::string& symbol);

// A base in a handle of its own: null (and *why) when the open reported
// anything but a rollback.
CTBData* OpenBase(const std::string& directory, std::string* why);
void CloseBase(CTBData* base);
// TBCheckBaseSymbol or TBRepairBaseSymbol on a closed base: "" when it
// gives 0, else its result and findings.
std::string Maintain(int (*call)(CTBData*, const char*, CObList*), const std::string& directory);

// A base opened by a fresh handle, read whole through the export, checked
// and read by python-dbf and Perl's XBase::Index, against what was
// expected; the address of `tolerated` (an intent) may hold what it writes.
struct Verdict {
  std::size_t objects = 0;
  int repairs = 0;       // rollbacks the open made (code 1)
  bool readers = true;   // the independent readers were there
  std::string problems;  // "" when the base passed
  std::string Text() const;
};
Verdict Audit(const std::string& directory, const State& expected,
              const LogLine* tolerated = nullptr);

// "--name value" options after the trial's name; --seed, and the folder the
// trial works in: --dir, or a new one under /tmp.
struct Options {
  Options(int argc, char** argv);
  long Number(const std::string& name, long fallback) const;
  std::map<std::string, std::string> values;
  unsigned seed;
  std::string work;
};

// A fresh base in a new folder under `parent`; its path ends with '/'.
std::string NewBase(const std::string& parent, const std::string& name);
// Prints PASSED or FAILED, removes the work folder unless --keep 1.
int Finish(const Options& options, bool passed);

// A child process that exits with what `body` returns; its exit status, or
// 128 + the signal that ended it.
pid_t Spawn(const std::function<int()>& body);
int WaitFor(pid_t pid);

enum class Mix { kCreates, kInserts, kMixed };

// Busy: 104 after the retries; refused: 101, a shared symbol another worker
// holds; failed: any other result, or a report.
struct WorkerCounts {
  long confirmed = 0, busy = 0, refused = 0, failed = 0;
};

// A process's share of the work: it alone writes the addresses from
// %MW<first> on (but for a few symbols that every worker tries to take),
// keeps the state it expects of them, and logs each operation before the
// call and each confirmation after it.
class Worker {
 public:
  Worker(CTBData* base, int log_fd, long first, unsigned seed, State model);

  // One operation of the mix, retried while the base is busy.
  void Step(Mix mix);

  CTBData* base() const { return base_; }
  // Takes the symbols of the shared pool now and then (writers only).
  void set_shared_pool(int symbols) { shared_pool_ = symbols; }
  const State& model() const { return model_; }
  const WorkerCounts& counts() const { return counts_; }
  std::string first_failure() const { return first_failure_; }

 private:
  Object Fresh(bool comment, bool shared);
  // `after`: the state `sent` leaves, null for a deletion.
  void Write(const std::string& address, const Object& sent, const Object* after,
             int (*call)(CTBData*, CTBObjetAts*, int), int mode = 0);

  CTBData* base_;
  int log_fd_;
  long next_;
  std::mt19937 random_;
  State model_;
  long generation_ = 0;
  int shared_pool_ = 0;
  WorkerCounts counts_;
  std::string first_failure_;
};

// Runs `steps` on a worker of the base in `directory` (a handle of its own,
// its log written to `log_fd`, -1 for none): the worker once the base is closed, none
// when the base would not open.
std::optional<Worker> Work(const std::string& directory, int log_fd, long first, unsigned seed,
                           State model, const std::function<void(Worker&)>& steps);

// A fresh base filled by one worker (addresses from %MW1000, no log):
// `objects` operations, the first half creations, the rest of `rest`. The
// state it confirmed.
State Fill(const std::string& directory, long objects, unsigned seed, Mix rest = Mix::kCreates);

int RunWriters(const Options& options);
int RunKills(const Options& options);
int RunDamage(const Options& options);
int RunDiskFull(const Options& options);

}  // namespace stress

#endif
