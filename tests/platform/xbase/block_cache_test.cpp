// Index blocks read ahead along a file, as a walk along leaves written in
// file order reads them.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/memory_file_system.h"
#include "xbase/block_cache.h"
#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// Block k of the file (pages 2k, 2k + 1) is filled with the byte k % 251.
constexpr std::uint32_t kBlocks = 600;

std::uint8_t Mark(std::uint32_t block) { return static_cast<std::uint8_t>(block % 251); }

class BlockCacheWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string bytes;
    for (std::uint32_t k = 0; k < kBlocks; ++k) {
      bytes.append(BlockCache::kBlockSize, static_cast<char>(Mark(k)));
    }
    files_.SetContents("/walk.mdx", bytes);
    ASSERT_EQ(kOk, files_.Open("/walk.mdx", OpenMode::kReadWrite, &file_));
  }

  // Reads blocks `first` to the last in order; false at the first whose
  // bytes are not `mark(k)`.
  template <typename MarkOf>
  bool Walk(BlockCache& cache, std::uint32_t first, MarkOf mark) {
    for (std::uint32_t k = first; k < kBlocks; ++k) {
      std::uint8_t* block = nullptr;
      if (cache.Get(k * BlockCache::kPagesPerBlock, &block) != kOk) return false;
      if (block[0] != mark(k) || block[BlockCache::kBlockSize - 1] != mark(k)) return false;
    }
    return true;
  }

  testing_support::MemoryFileSystem files_;
  std::unique_ptr<File> file_;
};

// Every block read ahead is the file's, up to a last read cut short by the
// end of the file; a changed block is not read over; and with half the
// budget taken, a walk through the whole file keeps only a bounded part.
TEST_F(BlockCacheWalk, ReadsAheadTheFilesBytesWithinABound) {
  const std::size_t held = CacheBudget::kBytes / 2;
  CacheBudget::Force(held);
  const std::size_t before = CacheBudget::Taken();
  {
    BlockCache cache(file_.get(), 0);
    EXPECT_TRUE(Walk(cache, 1, Mark));
    EXPECT_LE(CacheBudget::Taken() - before, BlockCache::kPassingBlocks * BlockCache::kBlockSize);
    std::uint8_t* changed = nullptr;
    ASSERT_EQ(kOk, cache.GetForWrite(300 * BlockCache::kPagesPerBlock, &changed));
    changed[0] = changed[BlockCache::kBlockSize - 1] = 0xFF;
    auto with_change = [](std::uint32_t k) { return k == 300 ? std::uint8_t{0xFF} : Mark(k); };
    EXPECT_TRUE(Walk(cache, 200, with_change));
    ASSERT_EQ(kOk, cache.Flush());
    BlockCache fresh(file_.get(), 0);
    EXPECT_TRUE(Walk(fresh, 290, with_change));
  }
  EXPECT_EQ(CacheBudget::Taken(), before);
  CacheBudget::Give(held);
}

}  // namespace
}  // namespace xbase
