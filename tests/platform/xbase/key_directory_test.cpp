#include "xbase/key_directory.h"

#include <gtest/gtest.h>

#include <string>

#include "xbase/cache_budget.h"

namespace xbase {
namespace {

using Share = CacheBudget::Share;

std::uint32_t Find(const KeyDirectory& d, const std::string& key) {
  return d.Find(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
}

bool Add(KeyDirectory* d, const std::string& key, std::uint32_t record) {
  return d->Add(KeyDirectory::Hash(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()),
                record);
}

std::string Key(int i) { return "%MW" + std::to_string(i) + std::string(20, ' '); }

// Every key entered once is found at its record; one entered twice, and
// keys never entered, are not; the memory comes from the directories'
// share and goes back to it.
TEST(KeyDirectory, FindsEachKeyEnteredOnceAndNoOther) {
  constexpr std::uint32_t kRecords = 5000;
  const std::size_t before = CacheBudget::ShareTaken(Share::kDirectories);
  {
    KeyDirectory d;
    ASSERT_TRUE(d.Start(kRecords));
    EXPECT_GT(CacheBudget::ShareTaken(Share::kDirectories), before);
    for (std::uint32_t n = 1; n <= kRecords - 1; ++n) ASSERT_TRUE(Add(&d, Key(n), n));
    ASSERT_TRUE(Add(&d, Key(77), kRecords));  // a second entry of one key
    int absent_found = 0;
    for (std::uint32_t n = 1; n <= kRecords - 1; ++n) {
      if (n != 77) {
        ASSERT_EQ(n, Find(d, Key(n))) << n;
      }
      absent_found += Find(d, Key(n + kRecords)) != 0;
    }
    EXPECT_EQ(0u, Find(d, Key(77)));
    // A key never entered may share a fingerprint: rarely, never often.
    EXPECT_LT(absent_found, 10);
  }
  EXPECT_EQ(before, CacheBudget::ShareTaken(Share::kDirectories));
}

// A record outside the table, or more entries than records, is a damaged
// tag: the directory empties itself rather than answer from it. None is
// made when the share has no room left for it, nor for a table whose record
// numbers leave too few bits to the fingerprints.
TEST(KeyDirectory, EmptiesItselfOnEntriesNoTagHoldsIsNotMadeBeyondItsShare) {
  KeyDirectory d;
  for (std::uint32_t bad : {0u, 11u, 3u}) {  // the last: an eleventh entry
    ASSERT_TRUE(d.Start(10));
    for (std::uint32_t n = 1; n <= (bad == 3 ? 10 : 1); ++n) ASSERT_TRUE(Add(&d, Key(n), n));
    EXPECT_FALSE(Add(&d, Key(11), bad));
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(0u, Find(d, Key(1)));
  }
  EXPECT_FALSE(d.Start(0));
  EXPECT_FALSE(d.Start(1u << 24));
  const std::size_t left =
      CacheBudget::kDirectoryBytes - CacheBudget::ShareTaken(Share::kDirectories);
  ASSERT_EQ(left, CacheBudget::TakeShareUpTo(Share::kDirectories, left, 1));
  EXPECT_FALSE(d.Start(100));
  EXPECT_TRUE(d.empty());
  CacheBudget::GiveShare(Share::kDirectories, left);
  EXPECT_TRUE(d.Start(100));
}

}  // namespace
}  // namespace xbase
