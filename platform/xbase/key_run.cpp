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

// Byte `d` of an entry's (head, next), the most significant first.
unsigned Digit(const KeyRun::Headed& h, unsigned d) {
  return static_cast<unsigned>(d < 8 ? h.head >> (56 - 8 * d) : h.next >> (24 - 8 * (d - 8))) &
         0xFFu;
}

bool HeadLess(const KeyRun::Headed& a, const KeyRun::Headed& b) {
  return a.head != b.head ? a.head < b.head : a.next < b.next;
}

constexpr unsigned kDigits = 12;
constexpr std::size_t kFewEntries = 64;  // sorted by comparison

// In place, most significant byte first (American flag sort): no second
// buffer, so a large tag's run takes no more memory to sort than to hold.
// A byte that every entry of the range shares costs one counting pass.
void SortHeadsFrom(KeyRun::Headed* first, KeyRun::Headed* last, unsigned d) {
  for (; d < kDigits; ++d) {
    const std::size_t n = static_cast<std::size_t>(last - first);
    if (n < kFewEntries) {
      std::sort(first, last, HeadLess);
      return;
    }
    std::size_t count[256] = {};
    for (const KeyRun::Headed* h = first; h != last; ++h) ++count[Digit(*h, d)];
    if (count[Digit(*first, d)] == n) continue;
    std::size_t next[256], end[256];
    for (std::size_t b = 0, at = 0; b < 256; ++b) {
      next[b] = at;
      at += count[b];
      end[b] = at;
    }
    for (unsigned b = 0; b < 256; ++b) {
      while (next[b] < end[b]) {
        KeyRun::Headed h = first[next[b]];
        for (unsigned hb = Digit(h, d); hb != b; hb = Digit(h, d)) std::swap(h, first[next[hb]++]);
        first[next[b]++] = h;
      }
    }
    for (std::size_t b = 0, at = 0; b < 256; at = end[b++]) {
      if (end[b] - at > 1) SortHeadsFrom(first + at, first + end[b], d + 1);
    }
    return;
  }
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
  SortHeadsFrom(headed_.data(), headed_.data() + headed_.size(), 0);
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

void KeyRun::Clear() {
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(records_);
  std::vector<Headed>().swap(headed_);
}

}  // namespace xbase
