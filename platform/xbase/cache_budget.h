#ifndef SYMBASE_XBASE_CACHE_BUDGET_H
#define SYMBASE_XBASE_CACHE_BUDGET_H

#include <cstddef>
#include <memory>

// The memory that the caches of every open table and index file of this
// process hold together. A cache takes from the budget before it grows
// past its own small floor; once the budget is spent it reuses its own
// memory instead, so the files read most keep the most, within one bound
// however many and however large the files are.
//
// The caches hold their memory in chunks of kChunkBytes. A cache that is
// emptied or closed leaves its chunks here, and the next cache to grow takes
// them before allocating: closing and opening a base neither frees nor
// touches again the memory its caches held. Chunks are kept while they and
// the bytes taken stay within the budget; ReturnFreed frees them.

namespace xbase {

class CacheBudget {
 public:
  static constexpr std::size_t kBytes = std::size_t{40} << 20;
  static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;

  // Takes `bytes` when the budget has them; false, taking nothing, when not.
  static bool Take(std::size_t bytes);
  // Takes `bytes` whatever is left (memory a cache cannot do without).
  static void Force(std::size_t bytes);
  // Gives back bytes taken.
  static void Give(std::size_t bytes);
  // A chunk for a cache: one left by another cache, else a new one.
  static std::unique_ptr<char[]> TakeChunk();
  // A chunk a cache no longer needs: kept for the next while the budget
  // has room for it, else freed.
  static void LeaveChunk(std::unique_ptr<char[]> chunk);
  // Bytes of the chunks kept now.
  static std::size_t KeptBytes();
  // Frees the chunks kept, and hands the memory that emptied caches freed
  // back to the system where the allocator can: a large allocation that
  // follows then takes its place instead of adding to it.
  static void ReturnFreed();
  // Bytes taken now, by every cache.
  static std::size_t Taken();
};

}  // namespace xbase

#endif
