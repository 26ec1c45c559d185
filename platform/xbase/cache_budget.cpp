#include "xbase/cache_budget.h"

#include <atomic>
#include <mutex>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace xbase {
namespace {

std::atomic<std::size_t> taken{0};

std::mutex kept_mutex;
std::vector<std::unique_ptr<char[]>>& Kept() {
  static auto* kept = new std::vector<std::unique_ptr<char[]>>();  // lives as long as the process
  return *kept;
}

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

std::unique_ptr<char[]> CacheBudget::TakeChunk() {
  {
    std::lock_guard<std::mutex> hold(kept_mutex);
    if (!Kept().empty()) {
      std::unique_ptr<char[]> chunk = std::move(Kept().back());
      Kept().pop_back();
      return chunk;
    }
  }
  return std::unique_ptr<char[]>(new char[kChunkBytes]);
}

void CacheBudget::LeaveChunk(std::unique_ptr<char[]> chunk) {
  std::lock_guard<std::mutex> hold(kept_mutex);
  if ((Kept().size() + 1) * kChunkBytes + Taken() <= kBytes) Kept().push_back(std::move(chunk));
}

std::size_t CacheBudget::KeptBytes() {
  std::lock_guard<std::mutex> hold(kept_mutex);
  return Kept().size() * kChunkBytes;
}

void CacheBudget::ReturnFreed() {
  {
    std::lock_guard<std::mutex> hold(kept_mutex);
    Kept().clear();
    Kept().shrink_to_fit();
  }
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

std::size_t CacheBudget::Taken() { return taken.load(std::memory_order_relaxed); }

}  // namespace xbase
