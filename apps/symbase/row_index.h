#ifndef SYMBASE_APPS_ROW_INDEX_H
#define SYMBASE_APPS_ROW_INDEX_H

// The rows of a table found by one of their texts (the address, the
// symbol): an open-addressed table of row numbers whose texts stay in the
// rows, so that a lookup reads one run of slots instead of a chain of nodes.
// The table doubles when half full.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "object_table.h"

namespace cli {

class RowIndex {
 public:
  using TextOf = const std::string& (*)(const TableRow& row);
  static constexpr std::size_t kNone = SIZE_MAX;
  static constexpr std::size_t kMaxRows = UINT32_MAX - 1;

  RowIndex(const std::vector<TableRow>& rows, TextOf text_of) : rows_(rows), text_of_(text_of) {}

  // Files `row` (below kMaxRows) under its text, unless a row filed before
  // has that text: then `row` is not filed and that row is returned.
  std::size_t Claim(std::size_t row);

  // Takes `row` out: its text is free again.
  void Release(std::size_t row);

 private:
  struct Slot {
    std::uint32_t hash;
    std::uint32_t entry;  // the row + 1; kEmpty or kReleased
  };
  static constexpr std::uint32_t kEmpty = 0;
  static constexpr std::uint32_t kReleased = UINT32_MAX;

  // The slot holding a row with `row`'s text, or the empty slot ending its run.
  Slot* Find(std::size_t row, std::uint32_t hash);
  std::uint32_t HashOf(std::size_t row) const;
  void Grow(std::size_t capacity);

  const std::vector<TableRow>& rows_;
  TextOf text_of_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;  // filed and released slots
};

}  // namespace cli

#endif
