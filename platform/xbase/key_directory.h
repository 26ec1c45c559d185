#ifndef SYMBASE_XBASE_KEY_DIRECTORY_H
#define SYMBASE_XBASE_KEY_DIRECTORY_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the keys of one tag are, by a hash of the key: for a tag sought far
// more often than it changes, a seek of a whole key then reads only its row
// instead of a leaf and its row.
//
// Each slot is 32 bits: the record number in the low bits, enough for the
// table's records, and a fingerprint of the key in the others. Two keys of
// the same fingerprint met on one probe path, as a key entered twice is,
// leave a slot that answers nothing: what Find answers has one entry of its
// fingerprint, and a key stored twice is never answered. The answer is a
// candidate only; the caller reads its row and compares the row's key.
//
// The memory comes from the cache budget's share for directories
// (cache_budget.h): a directory that does not fit is not made.

namespace xbase {

class KeyDirectory {
 public:
  KeyDirectory() = default;
  KeyDirectory(const KeyDirectory&) = delete;
  KeyDirectory& operator=(const KeyDirectory&) = delete;
  ~KeyDirectory() { Clear(); }

  // Room for the keys of a tag over a table of `records` records; false,
  // holding nothing, when there are too many records or no share is left.
  bool Start(std::uint32_t records);
  // What a key is known by here.
  static std::uint64_t Hash(const std::uint8_t* key, std::size_t length);
  // Brings in the memory the key of this hash goes to: for entries added
  // many at once.
  void Prefetch(std::uint64_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[Home(hash)], 1);
  }
  // Enters the entry (key of this hash, record); false, and the directory
  // is emptied, when the record is outside the table or the entries more
  // than its records.
  bool Add(std::uint64_t hash, std::uint32_t record);
  // The one record entered with this key's fingerprint, or 0.
  std::uint32_t Find(const std::uint8_t* key, std::size_t length) const;
  // Forgets every entry and gives the memory back.
  void Clear();
  bool empty() const { return slots_.empty(); }

 private:
  std::size_t Home(std::uint64_t hash) const {
    return static_cast<std::size_t>(((hash >> 32) * slots_.size()) >> 32);
  }
  std::uint32_t Fingerprint(std::uint64_t hash) const;

  std::vector<std::uint32_t> slots_;  // 0: empty
  std::uint32_t record_bits_ = 0;
  std::uint32_t record_mask_ = 0;  // also the record of a slot that answers nothing
  std::uint32_t records_ = 0;
  std::uint32_t entries_ = 0;  // a tag holds at most one entry per record
};

}  // namespace xbase

#endif
