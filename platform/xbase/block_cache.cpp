#include "xbase/block_cache.h"

#include <algorithm>
#include <cstring>

#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {
namespace {

std::size_t Hash(std::uint32_t page, std::size_t mask) {
  return (static_cast<std::size_t>(page) * 0x9E3779B1u) & mask;
}

}  // namespace

BlockCache::BlockCache(File* file, std::size_t floor)
    : file_(file), floor_(std::max<std::size_t>(floor, 2 * kStableFetches)) {
  buckets_.assign(16, Bucket{});
  SizeIndexFor(floor_);
}

BlockCache::~BlockCache() {
  CacheBudget::Give(taken_);
  LeaveChunks();
}

void BlockCache::LeaveChunks() {
  for (char* chunk : chunks_) CacheBudget::LeaveChunk(chunk);
  chunks_.clear();
}

int BlockCache::Lookup(std::uint32_t page) const {
  const std::size_t mask = buckets_.size() - 1;
  for (std::size_t i = Hash(page, mask);; i = (i + 1) & mask) {
    const Bucket& bucket = buckets_[i];
    if (bucket.slot < 0) return -1;
    if (bucket.page == page) return bucket.slot;
  }
}

void BlockCache::IndexInsert(std::uint32_t page, int slot) {
  if (2 * (indexed_ + 1) > buckets_.size()) Rehash(buckets_.size() * 2);
  const std::size_t mask = buckets_.size() - 1;
  std::size_t i = Hash(page, mask);
  while (buckets_[i].slot >= 0) i = (i + 1) & mask;
  buckets_[i] = Bucket{page, slot};
  ++indexed_;
}

// Linear probing with backward-shift deletion: no tombstones to age.
void BlockCache::IndexErase(std::uint32_t page) {
  const std::size_t mask = buckets_.size() - 1;
  std::size_t i = Hash(page, mask);
  while (buckets_[i].page != page || buckets_[i].slot < 0) i = (i + 1) & mask;
  for (std::size_t j = (i + 1) & mask;; j = (j + 1) & mask) {
    if (buckets_[j].slot < 0) break;
    std::size_t home = Hash(buckets_[j].page, mask);
    // Move j back into the hole unless its home lies cyclically in (i, j].
    bool stays = (i <= j) ? (i < home && home <= j) : (i < home || home <= j);
    if (!stays) {
      buckets_[i] = buckets_[j];
      i = j;
    }
  }
  buckets_[i] = Bucket{};
  --indexed_;
}

void BlockCache::Rehash(std::size_t buckets) {
  buckets_.assign(buckets, Bucket{});
  indexed_ = 0;
  const std::size_t mask = buckets - 1;
  for (std::size_t s = 0; s < meta_.size(); ++s) {
    const std::uint32_t page = meta_[s].page;
    if (page == 0) continue;  // page 0 is the file header, never cached
    std::size_t i = Hash(page, mask);
    while (buckets_[i].slot >= 0) i = (i + 1) & mask;
    buckets_[i] = Bucket{page, static_cast<int>(s)};
    ++indexed_;
  }
}

void BlockCache::SizeIndexFor(std::size_t blocks) {
  std::size_t buckets = buckets_.size();
  while (buckets < 2 * blocks) buckets *= 2;
  if (buckets != buckets_.size()) Rehash(buckets);
}

void BlockCache::Reserve(std::size_t blocks) {
  const std::size_t held = std::max(meta_.size(), floor_);
  const std::size_t wanted = blocks > held ? (blocks - held) * kBlockSize : 0;
  if (wanted < reserved_) {
    CacheBudget::Give(reserved_ - wanted);
    taken_ -= reserved_ - wanted;
    reserved_ = wanted;
  } else {
    const std::size_t got = CacheBudget::TakeUpTo(wanted - reserved_, kBlockSize);
    taken_ += got;
    reserved_ += got;
  }
  SizeIndexFor(held + reserved_ / kBlockSize);
}

void BlockCache::Unlink(int s) {
  Meta& slot = meta(s);
  if (slot.prev >= 0) meta(slot.prev).next = slot.next;
  if (slot.next >= 0) meta(slot.next).prev = slot.prev;
  if (head_[slot.kept] == s) head_[slot.kept] = slot.next;
  if (tail_[slot.kept] == s) tail_[slot.kept] = slot.prev;
  slot.prev = slot.next = -1;
}

void BlockCache::LinkBetween(int s, int prev, int next) {
  Meta& slot = meta(s);
  slot.prev = prev;
  slot.next = next;
  if (prev >= 0) {
    meta(prev).next = s;
  } else {
    head_[slot.kept] = s;
  }
  if (next >= 0) {
    meta(next).prev = s;
  } else {
    tail_[slot.kept] = s;
  }
}

void BlockCache::MakeDirty(int s) {
  Meta& slot = meta(s);
  if (slot.dirty) return;
  Unlink(s);
  slot.dirty = true;
  dirty_.push_back(s);
}

bool BlockCache::MayGrow(bool passing) {
  if (meta_.size() >= floor_ && reserved_ >= kBlockSize) {
    reserved_ -= kBlockSize;
    return true;
  }
  if (meta_.size() < floor_ || Victim() < 0) {
    CacheBudget::Force(kBlockSize);
  } else if ((passing && meta_.size() >= kPassingBlocks) || !CacheBudget::Take(kBlockSize)) {
    return false;
  }
  taken_ += kBlockSize;
  return true;
}

