// The order a tag is built in: keys byte by byte, equal keys by record,
// whatever the key length and however much of the keys two entries share.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "xbase/key_run.h"

namespace xbase {
namespace {

using Entries = std::vector<std::pair<std::string, std::uint32_t>>;

// Keys that share long runs: a small alphabet, bytes above 0x7F among them.
Entries RandomEntries(std::size_t key_length, std::size_t n, std::mt19937* rng) {
  const std::string alphabet = std::string("A \x01\xE9z") + '\0';
  Entries entries;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::string key(key_length, 'A');
    for (char& c : key) c = alphabet[(*rng)() % ((*rng)() % 4 == 0 ? alphabet.size() : 2)];
    entries.emplace_back(key, static_cast<std::uint32_t>((*rng)() % 1000000));
  }
  return entries;
}

Entries Sorted(const KeyRun& run) {
  Entries out;
  for (std::size_t i = 0; i < run.size(); ++i) {
    out.emplace_back(std::string(reinterpret_cast<const char*>(run.key(i)), run.key_length()),
                     run.record(i));
  }
  return out;
}

TEST(KeyRun, SortsKeysBytewiseThenRecordsForEveryLength) {
  std::mt19937 rng(7);
  KeyRun run(0);  // one run restarted for every length, as the tags of one file are built
  for (std::size_t length : {1, 3, 8, 11, 12, 13, 20, 40}) {
    Entries entries = RandomEntries(length, 3000, &rng);
    run.Restart(length);
    for (const auto& e : entries) run.Add(e.first.data(), e.second);
    run.Sort();
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      const int c = a.first.compare(b.first);  // std::string compares bytes as unsigned
      return c != 0 ? c < 0 : a.second < b.second;
    });
    EXPECT_EQ(entries, Sorted(run)) << "key length " << length;
  }
}

}  // namespace
}  // namespace xbase
