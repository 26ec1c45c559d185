#include "xbase/key_run.h"

#include <algorithm>
#include <cstring>

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
  std::sort(headed_.begin(), headed_.end(), [&](const Headed& a, const Headed& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    const int c = length <= kHeadBytes
                      ? 0
                      : std::memcmp(keys + a.at * length + kHeadBytes,
                                    keys + b.at * length + kHeadBytes, length - kHeadBytes);
    return c != 0 ? c < 0 : records_[a.at] < records_[b.at];
  });
}

void KeyRun::Clear() {
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(records_);
  std::vector<Headed>().swap(headed_);
}

}  // namespace xbase
