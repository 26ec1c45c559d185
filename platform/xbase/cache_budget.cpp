#include "xbase/cache_budget.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace xbase {
namespace {

std::atomic<std::size_t> taken{0};
std::atomic<std::size_t> rows_taken{0};
std::atomic<std::size_t> directories_taken{0};

std::atomic<std::size_t>& SharedCounter(CacheBudget::Share share) {
  return share == CacheBudget::Share::kRows ? rows_taken : directories_taken;
}

std::size_t ShareLimit(CacheBudget::Share share) {
  return share == CacheBudget::Share::kRows ? CacheBudget::kRowBytes : CacheBudget::kDirectoryBytes;
}

constexpr std::size_t kChunksPerSlab = CacheBudget::kSlabBytes / CacheBudget::kChunkBytes;

struct Slabs {
  std::mutex mutex;
  std::vector<char*> slabs;
  std::vector<char*> free;  // chunks no cache uses
};

Slabs& Pool() {
  static auto* pool = new Slabs();  // lives as long as the process: caches outlive statics
  return *pool;
}

// A slab aligned on its size, so that it can be one huge page.
char* NewSlab() {
  const std::size_t size = CacheBudget::kSlabBytes;
  void* mapped =
      mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t slab = (start + size - 1) & ~std::uintptr_t{size - 1};
  if (slab > start) munmap(mapped, slab - start);
  munmap(reinterpret_cast<void*>(slab + size), start + size - slab);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(slab), size, MADV_HUGEPAGE);  // a hint: refused, pages stay small
#endif
  return reinterpret_cast<char*>(slab);
}

// Takes as many whole units of `bytes` from `counter` as `limit` leaves.
std::size_t TakeWithin(std::atomic<std::size_t>* counter, std::size_t limit, std::size_t bytes,
                       std::size_t unit) {
  std::size_t now = counter->load(std::memory_order_relaxed);
  std::size_t got;
  do {
    const std::size_t left = now < limit ? limit - now : 0;
    got = std::min(bytes, left) / unit * unit;
    if (got == 0) return 0;
  } while (!counter->compare_exchange_weak(now, now + got, std::memory_order_relaxed));
  return got;
}

}  // namespace

bool CacheBudget::Take(std::size_t bytes) {
  return bytes == 0 || TakeWithin(&taken, kBytes, bytes, bytes) == bytes;
}

std::size_t CacheBudget::TakeUpTo(std::size_t bytes, std::size_t unit) {
  return TakeWithin(&taken, kBytes, bytes, unit);
}

void CacheBudget::Force(std::size_t bytes) { taken.fetch_add(bytes, std::memory_order_relaxed); }

void CacheBudget::Give(std::size_t bytes) { taken.fetch_sub(bytes, std::memory_order_relaxed); }

char* CacheBudget::TakeChunk() {
  Slabs& pool = Pool();
  std::lock_guard<std::mutex> hold(pool.mutex);
  if (pool.free.empty()) {
    char* slab = NewSlab();
    pool.slabs.push_back(slab);
    for (std::size_t i = kChunksPerSlab; i-- > 0;) pool.free.push_back(slab + i * kChunkBytes);
  }
  char* chunk = pool.free.back();
  pool.free.pop_back();
  return chunk;
}

void CacheBudget::LeaveChunk(char* chunk) {
  Slabs& pool = Pool();
  std::lock_guard<std::mutex> hold(pool.mutex);
  pool.free.push_back(chunk);
}

std::size_t CacheBudget::KeptBytes() {
  Slabs& pool = Pool();
  std::lock_guard<std::mutex> hold(pool.mutex);
  return pool.free.size() * kChunkBytes;
}

void CacheBudget::ReturnFreed() {
  {
    Slabs& pool = Pool();
    std::lock_guard<std::mutex> hold(pool.mutex);
    std::sort(pool.free.begin(), pool.free.end());
    std::vector<char*> kept_slabs;
    for (char* slab : pool.slabs) {
      const auto first = std::lower_bound(pool.free.begin(), pool.free.end(), slab);
      const auto last = std::lower_bound(first, pool.free.end(), slab + kSlabBytes);
      if (static_cast<std::size_t>(last - first) < kChunksPerSlab) {
        kept_slabs.push_back(slab);
        continue;
      }
      pool.free.erase(first, last);
      munmap(slab, kSlabBytes);
    }
    pool.slabs.swap(kept_slabs);
  }
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

std::size_t CacheBudget::Taken() { return taken.load(std::memory_order_relaxed); }

std::size_t CacheBudget::TakeShareUpTo(Share share, std::size_t bytes, std::size_t unit) {
  return TakeWithin(&SharedCounter(share), ShareLimit(share), bytes, unit);
}

void CacheBudget::GiveShare(Share share, std::size_t bytes) {
  SharedCounter(share).fetch_sub(bytes, std::memory_order_relaxed);
}

std::size_t CacheBudget::ShareTaken(Share share) {
  return SharedCounter(share).load(std::memory_order_relaxed);
}

}  // namespace xbase
