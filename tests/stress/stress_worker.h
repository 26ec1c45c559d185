#ifndef SYMBASE_TESTS_STRESS_STRESS_WORKER_H
#define SYMBASE_TESTS_STRESS_STRESS_WORKER_H

#include <random>
#include <string>
#include <vector>

#include "stress/stress_base.h"

// A process's share of the work: it alone writes the addresses under its
// prefix (but for a few symbols that every worker tries to take), keeps the
// state it expects of them, logs each operation before the call and each
// confirmation after it, and checks what it reads of its own addresses.

namespace stress {

enum class Mix { kCreates, kInserts, kMixed };

struct WorkerCounts {
  long confirmed = 0;
  long busy = 0;     // 104 given up after the retries
  long refused = 0;  // 101: a shared symbol another worker holds
  long failed = 0;   // any other result, or a report
  long wrong = 0;    // a read of its own address that is not what it wrote
};

class Worker {
 public:
  // `first` is the number of its first address (%MW<first>, %MW<first+1> ...).
  Worker(CTBData* base, int log_fd, long first, unsigned seed, State model);

  // One operation of the mix, retried while the base is busy.
  void Step(Mix mix);
  // Takes the symbols of the shared pool now and then (writers only).
  void set_shared_pool(int symbols) { shared_pool_ = symbols; }

  const State& model() const { return model_; }
  const WorkerCounts& counts() const { return counts_; }
  std::string first_failure() const { return first_failure_; }

 private:
  std::string NewAddress();
  std::string NewSymbol(bool shared);
  std::string AnyAddress();
  Object Fresh(bool comment, bool shared);
  // Sends `sent` through `call`; `after` is the state it leaves.
  void Write(const std::string& address, const Object& sent, const Object& after,
             int (*call)(CTBData*, CTBObjetAts*, int), int mode);
  void Remove(const std::string& address);
  void ReadBack(const std::string& address);
  Outcome Retried(const std::function<Outcome()>& call);
  void Note(const std::string& what, const Outcome& outcome);

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

// A fresh base filled by one worker (addresses from %MW1000, log discarded):
// `objects` operations, the first half creations, the rest of `rest`. The
// state it confirmed.
State Fill(const std::string& directory, long objects, unsigned seed, Mix rest = Mix::kCreates);

}  // namespace stress

#endif
