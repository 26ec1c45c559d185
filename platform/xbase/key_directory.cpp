#include "xbase/key_directory.h"

#include <cstring>

#include "xbase/cache_budget.h"

namespace xbase {
namespace {

// Fewer fingerprint bits than this would send too many seeks to a row that
// is not theirs.
constexpr std::uint32_t kLeastFingerprintBits = 8;

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 29;
  return h;
}

}  // namespace

std::uint64_t KeyDirectory::Hash(const std::uint8_t* key, std::size_t length) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ length;
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, key + i, 8);
    h = Mix(h ^ word) * 0x94D049BB133111EBull;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, key + i, length - i);
  return Mix(Mix(h ^ tail) * 0x94D049BB133111EBull);
}

bool KeyDirectory::Start(std::uint32_t records) {
  Clear();
  std::uint32_t bits = 1;
  while (bits < 32 && (std::uint64_t{1} << bits) - 1 <= records) ++bits;
  if (records == 0 || 32 - bits < kLeastFingerprintBits) return false;
  // A quarter of the slots stay empty, so that a probe path stays short.
  const std::size_t count = std::size_t{records} + records / 3 + 1;
  const std::size_t bytes = count * sizeof(std::uint32_t);
  if (CacheBudget::TakeShareUpTo(CacheBudget::Share::kDirectories, bytes, bytes) != bytes) {
    return false;
  }
  slots_.assign(count, 0);
  record_bits_ = bits;
  record_mask_ = static_cast<std::uint32_t>((std::uint64_t{1} << bits) - 1);
  records_ = records;
  entries_ = 0;
  return true;
}

void KeyDirectory::Clear() {
  if (slots_.empty()) return;
  CacheBudget::GiveShare(CacheBudget::Share::kDirectories, slots_.size() * sizeof(std::uint32_t));
  std::vector<std::uint32_t>().swap(slots_);
}

std::uint32_t KeyDirectory::Fingerprint(std::uint64_t hash) const {
  const auto fingerprint = static_cast<std::uint32_t>(hash) >> record_bits_;
  return (fingerprint == 0 ? 1 : fingerprint) << record_bits_;
}

bool KeyDirectory::Add(std::uint64_t hash, std::uint32_t record) {
  if (record == 0 || record > records_ || ++entries_ > records_) {
    Clear();
    return false;
  }
  const std::uint32_t fingerprint = Fingerprint(hash);
  const std::size_t count = slots_.size();
  for (std::size_t i = Home(hash);; i = i + 1 == count ? 0 : i + 1) {
    std::uint32_t& slot = slots_[i];
    if (slot == 0) {
      slot = fingerprint | record;
      return true;
    }
    if ((slot & ~record_mask_) == fingerprint) {
      slot = fingerprint | record_mask_;  // answers nothing from now on
      return true;
    }
  }
}

std::uint32_t KeyDirectory::Find(const std::uint8_t* key, std::size_t length) const {
  if (slots_.empty()) return 0;
  const std::uint64_t hash = Hash(key, length);
  const std::uint32_t fingerprint = Fingerprint(hash);
  const std::size_t count = slots_.size();
  for (std::size_t i = Home(hash);; i = i + 1 == count ? 0 : i + 1) {
    const std::uint32_t slot = slots_[i];
    if (slot == 0) return 0;
    if ((slot & ~record_mask_) == fingerprint) {
      const std::uint32_t record = slot & record_mask_;
      return record == record_mask_ ? 0 : record;
    }
  }
}

}  // namespace xbase