int BlockCache::Acquire(std::uint32_t page, bool passing) {
  int s;
  if (!free_slots_.empty()) {
    s = free_slots_.back();
    free_slots_.pop_back();
  } else if (MayGrow(passing)) {
    if (meta_.size() % kChunkBlocks == 0) chunks_.push_back(CacheBudget::TakeChunk());
    meta_.emplace_back();
    s = static_cast<int>(meta_.size() - 1);
  } else {
    s = Victim();
    Unlink(s);
    IndexErase(meta(s).page);
  }
  Meta& slot = meta(s);
  slot.page = 0;  // out of the index while it may be rehashed
  slot.dirty = false;
  slot.kept = false;
  IndexInsert(page, s);
  slot.page = page;
  return s;
}

int BlockCache::Get(std::uint32_t page, std::uint8_t** block) {
  int s = Lookup(page);
  // A miss right after the blocks read last, with no change pending: a walk
  // along leaves that lie in file order reads the next ones with this one.
  if (s < 0 && page != 0 && page == next_page_ && dirty_.empty()) {
    ReadAhead(page);
    s = Lookup(page);
  }
  if (s >= 0) {
    // Kept blocks go in the order they came: moving the interior nodes that
    // every descent passes would touch their neighbours' entries each time.
    if (!meta(s).dirty && !meta(s).kept && head_[0] != s) {
      Unlink(s);
      PushFront(s);
    }
    *block = data(s);
    return kOk;
  }
  if (page == 0) return kErrIndexFormat;
  next_page_ = page + kPagesPerBlock;
  s = Acquire(page);
  std::size_t got = 0;
  int rc = file_->ReadAt(std::uint64_t(page) * 512, data(s), kBlockSize, &got);
  if (rc == kOk && got != kBlockSize) rc = kErrIndexFormat;
  if (rc != kOk) {
    IndexErase(page);
    meta(s).page = 0;
    free_slots_.push_back(s);
    return rc;
  }
  PushFront(s);
  *block = data(s);
  return kOk;
}

void BlockCache::ReadAhead(std::uint32_t first) {
  run_.resize(kReadAheadBlocks * kBlockSize);
  std::size_t got = 0;
  if (file_->ReadAt(std::uint64_t(first) * 512, &run_[0], run_.size(), &got) != kOk) return;
  // Slots for all first, so that none takes another's just read; then they
  // go behind every block in use, the first to go if unused.
  int slots[kReadAheadBlocks];
  for (std::size_t i = 0; i < got / kBlockSize; ++i) {
    const auto page = static_cast<std::uint32_t>(first + i * kPagesPerBlock);
    slots[i] = Lookup(page) >= 0 ? -1 : Acquire(page, true);
  }
  for (std::size_t i = 0; i < got / kBlockSize; ++i) {
    if (slots[i] < 0) continue;
    std::memcpy(data(slots[i]), &run_[i * kBlockSize], kBlockSize);
    PushBack(slots[i]);
  }
  next_page_ = static_cast<std::uint32_t>(first + got / kBlockSize * kPagesPerBlock);
}

void BlockCache::Keep(std::uint32_t page) {
  const int s = Lookup(page);
  if (s < 0 || meta(s).kept) return;
  if (meta(s).dirty) {
    meta(s).kept = true;  // joins the kept list when flushed
    return;
  }
  Unlink(s);
  meta(s).kept = true;
  PushFront(s);
}

int BlockCache::GetForWrite(std::uint32_t page, std::uint8_t** block) {
  int rc = Get(page, block);
  if (rc == kOk) MakeDirty(Lookup(page));
  return rc;
}

std::uint8_t* BlockCache::Fresh(std::uint32_t page) {
  int s = Lookup(page);
  if (s < 0) {
    s = Acquire(page);
  }
  MakeDirty(s);
  std::memset(data(s), 0, kBlockSize);
  return data(s);
}

int BlockCache::Flush() {
  std::sort(dirty_.begin(), dirty_.end(),
            [this](int a, int b) { return meta(a).page < meta(b).page; });
  // Blocks that follow each other in the file go out in one write.
  std::size_t written = 0;
  int rc = kOk;
  while (written < dirty_.size()) {
    const std::uint32_t first = meta(dirty_[written]).page;
    std::size_t run = 1;
    while (written + run < dirty_.size() && run < kFlushRun &&
           meta(dirty_[written + run]).page == first + run * kPagesPerBlock) {
      ++run;
    }
    File::Bytes pieces[kFlushRun];
    for (std::size_t i = 0; i < run; ++i)
      pieces[i] = File::Bytes{data(dirty_[written + i]), kBlockSize};
    rc = file_->WritePiecesAt(std::uint64_t(first) * 512, pieces, run);
    if (rc != kOk) break;  // the unwritten blocks stay dirty for a retry
    for (std::size_t i = 0; i < run; ++i) {
      const int s = dirty_[written + i];
      meta(s).dirty = false;
      PushFront(s);
    }
    written += run;
  }
  dirty_.erase(dirty_.begin(), dirty_.begin() + static_cast<std::ptrdiff_t>(written));
  return rc;
}

void BlockCache::Clear() {
  CacheBudget::Give(taken_ - reserved_);  // the reserve stays for the blocks to come
  taken_ = reserved_;
  meta_.clear();
  LeaveChunks();
  free_slots_.clear();
  dirty_.clear();
  std::fill(buckets_.begin(), buckets_.end(), Bucket{});
  indexed_ = 0;
  head_[0] = head_[1] = tail_[0] = tail_[1] = -1;
  next_page_ = 0;
}

}  // namespace xbase
