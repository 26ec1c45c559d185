// The index block cache once the process's cache budget is spent.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "support/fault_file_system.h"
#include "support/memory_file_system.h"
#include "xbase/block_cache.h"
#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {
namespace {

constexpr std::uint32_t kBlocks = 2000;

std::uint32_t PageOf(std::uint32_t block) { return block * BlockCache::kPagesPerBlock; }

// Every other block from `first` on, so that no read runs ahead; the
// reads counted by `fs`.
long ReadsFor(BlockCache* cache, testing_support::FaultFileSystem* fs, std::uint32_t first,
              std::uint32_t last) {
  const long before = fs->calls();
  for (std::uint32_t b = first; b < last; b += 2) {
    std::uint8_t* block = nullptr;
    EXPECT_EQ(kOk, cache->Get(PageOf(b), &block));
    EXPECT_EQ(static_cast<std::uint8_t>(b), block[0]);
  }
  return fs->calls() - before;
}

// A walk through a file reads ahead: the blocks read ahead stop taking
// memory once the cache holds kPassingBlocks, however much of the budget is
// free, while each block asked for still does.
TEST(FreeBudget, AWalkThroughAFileTakesFewBlocksOfTheBudget) {
  testing_support::MemoryFileSystem memory;
  memory.SetContents("B.MDX", std::string(kBlocks * BlockCache::kBlockSize, 'b'));
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, memory.Open("B.MDX", OpenMode::kReadOnly, &file));
  const std::size_t before = CacheBudget::Taken();
  {
    BlockCache cache(file.get(), 64);
    for (std::uint32_t b = 1; b < kBlocks; ++b) {
      std::uint8_t* block = nullptr;
      ASSERT_EQ(kOk, cache.Get(PageOf(b), &block));
    }
    const std::size_t asked = kBlocks / (BlockCache::kReadAheadBlocks + 1) + 1;
    EXPECT_LE(CacheBudget::Taken() - before,
              (BlockCache::kPassingBlocks + asked) * BlockCache::kBlockSize);
  }
  EXPECT_EQ(before, CacheBudget::Taken());
}

// Another cache has spent the budget: kept blocks (a tree's interior)
// outlive a stream of others, and room reserved before holds that many
// blocks, taken once from the budget.
TEST(SpentBudget, KeptBlocksAndReservedRoomOutliveAStreamOfOthers) {
  // Each byte of block b holds b.
  testing_support::MemoryFileSystem memory;
  std::string blocks;
  for (std::uint32_t b = 0; b < kBlocks; ++b) {
    blocks.append(BlockCache::kBlockSize, static_cast<char>(b));
  }
  memory.SetContents("B.MDX", blocks);
  testing_support::FaultFileSystem counting(&memory);
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, counting.Open("B.MDX", OpenMode::kReadOnly, &file));
  const std::size_t before = CacheBudget::Taken();
  {
    BlockCache reserved(file.get(), 64);
    reserved.Reserve(kBlocks / 2);
    const std::size_t reserve = (kBlocks / 2 - 64) * BlockCache::kBlockSize;
    EXPECT_EQ(before + reserve, CacheBudget::Taken());
    const std::size_t spare = CacheBudget::kBytes - CacheBudget::Taken();
    CacheBudget::Force(spare);

    BlockCache cache(file.get(), 64);
    EXPECT_EQ(20, ReadsFor(&cache, &counting, 1, 41));
    for (std::uint32_t b = 1; b < 41; b += 2) cache.Keep(PageOf(b));
    EXPECT_EQ(500, ReadsFor(&cache, &counting, 1001, 2001));
    EXPECT_EQ(0, ReadsFor(&cache, &counting, 1, 41));
    // The others went, least recently used first: the cache stays bounded.
    EXPECT_EQ(10, ReadsFor(&cache, &counting, 1001, 1021));

    EXPECT_EQ(500, ReadsFor(&reserved, &counting, 1, 1001));
    EXPECT_EQ(0, ReadsFor(&reserved, &counting, 1, 1001));
    EXPECT_EQ(before + reserve + spare + 2 * 64 * BlockCache::kBlockSize, CacheBudget::Taken());
    CacheBudget::Give(spare);
  }
  EXPECT_EQ(before, CacheBudget::Taken());
}

}  // namespace
}  // namespace xbase
