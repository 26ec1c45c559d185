// The index block cache once the process's cache budget is spent.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "xbase/block_cache.h"
#include "xbase/cache_budget.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// A read-only file of numbered blocks that counts its reads.
class CountingFile : public File {
 public:
  explicit CountingFile(std::uint64_t blocks) : size_(blocks * BlockCache::kBlockSize) {}
  int ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) override {
    ++reads;
    *got =
        offset >= size_ ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    std::memset(buffer, static_cast<int>(offset / BlockCache::kBlockSize), *got);
    return kOk;
  }
  int WriteAt(std::uint64_t, const void*, std::size_t) override { return kErrWrite; }
  int Size(std::uint64_t* size) override {
    *size = size_;
    return kOk;
  }
  int Truncate(std::uint64_t) override { return kErrWrite; }
  int Sync() override { return kOk; }
  int Lock(std::uint64_t, std::uint64_t, bool) override { return kOk; }
  int Unlock(std::uint64_t, std::uint64_t) override { return kOk; }
  long reads = 0;

 private:
  std::uint64_t size_;
};

constexpr std::uint32_t kBlocks = 2000;

std::uint32_t PageOf(std::uint32_t block) { return block * BlockCache::kPagesPerBlock; }

// Every other block from `first` on, so that no read runs ahead.
long ReadsFor(BlockCache* cache, CountingFile* file, std::uint32_t first, std::uint32_t last) {
  const long before = file->reads;
  for (std::uint32_t b = first; b < last; b += 2) {
    std::uint8_t* block = nullptr;
    EXPECT_EQ(kOk, cache->Get(PageOf(b), &block));
    EXPECT_EQ(static_cast<std::uint8_t>(b), block[0]);
  }
  return file->reads - before;
}

// Another cache has spent the budget: kept blocks (a tree's interior)
// outlive a stream of others, and room reserved before holds that many
// blocks, taken once from the budget.
TEST(SpentBudget, KeptBlocksAndReservedRoomOutliveAStreamOfOthers) {
  CountingFile file(kBlocks);
  const std::size_t before = CacheBudget::Taken();
  {
    BlockCache reserved(&file, 64);
    reserved.Reserve(kBlocks / 2);
    const std::size_t reserve = (kBlocks / 2 - 64) * BlockCache::kBlockSize;
    EXPECT_EQ(before + reserve, CacheBudget::Taken());
    const std::size_t spare = CacheBudget::kBytes - CacheBudget::Taken();
    CacheBudget::Force(spare);

    BlockCache cache(&file, 64);
    EXPECT_EQ(20, ReadsFor(&cache, &file, 1, 41));
    for (std::uint32_t b = 1; b < 41; b += 2) cache.Keep(PageOf(b));
    EXPECT_EQ(500, ReadsFor(&cache, &file, 1001, 2001));
    EXPECT_EQ(0, ReadsFor(&cache, &file, 1, 41));
    // The others went, least recently used first: the cache stays bounded.
    EXPECT_EQ(10, ReadsFor(&cache, &file, 1001, 1021));

    EXPECT_EQ(500, ReadsFor(&reserved, &file, 1, 1001));
    EXPECT_EQ(0, ReadsFor(&reserved, &file, 1, 1001));
    EXPECT_EQ(before + reserve + spare + 2 * 64 * BlockCache::kBlockSize, CacheBudget::Taken());
    CacheBudget::Give(spare);
  }
  EXPECT_EQ(before, CacheBudget::Taken());
}

}  // namespace
}  // namespace xbase
