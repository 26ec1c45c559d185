#include "xbase/key_run.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace xbase {

void KeyRun::Reserve(std::size_t entries) {
  keys_.reserve(entries * key_length_);
  records_.reserve(entries);
}

void KeyRun::Restart(std::size_t key_length) {
  key_length_ = key_length;
  keys_.clear();
  records_.clear();
  headed_.clear();
}

void KeyRun::Add(const char* key, std::uint32_t record) {
  keys_.append(key, key_length_);
  records_.push_back(record);
}

namespace {

// Bytes [from, from + n) of a key as a big-endian number, zeros past its end.
std::uint64_t Bytes(const char* key, std::size_t length, std::size_t from, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = from; i < from + n; ++i) {
    v = (v << 8) | (i < length ? static_cast<unsigned char>(key[i]) : 0u);
  }
  return v;
}

}  // namespace

void KeyRun::Sort() {
  const char* keys = keys_.data();
  const std::size_t length = key_length_;
  constexpr std::size_t kHeadBytes = 12;
  headed_.clear();
  headed_.reserve(records_.size());
  for (std::uint32_t at = 0; at < records_.size(); ++at) {
    const char* key = keys + at * length;
    headed_.push_back(
        Headed{Bytes(key, length, 0, 8), static_cast<std::uint32_t>(Bytes(key, length, 8, 4)), at});
  }
  SortHeads();
  // Entries whose first twelve bytes agree: by the rest of the key, then by record.
  auto tail_less = [&](const Headed& a, const Headed& b) {
    const int c = length <= kHeadBytes
                      ? 0
                      : std::memcmp(keys + a.at * length + kHeadBytes,
                                    keys + b.at * length + kHeadBytes, length - kHeadBytes);
    return c != 0 ? c < 0 : records_[a.at] < records_[b.at];
  };
  for (auto first = headed_.begin(); first != headed_.end();) {
    auto last = first + 1;
    while (last != headed_.end() && last->head == first->head && last->next == first->next) ++last;
    if (last - first > 1) std::sort(first, last, tail_less);
    first = last;
  }
}

// Least significant byte first, one pass per byte of (head, next) that the
// entries do not all share (keys of one kind agree in most of theirs).
void KeyRun::SortHeads() {
  if (headed_.size() < 2) return;
  std::vector<Headed>& moved = moved_;
  moved.resize(headed_.size());
  for (unsigned byte = 0; byte < 12; ++byte) {
    auto digit = [byte](const Headed& h) {
      return static_cast<unsigned>(byte < 4 ? h.next >> (8 * byte) : h.head >> (8 * (byte - 4))) &
             0xFFu;
    };
    std::size_t start[256] = {};
    for (const Headed& h : headed_) ++start[digit(h)];
    if (start[digit(headed_.front())] == headed_.size()) continue;
    std::size_t at = 0;
    for (std::size_t& s : start) at += std::exchange(s, at);
    for (const Headed& h : headed_) moved[start[digit(h)]++] = h;
    headed_.swap(moved);
  }
}

void KeyRun::Clear() {
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(records_);
  std::vector<Headed>().swap(headed_);
  std::vector<Headed>().swap(moved_);
}

}  // namespace xbase
