// The process-wide budget of the record caches. What reads return after
// writes and other handles' changes is checked through the tables.

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
}

}  // namespace
}  // namespace xbase
