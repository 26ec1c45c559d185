#include "row_index.h"

#include <functional>
#include <string_view>

namespace cli {

std::size_t RowIndex::Claim(std::size_t row) {
  if (2 * (used_ + 1) > slots_.size()) Grow(slots_.empty() ? 16 : 2 * slots_.size());
  std::uint32_t hash = HashOf(row);
  Slot* slot = Find(row, hash);
  if (slot->entry != kEmpty) return slot->entry - 1;
  *slot = {hash, static_cast<std::uint32_t>(row + 1)};
  ++used_;
  return kNone;
}

void RowIndex::Release(std::size_t row) {
  if (slots_.empty()) return;
  Slot* slot = Find(row, HashOf(row));
  if (slot->entry == row + 1) slot->entry = kReleased;
}

RowIndex::Slot* RowIndex::Find(std::size_t row, std::uint32_t hash) {
  const std::string& text = text_of_(rows_[row]);
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.entry == kEmpty) return &slot;
    if (slot.entry != kReleased && slot.hash == hash && text_of_(rows_[slot.entry - 1]) == text) {
      return &slot;
    }
  }
}

std::uint32_t RowIndex::HashOf(std::size_t row) const {
  return static_cast<std::uint32_t>(std::hash<std::string_view>()(text_of_(rows_[row])));
}

void RowIndex::Grow(std::size_t capacity) {
  std::vector<Slot> old(capacity, Slot{0, kEmpty});
  old.swap(slots_);
  used_ = 0;
  std::size_t mask = capacity - 1;
  for (const Slot& slot : old) {
    if (slot.entry == kEmpty || slot.entry == kReleased) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].entry != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
    ++used_;
  }
}

}  // namespace cli
