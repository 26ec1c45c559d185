#ifndef SYMBASE_XBASE_RECORD_CACHE_H
#define SYMBASE_XBASE_RECORD_CACHE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

// Records of a table kept in memory by blocks of about 4 KB, so that walks
// and seeks read the file once per block, not once per row. Direct-mapped:
// a block has one slot, and a block read into it replaces the one there.
// Slots get their memory when first used, once. The owner writes through:
// it tells the cache of every record it writes and forgets everything when
// another process may have changed the file.
class RecordCache {
 public:
  // Records of `record_length` bytes; forgets everything.
  void Configure(std::size_t record_length);
  void Clear();

  // Record n's bytes, or null when its block is not held.
  const char* Find(std::uint32_t n) const;
  // The buffer to read the block of record n into, and the block's first
  // record; Fill then says how many records the read brought.
  char* Prepare(std::uint32_t n, std::uint32_t* first);
  void Fill(std::uint32_t n, std::uint32_t records);
  std::uint32_t records_per_block() const { return per_block_; }

  // Record n was written with these bytes: a held copy follows.
  void Update(std::uint32_t n, const char* bytes);
  // The table grew or shrank past record n: its block is read again.
  void Forget(std::uint32_t n);

 private:
  struct Slot {
    std::uint32_t first = 0;  // 0: empty
    std::uint32_t count = 0;
    std::string bytes;
  };
  Slot& SlotOf(std::uint32_t n);
  const Slot& SlotOf(std::uint32_t n) const;
  std::uint32_t FirstOfBlock(std::uint32_t n) const {
    return (n - 1) / per_block_ * per_block_ + 1;
  }

  std::size_t record_length_ = 0;
  std::uint32_t per_block_ = 1;
  std::vector<Slot> slots_;
};

}  // namespace xbase

#endif
