// The process-wide budget of the record caches. What reads return after
// writes and other handles' changes is checked through the tables
// (transaction_test.cpp, lock_test.cpp).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "xbase/cache_budget.h"
#include "xbase/record_cache.h"

namespace xbase {
namespace {

// Two caches that between them read far more than the process's budget:
// the memory they hold stays within it (past their small floors), every
// block just read is held with its bytes, and all of it is given back.
TEST(RecordCacheBudget, ManyBlocksStayWithinTheBudgetAndAreGivenBack) {
  const std::size_t before = CacheBudget::Taken();
  constexpr std::size_t kRecord = 4096;  // one record a block
  const std::uint32_t blocks =
      static_cast<std::uint32_t>(CacheBudget::kBytes / kRecord);  // each cache alone fills it
  {
    RecordCache first, second;
    first.Configure(kRecord);
    second.Configure(kRecord);
    std::size_t most = 0;
    for (std::uint32_t n = 1; n <= blocks; ++n) {
      for (RecordCache* cache : {&first, &second}) {
        std::uint32_t at = 0;
        char* block = cache->Prepare(n, &at);
        ASSERT_EQ(at, n);
        std::memset(block, static_cast<int>(n % 251), kRecord);
        cache->Fill(n, 1);
        const char* held = cache->Find(n);
        ASSERT_NE(held, nullptr) << n;
        ASSERT_EQ(held[kRecord - 1], static_cast<char>(n % 251)) << n;
      }
      most = std::max(most, CacheBudget::Taken() - before);
    }
    EXPECT_LE(most, CacheBudget::kBytes + 2 * 16 * kRecord);
    EXPECT_GE(most, CacheBudget::kBytes - 2 * kRecord);  // the budget is used, not left idle
    // Blocks given up to later ones are no longer found; recent ones are.
    EXPECT_EQ(first.Find(1), nullptr);
    EXPECT_NE(second.Find(blocks), nullptr);
  }
  EXPECT_EQ(CacheBudget::Taken(), before);
  // Their memory waits for the next caches.
  const std::size_t kept = CacheBudget::KeptBytes();
  EXPECT_GE(kept, CacheBudget::kBytes - 2 * CacheBudget::kChunkBytes);
  EXPECT_LE(kept, CacheBudget::kBytes + 2 * CacheBudget::kSlabBytes);
  RecordCache next;
  next.Configure(kRecord);
  std::uint32_t first = 0;
  next.Prepare(1, &first);
  EXPECT_EQ(CacheBudget::KeptBytes(), kept - CacheBudget::kChunkBytes)
      << "a kept chunk is taken before a new slab";
}

// Chunks come back to the next taker; a slab goes back to the system once
// no cache uses any of its chunks.
TEST(RecordCacheBudget, ChunksAreTakenAgainAndSlabsFreedWhenUnused) {
  CacheBudget::ReturnFreed();
  ASSERT_EQ(CacheBudget::KeptBytes(), 0u);
  char* chunk = CacheBudget::TakeChunk();
  std::memset(chunk, 1, CacheBudget::kChunkBytes);
  const std::size_t rest = CacheBudget::kSlabBytes - CacheBudget::kChunkBytes;
  EXPECT_EQ(CacheBudget::KeptBytes(), rest);
  CacheBudget::ReturnFreed();  // a chunk of the slab is used: the slab stays
  EXPECT_EQ(CacheBudget::KeptBytes(), rest);
  CacheBudget::LeaveChunk(chunk);
  char* again = CacheBudget::TakeChunk();
  EXPECT_EQ(again, chunk);
  CacheBudget::LeaveChunk(again);
  CacheBudget::ReturnFreed();
  EXPECT_EQ(CacheBudget::KeptBytes(), 0u);
}

}  // namespace
}  // namespace xbase
