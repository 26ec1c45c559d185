#ifndef SYMBASE_XBASE_KEY_RUN_H
#define SYMBASE_XBASE_KEY_RUN_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The entries of one tag gathered to build its tree in one go: keys of one
// length side by side in a single buffer with their record numbers, then
// put in key order (byte by byte; equal keys by record). No allocation per
// entry, and a sort that moves small entries (a key's position with its first
// bytes), not keys: by radix on those bytes, then by comparison among the
// few entries they do not tell apart.

namespace xbase {

class KeyRun {
 public:
  explicit KeyRun(std::size_t key_length) : key_length_(key_length) {}

  // Makes room for `entries` entries.
  void Reserve(std::size_t entries);
  // Empties the run for keys of `key_length` bytes, keeping its memory: the
  // tags of one file are built one after the other in the same pages.
  void Restart(std::size_t key_length);
  // Adds the first key_length bytes of `key` for `record`.
  void Add(const char* key, std::uint32_t record);
  // Puts the entries in order; Add after Sort is not allowed.
  void Sort();
  // Frees the memory.
  void Clear();

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  std::size_t key_length() const { return key_length_; }
  // The i-th entry, in order once sorted.
  const std::uint8_t* key(std::size_t i) const {
    return reinterpret_cast<const std::uint8_t*>(keys_.data()) + position(i) * key_length_;
  }
  std::uint32_t record(std::size_t i) const { return records_[position(i)]; }

  // A position with the first twelve bytes of its key read big-endian, so
  // that integer order is byte order: most comparisons of the sort end
  // there, without reaching into the keys at random.
  struct Headed {
    std::uint64_t head;
    std::uint32_t next;
    std::uint32_t at;
  };

 private:
  std::size_t key_length_;
  std::string keys_;
  std::vector<std::uint32_t> records_;
  std::vector<Headed> headed_;  // in key order once sorted, else empty

  // Where the i-th entry in order was added.
  std::size_t position(std::size_t i) const { return headed_.empty() ? i : headed_[i].at; }
};

}  // namespace xbase

#endif
