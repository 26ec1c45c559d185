#include "xbase/key_counts.h"

#include <cstring>

namespace xbase {

const KeyCounts::Count* KeyCounts::Lookup(const std::uint8_t* prefix, std::size_t length) const {
  for (const Count& c : counts_) {
    if (c.prefix.size() == length && std::memcmp(c.prefix.data(), prefix, length) == 0) return &c;
  }
  return nullptr;
}

bool KeyCounts::Find(const std::uint8_t* prefix, std::size_t length, std::uint64_t* count) const {
  const Count* c = Lookup(prefix, length);
  if (c == nullptr) return false;
  *count = c->keys;
  return true;
}

void KeyCounts::Remember(const std::uint8_t* prefix, std::size_t length, std::uint64_t count) {
  if (Lookup(prefix, length) != nullptr) return;
  if (counts_.size() >= kKept) counts_.erase(counts_.begin());
  counts_.push_back(Count{std::string(reinterpret_cast<const char*>(prefix), length), count});
}

void KeyCounts::Rebuilt(std::uint64_t entries) {
  static const std::uint8_t kAll = 0;
  counts_.clear();
  Remember(&kAll, 0, entries);
}

void KeyCounts::Move(const std::uint8_t* key, std::size_t key_length, int by) {
  for (Count& c : counts_) {
    if (c.prefix.size() > key_length || std::memcmp(c.prefix.data(), key, c.prefix.size()) != 0) {
      continue;
    }
    if (by > 0) {
      ++c.keys;
    } else if (c.keys > 0) {
      --c.keys;
    }
  }
}

}  // namespace xbase
