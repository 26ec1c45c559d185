#include "xbase/record_cache.h"

#include <cstring>

namespace xbase {
namespace {

constexpr std::size_t kBlockBytes = 4096;
constexpr std::size_t kSlots = 2048;  // at most 8 MB of a table in memory

}  // namespace

void RecordCache::Configure(std::size_t record_length) {
  record_length_ = record_length == 0 ? 1 : record_length;
  per_block_ = static_cast<std::uint32_t>(kBlockBytes / record_length_);
  if (per_block_ == 0) per_block_ = 1;
  slots_.assign(kSlots, Slot());
}

void RecordCache::Clear() {
  for (Slot& slot : slots_) slot.first = slot.count = 0;
}

RecordCache::Slot& RecordCache::SlotOf(std::uint32_t n) {
  return slots_[((n - 1) / per_block_) % slots_.size()];
}

const RecordCache::Slot& RecordCache::SlotOf(std::uint32_t n) const {
  return slots_[((n - 1) / per_block_) % slots_.size()];
}

const char* RecordCache::Find(std::uint32_t n) const {
  if (slots_.empty() || n == 0) return nullptr;
  const Slot& slot = SlotOf(n);
  if (slot.first == 0 || n < slot.first || n - slot.first >= slot.count) return nullptr;
  return slot.bytes.data() + (n - slot.first) * record_length_;
}

char* RecordCache::Prepare(std::uint32_t n, std::uint32_t* first) {
  Slot& slot = SlotOf(n);
  slot.first = slot.count = 0;
  if (slot.bytes.size() != per_block_ * record_length_)
    slot.bytes.resize(per_block_ * record_length_);
  *first = FirstOfBlock(n);
  return &slot.bytes[0];
}

void RecordCache::Fill(std::uint32_t n, std::uint32_t records) {
  Slot& slot = SlotOf(n);
  slot.first = records == 0 ? 0 : FirstOfBlock(n);
  slot.count = records;
}

void RecordCache::Update(std::uint32_t n, const char* bytes) {
  const char* held = Find(n);
  if (held != nullptr) std::memcpy(const_cast<char*>(held), bytes, record_length_);
}

void RecordCache::Forget(std::uint32_t n) {
  if (slots_.empty() || n == 0) return;
  Slot& slot = SlotOf(n);
  if (slot.first == FirstOfBlock(n)) slot.first = slot.count = 0;
}

}  // namespace xbase
