// The counts an index tag remembers: moved by each key in or out that has
// the prefix, forgotten oldest first past the few kept.

#include <gtest/gtest.h>

#include <string>

#include "xbase/key_counts.h"

namespace xbase {
namespace {

const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The count remembered for a prefix, or -1.
long Count(const KeyCounts& counts, const std::string& prefix) {
  std::uint64_t n = 0;
  return counts.Find(Bytes(prefix), prefix.size(), &n) ? static_cast<long>(n) : -1;
}

TEST(KeyCounts, KeysMoveTheCountsOfTheirPrefixesOnly) {
  KeyCounts counts;
  counts.Rebuilt(10);
  counts.Remember(Bytes("MW"), 2, 4);
  counts.Remember(Bytes("MW1"), 3, 1);
  counts.Added(Bytes("MW12  "), 6);
  counts.Added(Bytes("IW1   "), 6);
  counts.Removed(Bytes("MW3   "), 6);
  EXPECT_EQ(Count(counts, ""), 11);
  EXPECT_EQ(Count(counts, "MW"), 4);
  EXPECT_EQ(Count(counts, "MW1"), 2);
  EXPECT_EQ(Count(counts, "IW"), -1);  // never counted: not guessed
  counts.Forget();
  EXPECT_EQ(Count(counts, ""), -1);
}

TEST(KeyCounts, TheOldestIsForgottenPastTheKept) {
  KeyCounts counts;
  for (std::size_t i = 0; i <= KeyCounts::kKept; ++i) {
    const std::string prefix = "P" + std::to_string(i);
    counts.Remember(Bytes(prefix), prefix.size(), i);
  }
  EXPECT_EQ(Count(counts, "P0"), -1);
  EXPECT_EQ(Count(counts, "P1"), 1);
  EXPECT_EQ(Count(counts, "P" + std::to_string(KeyCounts::kKept)),
            static_cast<long>(KeyCounts::kKept));
}

}  // namespace
}  // namespace xbase
