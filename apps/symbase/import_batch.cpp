#include "import_batch.h"

#include <string>

namespace cli {

ImportBatch::~ImportBatch() {
  if (open_) Close();
}

void ImportBatch::Before() {
  if (!on_ || open_) return;
  int result = TBBeginBatch(base_.Handle());
  base_.CheckNoReport("cannot begin writing");
  if (result != 0) base_.ThrowResult(result, "cannot begin writing");
  open_ = true;
  began_ = std::chrono::steady_clock::now();
}

void ImportBatch::Done(const TableRow& row, const RowResult& result) {
  if (!open_) {
    summary_->Count(row, result);
    return;
  }
  rows_.emplace_back(&row, result);
  std::chrono::duration<double> held = std::chrono::steady_clock::now() - began_;
  if (rows_.size() >= kRows || held.count() >= kSeconds) End();
}

int ImportBatch::Close() {
  open_ = false;
  int result = TBEndBatch(base_.Handle());
  if (result == 0) {
    for (const auto& [row, done] : rows_) summary_->Count(*row, done);
  } else if (!rows_.empty()) {
    summary_->StoppedAt(*rows_.front().first);
  }
  rows_.clear();
  return result;
}

void ImportBatch::End() {
  if (!open_) return;
  const TableRow* first = rows_.empty() ? nullptr : rows_.front().first;
  std::string doing = first == nullptr ? std::string("cannot write the rows")
                                       : "cannot write lines " + std::to_string(first->line) +
                                             " to " + std::to_string(rows_.back().first->line);
  int result = Close();
  base_.CheckNoReport(doing);
  if (result != 0) base_.ThrowResult(result, doing);
}

}  // namespace cli
