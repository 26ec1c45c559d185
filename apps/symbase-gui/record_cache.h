#ifndef SYMBASE_APPS_GUI_RECORD_CACHE_H
#define SYMBASE_APPS_GUI_RECORD_CACHE_H

// The texts of the rows a view shows, kept by pages of consecutive rows; the
// least recently used page goes when the cache is full, so that scrolling
// through a large base keeps a bounded number of rows in memory.

#include <list>
#include <unordered_map>
#include <vector>

#include "object_row.h"

namespace gui {

class RecordCache {
 public:
  static constexpr int kPageRows = 50;

  explicit RecordCache(int capacityPages) : capacity_(capacityPages) {}

  // The page of `row`, or null when it is not kept; a hit makes it the most
  // recently used.
  std::vector<ObjectRow>* Find(int page);
  // Keeps a page, making room first; returns where it is kept.
  std::vector<ObjectRow>* Put(int page, std::vector<ObjectRow> rows);
  bool Full() const { return static_cast<int>(pages_.size()) >= capacity_; }
  void Drop(int page);
  void Clear();
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int RowCount() const;

 private:
  struct Entry {
    std::vector<ObjectRow> rows;
    std::list<int>::iterator use;
  };
  int capacity_;
  std::unordered_map<int, Entry> pages_;
  std::list<int> uses_;  // most recent first
};

}  // namespace gui

#endif
