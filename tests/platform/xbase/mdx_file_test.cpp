// Index files: trees built by our own inserts and removals held against a
// std::multiset model, a peer engine's tree changed by ours, and damaged files
// whose every call ends in a result code (the sanitizers watch reads).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/memory_file_system.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using Entry = std::pair<std::string, std::uint32_t>;  // key bytes, record number
using Model = std::multiset<Entry>;

class MdxTree : public ::testing::Test {
 protected:
  void Create(const std::vector<MdxTagInfo>& tags) {
    std::unique_ptr<File> file;
    mdx_.reset();
    ASSERT_EQ(kOk, fs_.Open("T.MDX", OpenMode::kCreate, &file));
    ASSERT_EQ(kOk, MdxFile::Create(std::move(file), "T", tags, &mdx_));
  }
  void Open() {
    std::unique_ptr<File> file;
    ASSERT_EQ(kOk, fs_.Open("T.MDX", OpenMode::kReadWrite, &file));
    ASSERT_EQ(kOk, MdxFile::Open(std::move(file), &mdx_));
  }
  void Reopen() {
    ASSERT_EQ(kOk, mdx_->Flush());
    mdx_.reset();
    Open();
  }
  std::vector<Entry> Entries(int t) {
    std::vector<Entry> out;
    const std::size_t kl = static_cast<std::size_t>(mdx_->tag(t).key_length);
    EXPECT_EQ(kOk, mdx_->ForEach(t, [&](const char* key, std::uint32_t r) {
      out.emplace_back(std::string(key, kl), r);
      return 0;
    }));
    return out;
  }
  void ExpectSound(int t) {
    std::vector<std::string> problems;
    EXPECT_EQ(kOk, mdx_->Check(t, [&](const std::string& p) { problems.push_back(p); }));
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  void ExpectMatches(int t, const Model& model) {
    const std::vector<Entry> want(model.begin(), model.end());
    ASSERT_EQ(want, Entries(t));
    ExpectSound(t);
    ExpectCounts(t, want);
  }
  // Counts by prefix, held against the entries: short prefixes span many
  // leaves (counted whole from their separators), long ones end inside one,
  // a whole key (remembered, then kept up to date by the changes) its equals.
  void ExpectCounts(int t, const std::vector<Entry>& want) {
    std::vector<std::string> prefixes = {"1", "2", "13", "42", "499", "7 ", "x"};
    if (!want.empty()) prefixes.push_back(want.front().first);
    for (const std::string& prefix : prefixes) {
      const std::size_t n = prefix.size();
      const auto expected = std::count_if(want.begin(), want.end(), [&](const Entry& e) {
        return e.first.compare(0, n, prefix) == 0;
      });
      std::uint64_t count = 0;
      ASSERT_EQ(kOk, mdx_->CountPrefix(t, prefix.data(), n, &count));
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

// A tag number outside the file's tags is refused by every call that takes
// one, a cursor's included; so is an entry twice, inserted or in a run.
TEST_F(MdxTree, ATagOutsideTheFileAndAnEntryTwiceAreRefused) {
  Create({Tag("ONE", 8)});
  const char key[] = "12345678";
  MdxCursor cursor;
  std::uint64_t count = 0;
  // The cursor on an entry of the tag, then told it stands in tag t.
  const auto on_an_entry = [&](int t) {
    mdx_->Insert(0, key, 9);
    EXPECT_EQ(kOk, mdx_->SeekEntry(0, key, 9, &cursor));
    cursor.tag = t;
    return &cursor;
  };
  const std::function<int(int)> calls[] = {
      [&](int t) { return mdx_->Insert(t, key, 1); },
      [&](int t) { return mdx_->Remove(t, key, 1); },
      [&](int t) { return mdx_->Rebuild(t, KeyRun(8)); },
      [&](int t) { return mdx_->Seek(t, key, 8, &cursor); },
      [&](int t) { return mdx_->SeekEntry(t, key, 1, &cursor); },
      [&](int t) { return mdx_->First(t, &cursor); },
      [&](int t) { return mdx_->Last(t, &cursor); },
      [&](int t) { return mdx_->Check(t, [](const std::string&) {}); },
      [&](int t) { return mdx_->Scan(t, key, 8, [](const char*, long) { return 0; }); },
      [&](int t) { return mdx_->CountPrefix(t, key, 8, &count); },
      [&](int t) { return mdx_->ForEach(t, [](const char*, std::uint32_t) { return 0; }); },
      [&](int t) { return mdx_->Next(on_an_entry(t)); },
      [&](int t) { return mdx_->Prev(on_an_entry(t)); }};
  for (const auto& call : calls) {
    SCOPED_TRACE(&call - calls);
    for (int t : {-1, 1}) EXPECT_EQ(kErrArgument, call(t));
    EXPECT_NE(kErrArgument, call(0));
  }
  ASSERT_EQ(kOk, mdx_->Insert(0, key, 5));
  EXPECT_EQ(kErrArgument, mdx_->Insert(0, key, 5));
  KeyRun twice(8);
  for (int i = 0; i < 2; ++i) twice.Add(key, 1);
  twice.Sort();
  EXPECT_EQ(kErrArgument, mdx_->Rebuild(0, twice));
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
    for (int t : {0, 1}) ExpectMatches(t, models[t]);
    if (batch % 5 == 4) {
      Reopen();
      for (int t : {0, 1}) ExpectMatches(t, models[t]);
    }
  }
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

// Keys numbered in order arrive in runs, each just above the last of its
// kind and below the next kind's first: they fill their leaves.
TEST_F(MdxTree, KeysInRunsFillTheirLeaves) {
  constexpr int kLength = 20;  // 42 keys per leaf
  struct Run {
    const char* kind;
    bool down;
  };
  const std::vector<Run> kinds = {{"KW", false},   {"MW", false},   {"MWX", false},
                                  {"VIX1", false}, {"VIX2", false}, {"VQX1", false}};
  const struct {
    bool padded;
    std::vector<Run> runs;
    std::uint64_t most;  // blocks in percent of the fewest possible
  } cases[] = {
      // Numbers padded to one width sort in order: leaves end full.
      {true, kinds, 115},
      // As text, "%MW1000" goes between "%MW100" and "%MW101": short runs,
      // most leaves still well above half full.
      {false, kinds, 160},
      // Runs going down into one gap, between two going up: half full.
      {true, {{"A", false}, {"C", false}, {"B", true}}, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.most);
    Create({Tag("RUNS", kLength)});
    Model model;
    std::uint32_t record = 1;
    for (std::uint32_t n = 0; n < 3000; ++n) {
      for (const Run& run : c.runs) {
        char text[32];
        std::snprintf(text, sizeof text, c.padded ? "%-5s%05u" : "%%%s%u", run.kind,
                      run.down ? 9999 - n : n);
        Entry e(text, record++);
        e.first.resize(kLength, ' ');
        ASSERT_EQ(kOk, mdx_->Insert(0, e.first.data(), e.second));
        model.insert(e);
      }
    }
    ExpectMatches(0, model);
    ASSERT_EQ(kOk, mdx_->Flush());
    EXPECT_LT(fs_.Contents("T.MDX").size() / 1024, model.size() / 42 * c.most / 100);
  }
}

constexpr int kKeyLength = 60;  // 16 keys per node: three levels with 2000 entries

std::string Key(std::uint32_t r) {
  char key[kKeyLength + 1];
  std::snprintf(key, sizeof key, "K%08u%*s", (r * 2654435761u) % 1000000u, kKeyLength - 9, "");
  return std::string(key, kKeyLength);
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

// Opens the bytes and makes every kind of call: how Open and the big tag's
// walk and check ended.
struct Outcome {
  int open = kOk, walk = kOk, check = kOk;
  std::uint32_t known = 0;  // the big tag's directory's record for Key(600)
};

Outcome Exercise(const std::string& bytes) {
  testing_support::MemoryFileSystem fs;
  fs.SetContents("A.MDX", bytes);
  std::unique_ptr<File> file;
  fs.Open("A.MDX", OpenMode::kReadWrite, &file);
  Outcome out;
  std::unique_ptr<MdxFile> mdx;
  out.open = MdxFile::Open(std::move(file), &mdx);
  if (out.open != kOk) return out;
  for (int t = 0; t < mdx->tag_count(); ++t) {
    const int kl = mdx->tag(t).key_length;
    long steps = 0;
    int rc = mdx->ForEach(t, [&](const char*, std::uint32_t) { return ++steps > 100000 ? 99 : 0; });
    EXPECT_NE(99, rc) << "walk did not end";
    if (t == 0) out.walk = rc;
    MdxCursor c;
    for (rc = mdx->Last(t, &c); rc == kOk && steps < 200000; rc = mdx->Prev(&c)) ++steps;
    const std::string key = Key(600).substr(0, static_cast<std::size_t>(kl));
    mdx->Seek(t, key.data(), key.size(), &c);
    mdx->SeekEntry(t, key.data(), 600, &c);
    std::uint64_t count = 0;
    rc = mdx->CountPrefix(t, key.data(), 2, &count);
    EXPECT_TRUE(rc == kOk || rc == kErrIndexFormat) << rc;
    std::vector<std::string> problems;
    rc = mdx->Check(t, [&](const std::string& p) { problems.push_back(p); });
    if (t == 0) out.check = rc;
    EXPECT_TRUE((rc == kOk) == problems.empty());
    // Seeks back enough to make the tag's key directory, read from its leaves.
    const std::string above(key.size(), 'Z');
    std::uint32_t known = 0;
    for (int i = 0; i < 300; ++i) {
      mdx->Sought(t, above.data(), 5000);
      known = mdx->Sought(t, key.data(), 5000);
    }
    if (t == 0) out.known = known;
    mdx->Insert(t, key.data(), 5000);
    mdx->Remove(t, key.data(), 600);
    KeyRun run(key.size());
    run.Add(key.data(), 1);
    mdx->Rebuild(t, run);
    mdx->Flush();
  }
  return out;
}

// One damage of the sound file a row: the three results it must give
// (kAny: not promised).
constexpr int kAny = 1;

// The sound file: a three-level tag built from its keys and built again (the
// new tree takes the blocks of the old one: the file does not grow), then
// thinned out, and a single-leaf tag.
TEST_F(MdxTree, ATreeBuiltAgainTakesTheOldBlocksEachDamageEndsInItsFormatError) {
  Create({Tag("BIG", kKeyLength), MdxTagInfo{"SMALL", "KEY", "", 4, false, false}});
  KeyRun run(kKeyLength);
  for (std::uint32_t r = 1; r <= 2000; ++r) run.Add(Key(r).data(), r);
  run.Sort();
  std::size_t built = 0;
  for (int build = 0; build < 2; ++build) {
    ASSERT_EQ(kOk, mdx_->Rebuild(0, run));
    ASSERT_EQ(kOk, mdx_->Flush());
    if (build == 0) built = fs_.Contents("T.MDX").size();
  }
  EXPECT_EQ(built, fs_.Contents("T.MDX").size());
  ExpectSound(0);
  ASSERT_EQ(kOk, mdx_->Insert(1, "abcd", 1));
  for (std::uint32_t r = 1; r <= 2000; r += 7) ASSERT_EQ(kOk, mdx_->Remove(0, Key(r).data(), r));
  ASSERT_EQ(kOk, mdx_->Flush());
  const std::string sound = fs_.Contents("T.MDX");
  const std::size_t tag_header = std::size_t(Le32(sound, 544)) * 512;
  const std::uint32_t root = Le32(sound, tag_header), pages = Le32(sound, 32);
  const std::size_t root_at = std::size_t(root) * 512;
  ASSERT_NE(0u, Le32(sound, root_at + 8 + Le32(sound, root_at) * 64)) << "root must be interior";
  const auto put = [&sound](std::vector<std::pair<std::size_t, std::uint32_t>> changes, int bytes) {
    std::string b = sound;
    for (auto [at, v] : changes) {
      for (int i = 0; i < bytes; ++i) b[at + std::size_t(i)] = static_cast<char>(v >> (8 * i));
    }
    return b;
  };
  const struct {
    const char* what;
    std::string bytes;
    int open, walk = kAny, check = kAny;
    std::uint32_t known = 0;  // a tree that is no tree gets no directory
  } damages[] = {
      {"sound", sound, kOk, kOk, kOk, 600},
      // Cut files: the header's page count exceeds them.
      {"empty", "", kErrIndexFormat},
      {"cut at 2047", sound.substr(0, 2047), kErrIndexFormat},
      {"cut at 2048", sound.substr(0, 2048), kErrIndexFormat},
      {"last block cut", sound.substr(0, sound.size() - 512), kErrIndexFormat},
      // Lying header fields.
      {"version", put({{0, 3}}, 1), kErrIndexFormat},
      {"block size", put({{22, 512}}, 2), kErrIndexFormat},
      {"tags in use", put({{28, 48}}, 2), kErrIndexFormat},
      {"page count beyond the file", put({{32, 1u << 30}}, 4), kErrIndexFormat},
      {"free page beyond the file", put({{36, 1u << 30}}, 4), kErrIndexFormat},
      {"tag header on an odd page", put({{544, 7}}, 4), kErrIndexFormat},
      {"tag header outside", put({{544, 0xFFFFFFF0}}, 4), kErrIndexFormat},
      {"root outside the file", put({{tag_header, 1u << 28}}, 4), kErrIndexFormat},
      {"key length 0", put({{tag_header + 12, 0}}, 2), kErrIndexFormat},
      {"keys per node beyond a block", put({{tag_header + 14, 500}}, 2), kErrIndexFormat},
      {"item length", put({{tag_header + 18, 12}}, 2), kErrIndexFormat},
      // Trees that are no trees.
      {"the root its own first child", put({{root_at + 8, root}}, 4), kOk, kErrIndexFormat,
       kErrIndexFormat},
      {"a leaf a level too high",
       put({{root_at + 8, Le32(sound, std::size_t(Le32(sound, root_at + 8)) * 512 + 8)}}, 4), kOk,
       kErrIndexFormat, kErrIndexFormat},
      {"two children share a block", put({{root_at + 8 + 64, Le32(sound, root_at + 8)}}, 4), kOk,
       kAny, kErrIndexFormat},
      {"overfull root", put({{root_at, 1000}}, 4), kOk, kErrIndexFormat, kErrIndexFormat},
      {"a free chain looping on itself",
       put({{36, pages - 2}, {40, 1}, {std::size_t(pages - 2) * 512 + 4, pages - 2}}, 4), kOk, kAny,
       kErrIndexFormat, 600},
  };
  for (const auto& d : damages) {
    SCOPED_TRACE(d.what);
    const Outcome o = Exercise(d.bytes);
    EXPECT_EQ(d.open, o.open);
    EXPECT_EQ(d.known, o.known);
    for (auto [expected, got] :
         {std::make_pair(d.walk, o.walk), std::make_pair(d.check, o.check)}) {
      EXPECT_TRUE(expected == kAny || expected == got) << got;
    }
  }
}

}  // namespace
}  // namespace xbase
