#ifndef SYMBASE_XBASE_HELD_ROWS_H
#define SYMBASE_XBASE_HELD_ROWS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Rows of one table side by side in chunks of the caches' memory
// (cache_budget.h), as compaction writes them: each chunk goes to the file
// when full. When the budget has room for every row, they all stay, and the
// new tags are built from them without reading the table again; the chunks
// are those the table's caches have just left, so holding the rows touches
// no new memory. Otherwise one chunk is used again and again.

namespace xbase {

class HeldRows {
 public:
  // Rows of `length` bytes, at most a chunk.
  explicit HeldRows(std::size_t length);
  ~HeldRows();
  HeldRows(const HeldRows&) = delete;
  HeldRows& operator=(const HeldRows&) = delete;

  // Keeps every row added from now on when the budget has room for `count`
  // of them; whether it does.
  bool HoldAll(std::uint32_t count);
  // Adds a row; true when it fills its chunk.
  bool Add(const char* row);
  // The rows of the chunk begun last, and their bytes (0 when none).
  const char* last() const { return chunks_.empty() ? nullptr : chunks_.back(); }
  std::size_t last_bytes() const { return in_last_ * length_; }
  bool last_full() const { return in_last_ == per_chunk_; }
  // Visits the rows held, numbered from 1; only when holding all.
  int Scan(const std::function<int(std::uint32_t, const char*)>& visit) const;

 private:
  std::size_t length_;
  std::size_t per_chunk_;
  std::size_t in_last_ = 0;  // rows in the last chunk
  std::size_t taken_ = 0;    // bytes taken from the budget
  bool all_ = false;
  std::vector<char*> chunks_;
};

}  // namespace xbase

#endif
