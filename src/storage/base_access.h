#ifndef SYMBASE_STORAGE_BASE_ACCESS_H
#define SYMBASE_STORAGE_BASE_ACCESS_H

#include "storage/tb_data.h"

// One call's hold on the open base, for the whole call: shared to read,
// exclusive to write (the engine's transaction). Other processes wait for
// it up to a short time and then get 104. A write call's changes reach the
// files together when it ends, or not at all: a call that meets a write
// failure, or an exception, leaves the base as it was. Calls made while one
// is running (by a dialog's host, or inside a batch) run inside it.
//
// Reports go to the host's error service under index 22 with the source
// "Tabiserr": a transaction that could not be taken (other than 104) or
// committed, with the engine's code and, as text, the file and the system's
// reason when a file call failed ("/base/KR9S.MDX: No space left on
// device"); a write that a process left half-done and that was rolled back,
// with code 1 and the main table's path as text; such a write found without
// its journal, with code -66.

namespace symbase {

enum class Access { kRead, kWrite };

// What a failed commit does to the call's result: replaces a result that
// is not already a failure, or leaves it (operations that return 0 however
// their writes went; the failure is then known by its report alone).
enum class CommitFailure { kReplacesResult, kReportedOnly };

// How long a call waits for another process's call on the same base.
constexpr int kBusyTimeoutMilliseconds = 2000;
constexpr int kTransactionIndex = 22;

class BaseAccess {
 public:
  BaseAccess(CTBData& base, Access access);
  // A call left by an exception: its writes are undone.
  ~BaseAccess();
  BaseAccess(const BaseAccess&) = delete;
  BaseAccess& operator=(const BaseAccess&) = delete;

  // 0 when the call may go on; otherwise the engine's result of taking the
  // base (kLocked when another process held it past the wait, or a failure
  // already reported).
  int refusal() const { return refusal_; }
  // Ends the call's transaction and returns its result.
  int Finish(int result, CommitFailure policy = CommitFailure::kReplacesResult);

  // Around a dialog: the base is let go while a person answers (nothing has
  // been written yet), then taken again. Resume returns 0, or 104 / a
  // failure when it cannot be taken again; *changed tells whether another
  // process wrote meanwhile, in which case what the call read before is stale.
  void Pause();
  int Resume(bool* changed);

  // True when a call run inside this one was left by an exception: its
  // writes may be half made.
  bool spoiled() const { return spoiled_; }

 private:
  int Begin();

  CTBData& base_;
  Access access_;
  bool outer_;  // the outermost access of this base: it holds the transaction
  bool held_ = false;
  bool spoiled_ = false;
  int unwinding_;  // exceptions in flight when the access began
  int refusal_ = 0;
  unsigned long paused_at_ = 0;
};

// Reports what opening the base's files repaired (see above).
void ReportRecovery(CTBData& base);

// The engine's optimistic read for the length of one attempt: begun when
// the base's head shows nothing changed and no write under way; ended by
// Confirmed (true: nothing was written meanwhile) or, after an exception,
// by the destructor.
class OptimisticRead {
 public:
  explicit OptimisticRead(CTBData& base);
  ~OptimisticRead();
  OptimisticRead(const OptimisticRead&) = delete;
  OptimisticRead& operator=(const OptimisticRead&) = delete;

  bool begun() const { return begun_; }
  bool Confirmed();

 private:
  CTBData& base_;
  bool begun_;
};

// A short read of the base (a lookup of one object) made first without
// taking the base: when nothing was written meanwhile its result stands, at
// no cost but two loads from memory; otherwise `undo` puts back what it
// changed in its arguments and it runs again holding the base for reading.
// Returns the read's result, or the refusal of the held read (104).
template <typename Read, typename Undo>
int ReadLightly(CTBData& base, Read read, Undo undo) {
  if (base.m_access == nullptr) {
    OptimisticRead attempt(base);
    if (attempt.begun()) {
      const int result = read();
      if (attempt.Confirmed()) return result;
      undo();
    }
  }
  BaseAccess hold(base, Access::kRead);
  if (hold.refusal() != 0) return hold.refusal();
  return hold.Finish(read());
}

}  // namespace symbase

#endif
