#ifndef SYMBASE_XBASE_CACHE_BUDGET_H
#define SYMBASE_XBASE_CACHE_BUDGET_H

#include <cstddef>

// The memory that the caches of every open table and index file of this
// process hold together. A cache takes from the budget before it grows
// past its own small floor; once the budget is spent it reuses its own
// memory instead, so the files read most keep the most, within one bound
// however many and however large the files are.
//
// The caches hold their memory in chunks of kChunkBytes, cut from slabs of
// kSlabBytes that the system is asked to back with huge pages: a cache that
// fills a slab takes one page fault, not five hundred. A cache that is
// emptied or closed leaves its chunks here, and the next cache to grow takes
// them first: closing and opening a base neither frees nor touches again the
// memory its caches held. ReturnFreed gives back the slabs no cache uses.

namespace xbase {

class CacheBudget {
 public:
  static constexpr std::size_t kBytes = std::size_t{27} << 20;
  static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;
  static constexpr std::size_t kSlabBytes = std::size_t{2} << 20;

  // Takes `bytes` when the budget has them; false, taking nothing, when not.
  static bool Take(std::size_t bytes);
  // Takes as many whole `unit`s of `bytes` as the budget has; the bytes taken.
  static std::size_t TakeUpTo(std::size_t bytes, std::size_t unit);
  // Takes `bytes` whatever is left (memory a cache cannot do without).
  static void Force(std::size_t bytes);
  // Gives back bytes taken.
  static void Give(std::size_t bytes);
  // A chunk for a cache: one another cache left, else one of a new slab.
  // Throws std::bad_alloc when the system has no memory for a slab.
  static char* TakeChunk();
  // A chunk a cache no longer uses, for the next.
  static void LeaveChunk(char* chunk);
  // Bytes of the chunks no cache uses now.
  static std::size_t KeptBytes();
  // Gives back the slabs none of whose chunks a cache uses, and the memory
  // freed elsewhere where the allocator can: a large allocation that follows
  // then takes its place instead of adding to it.
  static void ReturnFreed();
  // Bytes taken now, by every cache.
  static std::size_t Taken();

  // Shares of their own, apart from the caches' budget:
  // - kRows: the records that tables read alone (record_cache.h): a table
  //   read at random, too large for its cache, keeps the rows it was asked
  //   for without taking blocks from the others;
  // - kDirectories: the key directories of tags sought far more often than
  //   they change (key_directory.h).
  enum class Share { kRows, kDirectories };
  static constexpr std::size_t kRowBytes = std::size_t{4} << 20;
  static constexpr std::size_t kDirectoryBytes = std::size_t{13} << 20;
  // Takes as many whole `unit`s of `bytes` as the share has; the bytes taken.
  static std::size_t TakeShareUpTo(Share share, std::size_t bytes, std::size_t unit);
  static void GiveShare(Share share, std::size_t bytes);
  static std::size_t ShareTaken(Share share);
};

}  // namespace xbase

#endif
