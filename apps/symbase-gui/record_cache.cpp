#include "record_cache.h"

namespace gui {

std::vector<ObjectRow>* RecordCache::Find(int page) {
  auto found = pages_.find(page);
  if (found == pages_.end()) return nullptr;
  uses_.splice(uses_.begin(), uses_, found->second.use);
  return &found->second.rows;
}

std::vector<ObjectRow>* RecordCache::Put(int page, std::vector<ObjectRow> rows) {
  Drop(page);
  while (Full() && !uses_.empty()) Drop(uses_.back());
  uses_.push_front(page);
  Entry& entry = pages_[page];
  entry.rows = std::move(rows);
  entry.use = uses_.begin();
  return &entry.rows;
}

void RecordCache::Drop(int page) {
  auto found = pages_.find(page);
  if (found == pages_.end()) return;
  uses_.erase(found->second.use);
  pages_.erase(found);
}

void RecordCache::Clear() {
  pages_.clear();
  uses_.clear();
}

int RecordCache::RowCount() const {
  int rows = 0;
  for (const auto& page : pages_) rows += static_cast<int>(page.second.rows.size());
  return rows;
}

}  // namespace gui
