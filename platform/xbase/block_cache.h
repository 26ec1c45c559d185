#ifndef SYMBASE_XBASE_BLOCK_CACHE_H
#define SYMBASE_XBASE_BLOCK_CACHE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xbase/cache_budget.h"
#include "xbase/file_system.h"

// A bounded cache of 1024-byte index blocks, keyed by page number.
//
// The cache holds `floor` blocks whatever else is cached, and the room its
// owner reserved (Reserve); past them, it grows while the process's cache
// budget allows (cache_budget.h), and then evicts its clean blocks least
// recently used first. A changed (dirty) block is never evicted: it stays
// until Flush() writes it, so nothing reaches the file between two flushes;
// the cache grows past the budget while that many blocks are dirty.
//
// Blocks the owner marks as kept (Keep: the interior nodes of a tree, which
// every descent reads) go on a list of their own, evicted only when no other
// clean block is left: a seek then reads one leaf, whatever the cache holds.
//
// A block pointer stays valid until kStableFetches other blocks have been
// fetched (or Clear() is called): callers re-fetch by page rather than hold
// pointers across long walks. No allocation on a hit.

namespace xbase {

class BlockCache {
 public:
  static constexpr std::size_t kBlockSize = 1024;
  static constexpr std::size_t kStableFetches = 32;
  static constexpr std::uint32_t kPagesPerBlock = kBlockSize / 512;
  static constexpr std::size_t kFlushRun = 256;        // blocks in one write at most
  static constexpr std::size_t kReadAheadBlocks = 16;  // read with a miss that follows the last
  static constexpr std::size_t kPassingBlocks = 256;   // blocks a walk may grow the cache to

  BlockCache(File* file, std::size_t floor);
  ~BlockCache();
  BlockCache(const BlockCache&) = delete;
  BlockCache& operator=(const BlockCache&) = delete;

  // The block at page (file offset page x 512), read if not cached. A block
  // past the end of the file gives kErrIndexFormat.
  int Get(std::uint32_t page, std::uint8_t** block);
  // As Get, and marks the block changed.
  int GetForWrite(std::uint32_t page, std::uint8_t** block);
  // The block at page if it is cached, else null; it neither reads nor
  // counts as a use. For prefetching what a walk will fetch next.
  const std::uint8_t* Peek(std::uint32_t page) const {
    const int s = Lookup(page);
    return s < 0 ? nullptr : data(s);
  }
  // Marks the cached block at page as kept (see above); nothing when it is
  // not cached.
  void Keep(std::uint32_t page);
  // Room for `blocks` blocks, taken from the budget now as far as it has
  // room, so that other caches growing later cannot claim it: an owner sizes
  // it to what it keeps. Room reserved beyond what is asked goes back.
  void Reserve(std::size_t blocks);
  // A zeroed, changed block for a page that is new to the file (no read).
  std::uint8_t* Fresh(std::uint32_t page);

  // Writes every changed block, in ascending page order. Blocks stay cached.
  int Flush();
  // Forgets everything, changes included.
  void Clear();
  bool has_dirty() const { return !dirty_.empty(); }
  std::size_t dirty_count() const { return dirty_.size(); }

 private:
  // What the cache knows of a slot, kept apart from the block bytes so that
  // lookups and LRU moves touch a few dense cache lines, not the blocks.
  struct Meta {
    std::uint32_t page = 0;
    bool dirty = false;
    bool kept = false;  // on the kept list (see Keep)
    int prev = -1;      // LRU links, clean slots only
    int next = -1;
  };
  struct Bucket {
    std::uint32_t page = 0;
    int slot = -1;  // -1: empty
  };

  int Lookup(std::uint32_t page) const;
  // A slot for page, evicting if needed. `passing`: a block read ahead,
  // which takes no new memory once the cache holds kPassingBlocks.
  int Acquire(std::uint32_t page, bool passing = false);
  // Whether a new slot may be added, its memory accounted for: below the
  // floor or with no clean block to evict, whatever the budget; else from
  // the reserve, else from the budget while it allows.
  bool MayGrow(bool passing);
  void IndexInsert(std::uint32_t page, int slot);
  void IndexErase(std::uint32_t page);
  void Rehash(std::size_t buckets);
  // Buckets enough for `blocks` slots, at most half of them in use.
  void SizeIndexFor(std::size_t blocks);
  void Unlink(int slot);
  // Puts an unlinked slot between two neighbours (-1: the list's end).
  void LinkBetween(int slot, int prev, int next);
  void PushFront(int slot) { LinkBetween(slot, -1, head_[meta(slot).kept]); }
  void PushBack(int slot) { LinkBetween(slot, tail_[meta(slot).kept], -1); }
  // The clean slot to evict: the least recently used that is not kept, else
  // the least recently used kept one; -1 when every slot is changed.
  int Victim() const { return tail_[0] >= 0 ? tail_[0] : tail_[1]; }
  // Reads the blocks from page `first` on into the cache, behind the blocks
  // in use, but those it has.
  void ReadAhead(std::uint32_t first);
  void MakeDirty(int slot);
  Meta& meta(int s) { return meta_[static_cast<std::size_t>(s)]; }
  const std::uint8_t* data(int s) const {
    const auto at = static_cast<std::size_t>(s);
    return reinterpret_cast<const std::uint8_t*>(chunks_[at / kChunkBlocks]) +
           at % kChunkBlocks * kBlockSize;
  }
  std::uint8_t* data(int s) {
    return const_cast<std::uint8_t*>(static_cast<const BlockCache*>(this)->data(s));
  }

  File* file_;
  std::size_t floor_;
  std::size_t taken_ = 0;     // bytes taken from the budget, the reserve included
  std::size_t reserved_ = 0;  // bytes of the reserve no slot uses yet
  std::vector<Meta> meta_;    // one per slot
  // The slots' blocks, kChunkBlocks to a chunk of the budget's
  // (cache_budget.h); stable addresses. At most one chunk is held beyond
  // the bytes taken.
  static constexpr std::size_t kChunkBlocks = CacheBudget::kChunkBytes / kBlockSize;
  std::vector<char*> chunks_;
  void LeaveChunks();
  std::vector<int> free_slots_;  // slots whose read failed, ready for reuse
  std::vector<Bucket> buckets_;  // open addressing over pages
  std::size_t indexed_ = 0;
  // The clean slots, by list (0: others, 1: kept): most and least recently used.
  int head_[2] = {-1, -1};
  int tail_[2] = {-1, -1};
  std::vector<int> dirty_;
  std::string run_;              // blocks read ahead
  std::uint32_t next_page_ = 0;  // the page after the blocks read last
};

}  // namespace xbase

#endif
