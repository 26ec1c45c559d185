// Index blocks read ahead along a file, as a walk along leaves written in
// file order reads them. What reads return after writes and other handles'
// changes is checked through the tables and index files.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/memory_file_system.h"
#include "xbase/block_cache.h"
#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// Block k holds the byte k % 251, block 300 changed in the cache: every block
// read ahead is the file's (the last read cut short by the end of the file)
// but the changed one, and a walk keeps a bounded part of the budget.
TEST(BlockCacheWalk, ReadsAheadTheFilesBytesWithinABound) {
  constexpr std::uint32_t kBlocks = 600, kChanged = 300;
  testing_support::MemoryFileSystem files;
  std::string bytes;
  for (std::uint32_t k = 0; k < kBlocks; ++k) bytes.append(BlockCache::kBlockSize, char(k % 251));
  files.SetContents("/walk.mdx", bytes);
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, files.Open("/walk.mdx", OpenMode::kReadWrite, &file));
  bool changed = false;
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

}  // namespace
}  // namespace xbase
