#ifndef SYMBASE_XBASE_CACHE_BUDGET_H
#define SYMBASE_XBASE_CACHE_BUDGET_H

#include <cstddef>

// The memory that the caches of every open table and index file of this
// process hold together. A cache takes from the budget before it grows
// past its own small floor; once the budget is spent it reuses its own
// memory instead, so the files read most keep the most, within one bound
// however many and however large the files are.

namespace xbase {

class CacheBudget {
 public:
  static constexpr std::size_t kBytes = std::size_t{40} << 20;

  // Takes `bytes` when the budget has them; false, taking nothing, when not.
  static bool Take(std::size_t bytes);
  // Takes `bytes` whatever is left (memory a cache cannot do without).
  static void Force(std::size_t bytes);
  // Gives back bytes taken.
  static void Give(std::size_t bytes);
  // Hands the memory that emptied caches freed back to the system, where
  // the allocator can: a large allocation that follows then takes its place
  // instead of adding to it.
  static void ReturnFreed();
  // Bytes taken now, by every cache.
  static std::size_t Taken();
};

}  // namespace xbase

#endif
