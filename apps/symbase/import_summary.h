#ifndef SYMBASE_APPS_IMPORT_SUMMARY_H
#define SYMBASE_APPS_IMPORT_SUMMARY_H

// What an import did, counted so that the counts add up to the rows read,
// with every object a replacement moved or removed named.

#include <cstddef>
#include <string>
#include <vector>

#include "insertion.h"
#include "object_table.h"

namespace cli {

class ImportSummary {
 public:
  ImportSummary(const ObjectTable& table, bool dry_run) : table_(table), dry_run_(dry_run) {}

  void Count(const TableRow& row, const RowResult& result);
  // The import stopped before `row` (Ctrl-C or a cancelled question).
  void StoppedAt(const TableRow& row) { stopped_line_ = row.line; }
  bool Stopped() const { return stopped_line_ != 0; }

  // The moves, the kept rows (20 unless --verbose) and the counts; as one
  // JSON document with `json`.
  void Print(bool json) const;
  // "stopped at line 7: the rows before it stay in the base".
  std::string StopMessage() const;

 private:
  struct Named {
    TableRow row;
    RowResult result;
  };
  std::string CountsText() const;
  std::string Json() const;

  const ObjectTable& table_;
  bool dry_run_;
  std::size_t counts_[static_cast<std::size_t>(Outcome::kInterrupted)] = {};  // by outcome
  std::vector<Named> moved_;
  std::vector<Named> kept_;
  int stopped_line_ = 0;
};

}  // namespace cli

#endif
