// The caches under the process-wide budget: index blocks read ahead along a
// file, and record blocks of two caches. What reads return after writes and
// other handles' changes is checked through the tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "support/memory_file_system.h"
#include "xbase/block_cache.h"
#include "xbase/cache_budget.h"
#include "xbase/record_cache.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// A file of 600 blocks, block k filled with the byte k % 251 but block 300
// changed to 0xFF in the cache: every block read ahead is the file's, up to a
// last read cut short by the end of the file; the changed block is not read
// over; and with half the budget taken, a walk through the whole file keeps
// only a bounded part of it from the budget.
TEST(BlockCacheWalk, ReadsAheadTheFilesBytesWithinABound) {
  constexpr std::uint32_t kBlocks = 600, kChanged = 300;
  testing_support::MemoryFileSystem files;
  std::string bytes;
  for (std::uint32_t k = 0; k < kBlocks; ++k) bytes.append(BlockCache::kBlockSize, char(k % 251));
  files.SetContents("/walk.mdx", bytes);
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, files.Open("/walk.mdx", OpenMode::kReadWrite, &file));
  bool changed = false;
  // Whether blocks `first` to the last read back as marked.
  auto walk = [&](BlockCache& cache, std::uint32_t first) {
    for (std::uint32_t k = first; k < kBlocks; ++k) {
      std::uint8_t* block = nullptr;
      const auto mark = std::uint8_t(changed && k == kChanged ? 0xFF : k % 251);
      if (cache.Get(k * BlockCache::kPagesPerBlock, &block) != kOk || block[0] != mark ||
          block[BlockCache::kBlockSize - 1] != mark) {
        return false;
      }
    }
    return true;
  };
  const std::size_t held = CacheBudget::kBytes / 2;
  CacheBudget::Force(held);
  const std::size_t before = CacheBudget::Taken();
  {
    BlockCache cache(file.get(), 0);
    EXPECT_TRUE(walk(cache, 1));
    EXPECT_LE(CacheBudget::Taken() - before, BlockCache::kPassingBlocks * BlockCache::kBlockSize);
    std::uint8_t* block = nullptr;
    ASSERT_EQ(kOk, cache.GetForWrite(kChanged * BlockCache::kPagesPerBlock, &block));
    block[0] = block[BlockCache::kBlockSize - 1] = 0xFF;
    changed = true;
    EXPECT_TRUE(walk(cache, 200));
    ASSERT_EQ(kOk, cache.Flush());
    BlockCache fresh(file.get(), 0);
    EXPECT_TRUE(walk(fresh, 290));
  }
  EXPECT_EQ(CacheBudget::Taken(), before);
  CacheBudget::Give(held);
}

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
