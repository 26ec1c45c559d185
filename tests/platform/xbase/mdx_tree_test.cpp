// Trees built by our own inserts and removals, held against a
// std::multiset model and the structural check, in memory and reopened.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/xbase/mdx_test_util.h"
#include "support/memory_file_system.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_mdx::Entry;
using Model = std::multiset<Entry>;

class MdxTree : public ::testing::Test {
 protected:
  void Create(const std::vector<MdxTagInfo>& tags, int result = kOk) {
    std::unique_ptr<File> file;
    mdx_.reset();
    ASSERT_EQ(kOk, fs_.Open("T.MDX", OpenMode::kCreate, &file));
    ASSERT_EQ(result, MdxFile::Create(std::move(file), "T", tags, &mdx_));
  }
  void Reopen() {
    ASSERT_EQ(kOk, mdx_->Flush());
    mdx_.reset();
    std::unique_ptr<File> file;
    ASSERT_EQ(kOk, fs_.Open("T.MDX", OpenMode::kReadWrite, &file));
    ASSERT_EQ(kOk, MdxFile::Open(std::move(file), &mdx_));
  }
  void ExpectMatches(int t, const Model& model) {
    const std::vector<Entry> want(model.begin(), model.end());
    ASSERT_EQ(want, testing_mdx::Entries(mdx_.get(), t));
    testing_mdx::ExpectSound(mdx_.get(), t);
    ExpectCounts(t, want);
  }
  // Counts by prefix, held against the entries: short prefixes span many
  // leaves (counted whole from their separators), long ones end inside one.
  void ExpectCounts(int t, const std::vector<Entry>& want) {
    for (const char* prefix : {"1", "2", "13", "42", "499", "7 ", "x"}) {
      const std::size_t n = std::strlen(prefix);
      const auto expected = std::count_if(want.begin(), want.end(), [&](const Entry& e) {
        return e.first.compare(0, n, prefix) == 0;
      });
      std::uint64_t count = 0;
      ASSERT_EQ(kOk, mdx_->CountPrefix(t, prefix, n, &count));
      EXPECT_EQ(static_cast<std::uint64_t>(expected), count) << "prefix " << prefix;
    }
  }
  testing_support::MemoryFileSystem fs_;
  std::unique_ptr<MdxFile> mdx_;
};

MdxTagInfo Tag(const char* name, int key_length) {
  return MdxTagInfo{name, "KEY", ".NOT. DELETED()", key_length, false, false};
}

// Keys from a small alphabet, so that equal keys are common.
std::string RandomKey(std::mt19937* rng, int length, int spread) {
  std::string key(static_cast<std::size_t>(length), ' ');
  unsigned v = (*rng)() % static_cast<unsigned>(spread);
  std::string digits = std::to_string(v);
  std::memcpy(&key[0], digits.data(), std::min(digits.size(), key.size()));
  return key;
}

TEST_F(MdxTree, RandomInsertsAndRemovesFollowTheModel) {
  // Key length 100 gives 9 keys per node: deep trees after a few hundred entries.
  Create({Tag("WIDE", 100), Tag("NARROW", 8)});
  std::mt19937 rng(12345);
  Model models[2];
  std::uint32_t next_record = 1;
  std::vector<Entry> live[2];
  for (int batch = 0; batch < 50; ++batch) {
    for (int op = 0; op < 2000; ++op) {
      const int t = op % 2;
      const bool insert = live[t].empty() || rng() % 100 < (batch < 25 ? 65 : 35);
      if (insert) {
        Entry e(RandomKey(&rng, mdx_->tag(t).key_length, 500), next_record++);
        ASSERT_EQ(kOk, mdx_->Insert(t, e.first.data(), e.second));
        models[t].insert(e);
        live[t].push_back(e);
      } else {
        std::size_t i = rng() % live[t].size();
        Entry e = live[t][i];
        live[t][i] = live[t].back();
        live[t].pop_back();
        ASSERT_EQ(kOk, mdx_->Remove(t, e.first.data(), e.second)) << batch << " " << op;
        models[t].erase(models[t].find(e));
      }
    }
    ExpectMatches(0, models[0]);
    ExpectMatches(1, models[1]);
    if (batch % 5 == 4) {
      Reopen();
      ExpectMatches(0, models[0]);
      ExpectMatches(1, models[1]);
    }
  }
  // Empty both tags completely, then fill them again.
  for (int t = 0; t < 2; ++t) {
    for (const Entry& e : live[t]) ASSERT_EQ(kOk, mdx_->Remove(t, e.first.data(), e.second));
    models[t].clear();
    ExpectMatches(t, models[t]);
    MdxCursor c;
    EXPECT_EQ(kEof, mdx_->First(t, &c));
    EXPECT_EQ(kBof, mdx_->Last(t, &c));
  }
  Reopen();
  ExpectMatches(0, models[0]);
}

// Made in a file that holds a larger old index, an index keeps none of its
// bytes.
TEST_F(MdxTree, AFileMadeAgainKeepsNothingOfTheOldOne) {
  Create({Tag("NARROW", 8)});
  const std::string fresh = fs_.Contents("T.MDX");
  fs_.SetContents("T.MDX", std::string(100000, 'x'));
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, fs_.Open("T.MDX", OpenMode::kReadWrite, &file));
  ASSERT_EQ(kOk, MdxFile::Create(std::move(file), "T", {Tag("NARROW", 8)}, &mdx_));
  EXPECT_EQ(fresh, fs_.Contents("T.MDX"));
}

// A cursor whose entry another change removed goes on from the entry after it.
TEST_F(MdxTree, ACursorWhoseEntryWentGoesOnFromTheNextOne) {
  Create({Tag("NARROW", 8)});
  const char* keys[] = {"K1      ", "K2      ", "K3      "};
  for (std::uint32_t r = 1; r <= 3; ++r) ASSERT_EQ(kOk, mdx_->Insert(0, keys[r - 1], r));
  MdxCursor c;
  ASSERT_EQ(kOk, mdx_->First(0, &c));
  ASSERT_EQ(kOk, mdx_->Next(&c));
  ASSERT_EQ(kOk, mdx_->Remove(0, keys[1], 2));
  EXPECT_EQ(kOk, mdx_->Next(&c));
  EXPECT_EQ(3u, c.record);
  EXPECT_EQ(kEof, mdx_->Next(&c));
}

}  // namespace
}  // namespace xbase
