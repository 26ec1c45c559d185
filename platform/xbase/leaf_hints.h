#ifndef SYMBASE_XBASE_LEAF_HINTS_H
#define SYMBASE_XBASE_LEAF_HINTS_H

#include <cstddef>
#include <cstdint>

#include "xbase/mdx_format.h"

// Where the last entries went into an index file's leaves, a slot per few
// pages, so that an entry that follows a run of entries, each placed right
// after the one before, can split a full leaf after itself (mdx_insert.cpp).
// A hint only: a stale slot costs nothing but an even split. Slots are keyed
// by page, so the tags of one file never clash.

namespace xbase {

class LeafHints {
 public:
  // Entries in a run before this one that make a full leaf split after it.
  static constexpr std::uint32_t kRunLength = 2;

  // Whether the entry placed last in the leaf at page went at pos.
  bool PlacedLastAt(std::uint32_t page, std::uint32_t pos) const {
    const Slot& slot = SlotOf(page);
    return slot.page == page && slot.pos == pos;
  }
  // Entries before one placed at pos of the leaf at page that each went
  // right after the one before it.
  std::uint32_t RunTo(std::uint32_t page, std::uint32_t pos) const {
    return pos > 0 && PlacedLastAt(page, pos - 1) ? SlotOf(page).run + 1 : 0;
  }
  void Note(std::uint32_t page, std::uint32_t pos, std::uint32_t run) {
    slots_[page / mdx::kPagesPerBlock % kSlots] = Slot{page, pos, run};
  }

 private:
  struct Slot {
    std::uint32_t page = 0;
    std::uint32_t pos = 0;
    std::uint32_t run = 0;
  };
  static constexpr std::size_t kSlots = 64;
  const Slot& SlotOf(std::uint32_t page) const {
    return slots_[page / mdx::kPagesPerBlock % kSlots];
  }
  Slot slots_[kSlots];
};

}  // namespace xbase

#endif
