#include "xbase/cache_budget.h"

#include <atomic>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace xbase {
namespace {

std::atomic<std::size_t> taken{0};

}  // namespace

bool CacheBudget::Take(std::size_t bytes) {
  std::size_t now = taken.load(std::memory_order_relaxed);
  do {
    if (now + bytes > kBytes) return false;
  } while (!taken.compare_exchange_weak(now, now + bytes, std::memory_order_relaxed));
  return true;
}

void CacheBudget::Force(std::size_t bytes) { taken.fetch_add(bytes, std::memory_order_relaxed); }

void CacheBudget::Give(std::size_t bytes) { taken.fetch_sub(bytes, std::memory_order_relaxed); }

void CacheBudget::ReturnFreed() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

std::size_t CacheBudget::Taken() { return taken.load(std::memory_order_relaxed); }

}  // namespace xbase
