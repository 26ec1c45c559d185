#ifndef SYMBASE_TESTS_STRESS_STRESS_BASE_H
#define SYMBASE_TESTS_STRESS_STRESS_BASE_H

// What the stress trials share: the expected state of a base built from the
// operations that were confirmed, calls through the exported interface that
// tell whether they were confirmed, reading a whole base back, the checks
// no one of ours wrote, and child processes.
//
// An operation is confirmed when its call returned 0 and made no report to
// the error service. A base passes when it holds exactly the confirmed
// state (give or take the one operation a killed process had in flight),
// TBCheckBaseSymbol finds nothing, and the independent readers agree.

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "symbase/symbase.h"

namespace stress {

struct Object {
  std::string symbol;
  std::string comment;
  bool operator==(const Object& o) const { return symbol == o.symbol && comment == o.comment; }
  bool operator!=(const Object& o) const { return !(*this == o); }
};

// Address -> object.
using State = std::map<std::string, Object>;

// One line of a worker's log: the state of an address once an operation on
// it was confirmed ("S address symbol comment", or "X address" once gone),
// or the operation it is about to make ("I" the state it will write, "K"
// the deletion), fields separated by tabs.
struct LogLine {
  char kind = 0;
  std::string address;
  Object object;
};
// Appends one line with one write(2), so that a process killed at any
// moment leaves whole lines behind.
void AppendLine(int fd, const LogLine& line);
std::vector<LogLine> ReadLog(const std::string& path);
// The state the confirmed lines give, from `start`; *in_flight receives the
// last intent not followed by its confirmation ("" when none).
State Replay(State start, const std::vector<LogLine>& lines, LogLine* in_flight);

// Calls on an open base. `result` is the call's; `reported` tells whether
// the error service heard of something during it.
struct Outcome {
  int result = 0;
  bool reported = false;
  bool confirmed() const { return result == 0 && !reported; }
};
Outcome Create(CTBData* base, const std::string& address, const Object& object);
Outcome Modify(CTBData* base, const std::string& address, const Object& object, int mode);
Outcome Delete(CTBData* base, const std::string& address);
Outcome Insert(CTBData* base, const std::string& address, const Object& object);
// Looks an address up: 0 and its object, or the call's code.
int Lookup(CTBData* base, const std::string& address, Object* found);
// Looks a symbol up: 0 and its address, or the call's code.
int LookupSymbol(CTBData* base, const std::string& symbol, std::string* address);

// Opens a base in a handle of its own: null when the open made a report
// (which *why receives) or failed.
CTBData* OpenBase(const std::string& directory, std::string* why);
void CloseBase(CTBData* base);
// Every live object of a base through the exported listing; false (with
// *why) when the listing fails or repeats an address.
bool ReadAll(CTBData* base, State* out, std::string* why);
// TBCheckBaseSymbol: "" when the base is sound, else its findings.
std::string CheckFindings(const std::string& directory);
// The independent readers (python-dbf, Perl XBase::Index) over the files of
// a closed base: "" when they agree, "unavailable" when missing.
std::string ReadersDisagree(const std::string& directory);

// How the state of a base differs from the expected one; the address of
// `tolerated` (an intent) may also be in the state that intent writes.
struct Difference {
  int lost = 0;       // expected objects absent or changed
  int undeleted = 0;  // objects expected gone but present
  std::string first;  // the first difference, for the message
};
Difference Compare(const State& expected, const State& actual, const LogLine* tolerated = nullptr);

// A base opened by a fresh handle and read whole, checked by
// TBCheckBaseSymbol and the independent readers, against what was expected.
struct Verdict {
  std::size_t objects = 0;
  int repairs = 0;  // rollbacks the open made (code 1)
  Difference difference;
  std::string why;       // the open or the listing failed
  std::string findings;  // the check's
  std::string readers;   // the readers' disagreement, or "unavailable"
  bool Disagreeing() const { return !readers.empty() && readers != "unavailable"; }
  bool Passed() const {
    return why.empty() && difference.lost == 0 && difference.undeleted == 0 && findings.empty() &&
           !Disagreeing();
  }
  std::string Text() const;
};
Verdict Audit(const std::string& directory, const State& expected,
              const LogLine* tolerated = nullptr);

// The folder a trial works in: --dir, or a new one under /tmp.
std::string WorkFolder(const class Options& options);
// A fresh, empty base in a new folder under `parent`; its path ends with '/'.
std::string NewBase(const std::string& parent, const std::string& name);
void RemoveTree(const std::string& path);
// Copies the files of a folder into another, created.
void CopyFolder(const std::string& from, const std::string& to);

// A child process running `body`, which returns its exit status.
pid_t Spawn(const std::function<int()>& body);
// The child's exit status, or 128 + the signal that ended it.
int WaitFor(pid_t pid);

// Options "--name value", with defaults.
class Options {
 public:
  Options(int argc, char** argv);
  long Number(const std::string& name, long fallback) const;
  std::string Text(const std::string& name, const std::string& fallback) const;

 private:
  std::map<std::string, std::string> values_;
};

// Prints PASSED or FAILED and removes the work folder (unless --keep 1):
// the exit status.
int Finish(const Options& options, const std::string& work, bool passed);

// Each trial kind: its options, and 0 when everything held.
int RunWriters(const Options& options);
int RunKills(const Options& options);
int RunDamage(const Options& options);
int RunDiskFull(const Options& options);

}  // namespace stress

#endif
