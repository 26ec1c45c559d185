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
#include <string>
#include <vector>

#include "symbase/symbase.h"

namespace stress {

struct Object {
  std::string symbol;
  std::string comment;
  bool operator==(const Object& o) const { return symbol == o.symbol && comment == o.comment; }
};

// Address -> object.
using State = std::map<std::string, Object>;

// One line of a worker's log, fields separated by tabs: "S" the state of an
// address once an operation on it was confirmed, "X" the address once gone;
// "I" the state an operation is about to write, "K" a deletion about to be
// made.
struct LogLine {
  char kind = 0;
  std::string address;
  Object object;
};
// Appends one line with one write(2): a process killed at any moment leaves
// whole lines behind.
void AppendLine(int fd, const LogLine& line);
std::vector<LogLine> ReadLog(const std::string& path);
// The state the confirmed lines give from `start`; *in_flight receives the
// last intent not followed by its confirmation (kind 0 when none).
State Replay(State start, const std::vector<LogLine>& lines, LogLine* in_flight);

struct Outcome {
  int result = 0;
  bool reported = false;  // the error service heard of something during the call
  bool confirmed() const { return result == 0 && !reported; }
};
// One exported call on a row made of the address and the object.
Outcome Observed(const std::string& address, const Object& object,
                 const std::function<int(CTBObjetAts*)>& call);
// Looks an address up: 0 and its object, or the call's code.
int Lookup(CTBData* base, const std::string& address, Object* found);
// Looks a symbol up: 0 and its address, or the call's code.
int LookupSymbol(CTBData* base, const std::string& symbol, std::string* address);

// Opens a base in a handle of its own: null when the open failed or made a
// report other than a rollback (which *why then receives).
CTBData* OpenBase(const std::string& directory, std::string* why);
void CloseBase(CTBData* base);
// TBCheckBaseSymbol: "" when the base is sound, else its findings.
std::string CheckFindings(const std::string& directory);

// A base opened by a fresh handle and read whole through the export,
// checked by TBCheckBaseSymbol and the independent readers (python-dbf,
// Perl XBase::Index), against what was expected. The address of
// `tolerated` (an intent) may also hold what that intent writes.
struct Verdict {
  std::size_t objects = 0;
  int repairs = 0;    // rollbacks the open made (code 1)
  int lost = 0;       // expected objects absent or changed
  int undeleted = 0;  // objects expected gone but present
  std::string first;  // the first difference
  std::string why;    // the open or the listing failed
  std::string findings;
  std::string readers;  // their disagreement, or "unavailable"
  bool Disagreeing() const { return !readers.empty() && readers != "unavailable"; }
  bool Passed() const {
    return why.empty() && lost == 0 && undeleted == 0 && findings.empty() && !Disagreeing();
  }
  std::string Text() const;
};
Verdict Audit(const std::string& directory, const State& expected,
              const LogLine* tolerated = nullptr);

// Options "--name value" after the trial's name.
struct Options {
  Options(int argc, char** argv);
  long Number(const std::string& name, long fallback) const;
  std::map<std::string, std::string> values;
};

// The folder a trial works in: --dir, or a new one under /tmp.
std::string WorkFolder(const Options& options);
// A fresh, empty base in a new folder under `parent`; its path ends with '/'.
std::string NewBase(const std::string& parent, const std::string& name);
void RemoveTree(const std::string& path);
// Prints PASSED or FAILED and removes the work folder (unless --keep 1):
// the exit status.
int Finish(const Options& options, const std::string& work, bool passed);

// A child process running `body`, which returns its exit status.
pid_t Spawn(const std::function<int()>& body);
// The child's exit status, or 128 + the signal that ended it.
int WaitFor(pid_t pid);

// Each trial kind: 0 when everything held.
int RunWriters(const Options& options);
int RunKills(const Options& options);
int RunDamage(const Options& options);
int RunDiskFull(const Options& options);

}  // namespace stress

#endif
