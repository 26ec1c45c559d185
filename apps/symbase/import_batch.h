#ifndef SYMBASE_APPS_IMPORT_BATCH_H
#define SYMBASE_APPS_IMPORT_BATCH_H

// The rows of an import written by batches: many rows in one write of the
// library (TBBeginBatch ... TBEndBatch) instead of one write each. A batch
// ends after kRows rows or kSeconds, so that other programs wait for the
// base no longer than for one call. A row counts in the summary once its
// batch is written; a batch that cannot be written counts none of its rows
// and the summary stops at its first.

#include <chrono>
#include <utility>
#include <vector>

#include "base.h"
#include "import_summary.h"

namespace cli {

class ImportBatch {
 public:
  static constexpr std::size_t kRows = 4096;
  static constexpr double kSeconds = 0.2;

  // `on` false (rows that wait for a person's answer): every row counts at
  // once and no batch is opened.
  ImportBatch(Base& base, ImportSummary* summary, bool on)
      : base_(base), summary_(summary), on_(on) {}
  // Ends an open batch (an exception is on its way).
  ~ImportBatch();
  ImportBatch(const ImportBatch&) = delete;
  ImportBatch& operator=(const ImportBatch&) = delete;

  // Before a row: opens a batch when none is. Throws InUse or Failure.
  void Before();
  // A row done: counted when its batch is written, which happens here when
  // the batch is full.
  void Done(const TableRow& row, const RowResult& result);
  // Writes the open batch and counts its rows; Failure when it cannot be
  // written.
  void End();

 private:
  // Ends the open batch: its rows count once it is written, otherwise the
  // summary stops at its first. The library's result.
  int Close();

  Base& base_;
  ImportSummary* summary_;
  bool on_;
  bool open_ = false;
  std::chrono::steady_clock::time_point began_;
  std::vector<std::pair<const TableRow*, RowResult>> rows_;
};

}  // namespace cli

#endif
