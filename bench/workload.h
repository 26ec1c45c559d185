#ifndef SYMBASE_BENCH_WORKLOAD_H
#define SYMBASE_BENCH_WORKLOAD_H

// The benchmark's workload, run the same way on every store: append every row
// (one write unit per row), seek every key of each index, walk each index top
// to bottom, delete a tenth of the rows by key, compact. The answers are
// checked as the work goes and once more at the end, so that a store that is
// fast because it is wrong fails instead of winning.

#include <cstddef>
#include <string>
#include <vector>

#include "bench_rows.h"

namespace bench {

enum Phase {
  kInsert,
  kSeekCle,
  kSeekRepere,
  kSeekSymbole,
  kWalkCle,
  kWalkRepere,
  kWalkSymbole,
  kDelete,
  kCompact,
  kPhaseCount
};

// The three indexes of the main table.
enum TagId { kCle, kRepere, kSymbole, kTagCount };

const char* PhaseName(Phase phase);
const char* TagName(TagId tag);

// One store under test. Every operation returns false, with a sentence in
// failure(), on an error or a wrong answer.
class Store {
 public:
  virtual ~Store() = default;

  // Adds the row and makes it durable as one unit of work.
  virtual bool Insert(const BenchRow& row) = 0;
  // Finds the row by its key on `tag` and checks it is that row.
  virtual bool Seek(TagId tag, const BenchRow& row) = 0;
  // Checks that no live row has the row's key on `tag`.
  virtual bool Absent(TagId tag, const BenchRow& row) = 0;
  // Visits every live row in the tag's key order, checking that the keys
  // strictly ascend; *count receives the number of rows visited.
  virtual bool Walk(TagId tag, long* count) = 0;
  // Finds the row by its address key and deletes it, as one unit of work.
  virtual bool Delete(const BenchRow& row) = 0;
  // Removes the deleted rows for good and rebuilds the indexes.
  virtual bool Compact() = 0;
  // Untimed: the store's own consistency check; *rows receives the number of
  // rows the table holds.
  virtual bool Check(long* rows) = 0;
  // The size of the store's files.
  virtual long long BytesOnDisk() = 0;

  const std::string& failure() const { return failure_; }
  // Records the first failure (naming the row when given); returns false.
  bool Fail(const std::string& what, const BenchRow* row = nullptr);

 private:
  std::string failure_;
};

// Checks that the keys of a walk come in strictly ascending byte order: every
// key of the workload is distinct, so with the right count this proves each
// row was visited once.
class KeyOrder {
 public:
  // True when `key` is above the previous key of this walk.
  bool Next(const char* key, std::size_t length);

 private:
  char previous_[64];
  std::size_t length_ = 0;
  bool started_ = false;
};

struct WorkloadResult {
  double seconds[kPhaseCount] = {};
  long long bytes = 0;  // files after compaction
};

// Runs the whole workload on `store`; false with the store's failure on the
// first wrong answer.
bool RunWorkload(Store* store, const std::vector<BenchRow>& rows, WorkloadResult* result);

}  // namespace bench

#endif
