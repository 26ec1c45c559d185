// The I/O list's quicksort on bare keys: order, equal keys, texts following
// their keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lists/io_quicksort.h"

namespace {

using symbase::SortByKey;

struct Sorted {
  std::vector<std::string> texts;
  std::vector<DWORD> keys;
};

Sorted Sort(std::vector<std::string> texts, std::vector<DWORD> keys) {
  std::vector<CString> cells;
  for (const std::string& text : texts) cells.emplace_back(text.c_str());
  SortByKey(cells.data(), keys.data(), 0, static_cast<INT_PTR>(keys.size()) - 1);
  texts.clear();
  for (const CString& cell : cells) texts.emplace_back(cell);
  return {texts, keys};
}

TEST(IoQuicksort, EqualKeysFollowThePartitionSteps) {
  // Pivot p5: i stops on q9, j on t5, which are exchanged: [p5 t5 r1 s7 q9];
  // i then stops on s7, j falls to r1; r1 and p5 are exchanged:
  // [r1 t5 p5 s7 q9]. The two sides are already in order.
  const Sorted s = Sort({"p", "q", "r", "s", "t"}, {5, 9, 1, 7, 5});
  EXPECT_EQ(s.texts, (std::vector<std::string>{"r", "t", "p", "s", "q"}));
  EXPECT_EQ(s.keys, (std::vector<DWORD>{1, 5, 5, 7, 9}));
}

TEST(IoQuicksort, AllEqualKeysRotateThePivotToTheEnd) {
  // Each partition runs i past the end and swaps the pivot with the last
  // element: a b c d -> d b c a, then d b c -> c b d, then c b -> b c.
  const Sorted s = Sort({"a", "b", "c", "d"}, {7, 7, 7, 7});
  EXPECT_EQ(s.texts, (std::vector<std::string>{"b", "c", "d", "a"}));
}

TEST(IoQuicksort, KeysCompareUnsigned) {
  const Sorted s = Sort({"big", "small", "top"}, {0x80000000u, 1, 0xFFFFFFFFu});
  EXPECT_EQ(s.texts, (std::vector<std::string>{"small", "big", "top"}));
}

TEST(IoQuicksort, EmptyAndSingleRangesAreUntouched) {
  SortByKey(nullptr, nullptr, 0, -1);
  const Sorted one = Sort({"x"}, {3});
  EXPECT_EQ(one.texts, (std::vector<std::string>{"x"}));
}

TEST(IoQuicksort, LargeInputsEndOrderedWithTextsOnTheirKeys) {
  // Ascending, descending and random keys; each text names its key.
  std::mt19937 random(7);
  for (int shape = 0; shape < 3; ++shape) {
    std::vector<DWORD> keys(3000);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      keys[i] = shape == 0   ? static_cast<DWORD>(i)
                : shape == 1 ? static_cast<DWORD>(keys.size() - i)
                             : static_cast<DWORD>(random() % 500);
    }
    std::vector<std::string> texts;
    for (DWORD key : keys) texts.push_back(std::to_string(key));
    std::vector<DWORD> expected = keys;
    std::sort(expected.begin(), expected.end());
    const Sorted s = Sort(texts, keys);
    EXPECT_EQ(s.keys, expected) << "shape " << shape;
    for (std::size_t i = 0; i < s.keys.size(); ++i) {
      ASSERT_EQ(s.texts[i], std::to_string(s.keys[i])) << "shape " << shape << " at " << i;
    }
  }
}

}  // namespace
