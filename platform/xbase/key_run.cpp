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

// The bytes of a key that its entry's head and next hold, one sort digit each.
constexpr unsigned kDigits = 12;

// The first twelve bytes of a key (zeros past its end) as an entry's head
// and next, big-endian.
KeyRun::Headed HeadOf(const char* key, std::size_t length, std::uint32_t at) {
  unsigned char first[kDigits] = {};
  std::memcpy(first, key, std::min<std::size_t>(length, sizeof first));
  std::uint64_t head;
  std::uint32_t next;
  std::memcpy(&head, first, 8);
  std::memcpy(&next, first + 8, 4);
  return KeyRun::Headed{__builtin_bswap64(head), __builtin_bswap32(next), at};
}

// Byte `d` of an entry's (head, next), the most significant first.
unsigned Digit(const KeyRun::Headed& h, unsigned d) {
  return static_cast<unsigned>(d < 8 ? h.head >> (56 - 8 * d) : h.next >> (24 - 8 * (d - 8))) &
         0xFFu;
}

bool HeadLess(const KeyRun::Headed& a, const KeyRun::Headed& b) {
  return a.head != b.head ? a.head < b.head : a.next < b.next;
}

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

// The digits that every entry shares, first to last: the sort begins at the
// first that tells some apart, in one pass where counting would take one a
// digit (the keys of a tag often begin alike).
unsigned SharedDigits(const KeyRun::Headed* first, const KeyRun::Headed* last) {
  std::uint64_t head = 0;
  std::uint32_t next = 0;
  for (const KeyRun::Headed* h = first; h != last; ++h) {
    head |= h->head ^ first->head;
    next |= h->next ^ first->next;
  }
  if (head != 0) return static_cast<unsigned>(__builtin_clzll(head)) / 8;
  return next != 0 ? 8 + static_cast<unsigned>(__builtin_clz(next)) / 8 : kDigits;
}

}  // namespace

void KeyRun::Sort() {
  const char* keys = keys_.data();
  const std::size_t length = key_length_;
  headed_.clear();
  headed_.reserve(records_.size());
  for (std::uint32_t at = 0; at < records_.size(); ++at) {
    headed_.push_back(HeadOf(keys + at * length, length, at));
  }
  Headed* first = headed_.data();
  Headed* last = first + headed_.size();
  SortHeadsFrom(first, last, SharedDigits(first, last));
  // Entries whose first twelve bytes agree: by the rest of the key, then by record.
  auto tail_less = [&](const Headed& a, const Headed& b) {
    const int c = length <= kDigits ? 0
                                    : std::memcmp(keys + a.at * length + kDigits,
                                                  keys + b.at * length + kDigits, length - kDigits);
    return c != 0 ? c < 0 : records_[a.at] < records_[b.at];
  };
  for (auto same = headed_.begin(); same != headed_.end();) {
    auto end = same + 1;
    while (end != headed_.end() && end->head == same->head && end->next == same->next) ++end;
    if (end - same > 1) std::sort(same, end, tail_less);
    same = end;
  }
}

void KeyRun::Clear() {
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(records_);
  std::vector<Headed>().swap(headed_);
}

}  // namespace xbase
