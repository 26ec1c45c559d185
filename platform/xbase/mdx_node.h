#ifndef SYMBASE_XBASE_MDX_NODE_H
#define SYMBASE_XBASE_MDX_NODE_H

#include <cstdint>
#include <cstring>

#include "xbase/mdx_format.h"

// A view over one node block: n items of (pointer, key) and, after them, the
// right-pointer word (a child page in an interior node, zero in a leaf).
// Edits move that word with the items and keep the rest of the block zero,
// which is how readers tell a leaf from an interior node.

namespace xbase {
namespace mdx {

class Node {
 public:
  Node() = default;
  Node(std::uint8_t* block, std::uint32_t item_length) : b_(block), item_(item_length) {}

  std::uint8_t* block() const { return b_; }
  std::uint32_t count() const { return Get32(b_ + kNodeCount); }
  std::uint8_t* item(std::uint32_t i) const { return b_ + kNodeItems + i * item_; }
  std::uint32_t pointer(std::uint32_t i) const { return Get32(item(i)); }
  const std::uint8_t* key(std::uint32_t i) const { return item(i) + 4; }
  std::uint32_t right() const { return Get32(item(count())); }
  // Child i of an interior node, i in [0, count]: count means the right pointer.
  std::uint32_t child(std::uint32_t i) const { return Get32(item(i)); }

  void set_pointer(std::uint32_t i, std::uint32_t v) const { Put32(item(i), v); }
  void set_right(std::uint32_t v) const { Put32(item(count()), v); }
  void set_key(std::uint32_t i, const std::uint8_t* key, std::uint32_t key_length) const {
    std::memcpy(item(i) + 4, key, key_length);
  }

  // Opens `n` zeroed item slots at `at` (at <= count).
  void Open(std::uint32_t at, std::uint32_t n) const {
    std::uint8_t* from = item(at);
    std::memmove(from + n * item_, from, (count() - at) * item_ + 4);
    std::memset(from, 0, n * item_);
    Put32(b_ + kNodeCount, count() + n);
  }
  // Removes `n` items from `at` and zeroes what they leave behind.
  void Erase(std::uint32_t at, std::uint32_t n) const {
    std::uint32_t old_count = count();
    std::uint8_t* to = item(at);
    std::memmove(to, to + n * item_, (old_count - at - n) * item_ + 4);
    std::memset(item(old_count - n) + 4, 0, n * item_);
    Put32(b_ + kNodeCount, old_count - n);
  }
  // Inserts one item (pointer, key) at `at`.
  void Insert(std::uint32_t at, std::uint32_t pointer, const std::uint8_t* key,
              std::uint32_t key_length) const {
    Open(at, 1);
    set_pointer(at, pointer);
    set_key(at, key, key_length);
  }
  void Clear() const { std::memset(b_, 0, kBlockSize); }

 private:
  std::uint8_t* b_ = nullptr;
  std::uint32_t item_ = 0;
};

}  // namespace mdx
}  // namespace xbase

#endif
