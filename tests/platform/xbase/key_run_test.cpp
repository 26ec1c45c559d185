// The key run's order against a plain sort of the same (key, record) pairs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "xbase/key_run.h"

namespace xbase {
namespace {

// Keys in which each byte mostly keeps one value, and the first `shared`
// bytes always: ranges that share their first bytes stay large at every
// depth of the sort, down to the last of its twelve; some keys come twice,
// under other records.
std::vector<std::pair<std::string, std::uint32_t>> Keys(std::size_t length, std::size_t shared,
                                                        std::size_t count) {
  std::mt19937 random(static_cast<unsigned>(length));
  std::vector<std::pair<std::string, std::uint32_t>> keys;
  for (std::uint32_t record = 1; keys.size() < count; ++record) {
    std::string key(length, 'M');
    for (std::size_t i = shared; i < length; ++i) {
      if (random() % 6 == 0) key[i] = static_cast<char>("a\x01\xE9 "[random() % 4]);
    }
    if (!keys.empty() && random() % 10 == 0) key = keys[random() % keys.size()].first;
    keys.emplace_back(key, record);
  }
  return keys;
}

TEST(KeyRunTest, SortsByKeyBytesUnsignedThenByRecordAtEveryLengthWhateverTheirCommonStart) {
  const std::pair<std::size_t, std::size_t> cases[] = {{1, 0},   {4, 0},   {11, 0}, {12, 0},
                                                       {13, 0},  {36, 0},  {13, 5}, {36, 9},
                                                       {36, 12}, {12, 12}, {36, 20}};
  for (const auto& [length, shared] : cases) {
    SCOPED_TRACE("keys of " + std::to_string(length) + " bytes, the first " +
                 std::to_string(shared) + " shared");
    auto keys = Keys(length, shared, 20000);
    KeyRun run(length);
    run.Reserve(keys.size());
    for (const auto& [key, record] : keys) run.Add(key.data(), record);
    run.Sort();
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
      const int c = a.first.compare(b.first);  // char_traits<char> compares bytes unsigned
      return c != 0 ? c < 0 : a.second < b.second;
    });
    ASSERT_EQ(keys.size(), run.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      ASSERT_EQ(keys[i].first, std::string(reinterpret_cast<const char*>(run.key(i)), length))
          << "entry " << i;
      ASSERT_EQ(keys[i].second, run.record(i)) << "entry " << i;
    }
  }
}

}  // namespace
}  // namespace xbase
