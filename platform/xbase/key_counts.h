#ifndef SYMBASE_XBASE_KEY_COUNTS_H
#define SYMBASE_XBASE_KEY_COUNTS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What one tag's counts came to, kept while the tag only changes through
// this file: the number of keys that begin with a prefix (the empty prefix
// counts them all). Each insertion and removal moves the counts of the
// prefixes its key begins with, so a count asked again costs nothing; a
// tree rebuilt or reread from the file forgets them. Few prefixes are kept:
// a new one takes the place of the oldest.

namespace xbase {

class KeyCounts {
 public:
  static constexpr std::size_t kKept = 8;

  // The remembered count of the keys beginning with prefix[0..length).
  bool Find(const std::uint8_t* prefix, std::size_t length, std::uint64_t* count) const;
  void Remember(const std::uint8_t* prefix, std::size_t length, std::uint64_t count);

  // A key of the tag went in or out.
  void Added(const std::uint8_t* key, std::size_t key_length) { Move(key, key_length, 1); }
  void Removed(const std::uint8_t* key, std::size_t key_length) { Move(key, key_length, -1); }

  // Every count forgotten; after a rebuild, the whole tag's count known again.
  void Forget() { counts_.clear(); }
  void Rebuilt(std::uint64_t entries);

 private:
  struct Count {
    std::string prefix;
    std::uint64_t keys = 0;
  };

  const Count* Lookup(const std::uint8_t* prefix, std::size_t length) const;
  void Move(const std::uint8_t* key, std::size_t key_length, int by);

  std::vector<Count> counts_;  // oldest first
};

}  // namespace xbase

#endif  // SYMBASE_XBASE_KEY_COUNTS_H
