#include "xbase/record_cache.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "xbase/cache_budget.h"

namespace xbase {
namespace {

constexpr std::size_t kBlockBytes = 4096;
constexpr std::size_t kFloor = 16;  // slots with memory whatever the budget

// Slot arrays whose slots are all empty again, for the next cache: a base
// closed and opened again neither maps nor faults in its slots anew.
struct SlotPool {
  static constexpr std::size_t kKept = 8;
  std::mutex mutex;
  std::vector<void*> arrays;
};

SlotPool& Pool() {
  static auto* pool = new SlotPool();  // lives as long as the process: caches outlive statics
  return *pool;
}

}  // namespace

RecordCache::~RecordCache() { Release(); }

RecordCache::Slot* RecordCache::TakeSlots() {
  static_assert(std::is_trivially_copyable<Slot>::value, "slots live in zeroed pages");
  SlotPool& pool = Pool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (!pool.arrays.empty()) {
      void* kept = pool.arrays.back();
      pool.arrays.pop_back();
      return static_cast<Slot*>(kept);
    }
  }
  void* mapped = mmap(nullptr, kSlots * sizeof(Slot), PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  return static_cast<Slot*>(mapped);
}

void RecordCache::LeaveSlots() {
  if (slots_ == nullptr) return;
  // Only the slots with memory were ever written: emptied, the array is
  // as the system gave it.
  for (const std::uint32_t i : provided_) slots_[i] = Slot{};
  SlotPool& pool = Pool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  if (pool.arrays.size() < SlotPool::kKept) {
    pool.arrays.push_back(slots_);
  } else {
    munmap(slots_, kSlots * sizeof(Slot));
  }
  slots_ = nullptr;
}

void RecordCache::Release() {
  CacheBudget::Give(taken_);
  taken_ = 0;
  LeaveSlots();
  for (char* chunk : chunks_) CacheBudget::LeaveChunk(chunk);
  chunks_.clear();
  chunk_used_ = 0;
  provided_.clear();
  hand_ = 0;
  passing_.clear();
  passing_turn_ = 0;
  full_ = false;
  CacheBudget::GiveShare(CacheBudget::Share::kRows, rows_.size() * record_length_);
  rows_.clear();
  row_bytes_.reset();
}

void RecordCache::Configure(std::size_t record_length) {
  Release();
  record_length_ = record_length == 0 ? 1 : record_length;
  per_block_ = static_cast<std::uint32_t>(kBlockBytes / record_length_);
  if (per_block_ == 0) per_block_ = 1;
  slots_ = TakeSlots();
}

bool RecordCache::MayGrow(std::size_t bytes, bool passing) const {
  return (!passing || provided_.size() < kPassingSlots) && CacheBudget::Take(bytes);
}

void RecordCache::Provide(Slot& slot, bool passing) {
  const std::size_t bytes = per_block_ * record_length_;
  const auto index = static_cast<std::uint32_t>(&slot - slots_);
  if (provided_.size() < kFloor || MayGrow(bytes, passing)) {
    if (provided_.size() < kFloor) CacheBudget::Force(bytes);
    taken_ += bytes;
    if (chunks_.empty() || chunk_used_ + bytes > CacheBudget::kChunkBytes) {
      chunks_.push_back(CacheBudget::TakeChunk());
      chunk_used_ = 0;
    }
    slot.bytes = chunks_.back() + chunk_used_;
    chunk_used_ += bytes;
    provided_.push_back(index);
    return;
  }
  // A passing block takes the memory of another passing block once
  // kPassingSlots have some.
  std::size_t turn;
  if (passing && passing_.size() >= kPassingSlots) {
    turn = passing_[passing_turn_];
    passing_turn_ = (passing_turn_ + 1) % passing_.size();
  } else {
    turn = hand_;
    hand_ = (hand_ + 1) % provided_.size();
    if (passing) passing_.push_back(turn);
    full_ = full_ || !passing;
  }
  Slot& giver = slots_[provided_[turn]];
  giver.first = giver.count = 0;
  std::swap(slot.bytes, giver.bytes);
  provided_[turn] = index;
}

void RecordCache::Clear() {
  for (const std::uint32_t i : provided_) slots_[i].first = slots_[i].count = 0;
  if (++generation_ == 0) {  // after four billion clears: no row may look current
    std::fill(rows_.begin(), rows_.end(), Row{});
    generation_ = 1;
  }
}

RecordCache::Slot& RecordCache::SlotOf(std::uint32_t n) {
  return slots_[((n - 1) / per_block_) % kSlots];
}

const RecordCache::Slot& RecordCache::SlotOf(std::uint32_t n) const {
  return slots_[((n - 1) / per_block_) % kSlots];
}

const char* RecordCache::Find(std::uint32_t n) const {
  const char* held = FindBlock(n);
  return held != nullptr ? held : FindRow(n);
}

const char* RecordCache::FindBlock(std::uint32_t n) const {
  if (slots_ == nullptr || n == 0) return nullptr;
  const Slot& slot = SlotOf(n);
  if (slot.first == 0 || n < slot.first || n - slot.first >= slot.count) return nullptr;
  return slot.bytes + (n - slot.first) * record_length_;
}

const char* RecordCache::FindRow(std::uint32_t n) const {
  if (rows_.empty() || n == 0) return nullptr;
  const Row& row = rows_[n % rows_.size()];
  return row.n == n && row.generation == generation_ ? RowBytes(&row) : nullptr;
}

bool RecordCache::ProvideRows() {
  const std::size_t wanted = std::min(kMostRows, CacheBudget::kRowBytes / record_length_);
  const std::size_t bytes = CacheBudget::TakeShareUpTo(CacheBudget::Share::kRows,
                                                       wanted * record_length_, record_length_);
  if (bytes == 0) return false;
  // Pages the system gives on first touch: rows never read cost nothing.
  row_bytes_.reset(new char[bytes]);
  rows_.assign(bytes / record_length_, Row{});
  return true;
}

char* RecordCache::PrepareRow(std::uint32_t n) {
  if (n == 0 || (rows_.empty() && !ProvideRows())) return nullptr;
  Row* row = RowOf(n);
  row->n = 0;
  return RowBytes(row);
}

void RecordCache::FillRow(std::uint32_t n) {
  if (rows_.empty() || n == 0) return;
  *RowOf(n) = Row{n, generation_};
}

void RecordCache::ForgetRow(std::uint32_t n) {
  if (FindRow(n) != nullptr) RowOf(n)->n = 0;
}

char* RecordCache::Prepare(std::uint32_t n, std::uint32_t* first, bool passing) {
  Slot& slot = SlotOf(n);
  slot.first = slot.count = 0;
  if (!slot.bytes) Provide(slot, passing);
  *first = FirstOfBlock(n);
  return slot.bytes;
}

void RecordCache::Fill(std::uint32_t n, std::uint32_t records) {
  Slot& slot = SlotOf(n);
  slot.first = records == 0 ? 0 : FirstOfBlock(n);
  slot.count = records;
}

void RecordCache::Update(std::uint32_t n, const char* bytes) {
  for (const char* held : {FindBlock(n), FindRow(n)}) {
    if (held != nullptr) std::memcpy(const_cast<char*>(held), bytes, record_length_);
  }
}

void RecordCache::Append(std::uint32_t n, const char* bytes) {
  ForgetRow(n);
  if (slots_ == nullptr || n == 0) return;
  Slot& slot = SlotOf(n);
  const std::uint32_t first = FirstOfBlock(n);
  if (n == first && slot.bytes != nullptr) {
    slot.first = first;
    slot.count = 0;
  } else if (slot.first != first || first + slot.count != n) {
    Forget(n);
    return;
  }
  std::memcpy(slot.bytes + (n - first) * record_length_, bytes, record_length_);
  ++slot.count;
}

void RecordCache::Forget(std::uint32_t n) {
  ForgetRow(n);
  if (slots_ == nullptr || n == 0) return;
  Slot& slot = SlotOf(n);
  if (slot.first == FirstOfBlock(n)) slot.first = slot.count = 0;
}

}  // namespace xbase
