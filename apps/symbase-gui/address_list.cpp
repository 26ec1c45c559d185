#include "address_list.h"

#include <algorithm>
#include <cstring>

namespace gui {

namespace {

constexpr int kLongest = 255;

}  // namespace

QByteArray AddressList::At(int row) const {
  return QByteArray(bytes_.data() + starts_[row], lengths_[row]);
}

void AddressList::Append(const QByteArray& address) {
  const int length = std::min(static_cast<int>(address.size()), kLongest);
  starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  lengths_.push_back(static_cast<std::uint8_t>(length));
  bytes_.insert(bytes_.end(), address.constData(), address.constData() + length);
}

void AddressList::Remove(int row) {
  starts_.erase(starts_.begin() + row);
  lengths_.erase(lengths_.begin() + row);
}

void AddressList::Clear() {
  bytes_ = std::vector<char>();
  starts_ = std::vector<std::uint32_t>();
  lengths_ = std::vector<std::uint8_t>();
}

int AddressList::Find(const QByteArray& address) const {
  for (int row = 0; row < Size(); ++row) {
    if (lengths_[row] == address.size() &&
        std::memcmp(bytes_.data() + starts_[row], address.constData(), lengths_[row]) == 0) {
      return row;
    }
  }
  return -1;
}

}  // namespace gui
