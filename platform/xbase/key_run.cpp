#include "xbase/key_run.h"

#include <algorithm>
#include <cstring>

namespace xbase {

void KeyRun::Reserve(std::size_t entries) {
  keys_.reserve(entries * key_length_);
  records_.reserve(entries);
  order_.reserve(entries);
}

void KeyRun::Add(const char* key, std::uint32_t record) {
  keys_.append(key, key_length_);
  records_.push_back(record);
  order_.push_back(static_cast<std::uint32_t>(order_.size()));
}

void KeyRun::Sort() {
  const char* keys = keys_.data();
  const std::size_t length = key_length_;
  std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = std::memcmp(keys + a * length, keys + b * length, length);
    return c != 0 ? c < 0 : records_[a] < records_[b];
  });
}

void KeyRun::Clear() {
  std::string().swap(keys_);
  std::vector<std::uint32_t>().swap(records_);
  std::vector<std::uint32_t>().swap(order_);
}

}  // namespace xbase
