// An index file written by our engine, read by an independent reader: Perl's
// XBase::Index must list exactly our entries, in our order, for every tag.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "support/xbase_readers.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using Listing = std::map<std::string, std::vector<std::string>>;  // tag -> "key|record"

// XBase::Index's walk by tag (it lists the tags in an order of its own).
Listing PerlListing(const std::string& path) {
  Listing out;
  std::string tag;
  for (const std::string& line : testing_support::ReaderIndexEntries(path)) {
    if (line.rfind("TAG ", 0) == 0) {
      tag = line.substr(4);
      out[tag];
    } else {
      out[tag].push_back(line);
    }
  }
  return out;
}

Listing OurListing(MdxFile* mdx) {
  Listing out;
  for (int t = 0; t < mdx->tag_count(); ++t) {
    auto& lines = out[mdx->tag(t).name];
    const std::size_t kl = static_cast<std::size_t>(mdx->tag(t).key_length);
    EXPECT_EQ(kOk, mdx->ForEach(t, [&](const char* key, std::uint32_t r) {
      lines.push_back(std::string(key, kl) + "|" + std::to_string(r));
      return 0;
    }));
  }
  return out;
}

MdxTagInfo Tag(const char* name, const char* expr, int key_length) {
  return MdxTagInfo{name, expr, ".NOT. DELETED()", key_length, false, false};
}

std::string Padded(const std::string& text, std::size_t n) {
  std::string out = text.substr(0, n);
  out.resize(n, ' ');
  return out;
}

// One file: three tags filled by inserts into multi-level trees, a fourth
// rebuilt from a sorted run, a fifth left empty.
TEST(MdxPerl, InsertedRebuiltAndEmptyTagsReadTheSame) {
  if (!testing_support::XBaseReadersAvailable()) {
    GTEST_SKIP() << "python3-dbfread, python3-dbf or libdbd-xbase-perl is not installed";
  }
  testing_support::TempDir dir;
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, FileSystem::Posix()->Open(dir.file("KR9.MDX"), OpenMode::kCreate, &file));
  std::unique_ptr<MdxFile> mdx;
  ASSERT_EQ(kOk, MdxFile::Create(
                     std::move(file), "KR9",
                     {Tag("REPCLE_TAG", "OBJET+IND1+IND2+IND3+IND4", 22),
                      Tag("SYMBOLE_TAG", "SYMBOLE", 32), Tag("REPERE_TAG", "REPERE", 36),
                      Tag("REPCMT_TAG", "OBJET+IND1+IND2+IND3+IND4", 22), Tag("EMPTY", "CMT1", 10)},
                     &mdx));
  const auto cle = [](std::uint32_t r) {
    return Padded("%MW", 5) + Padded(std::to_string(r), 5) + std::string(12, ' ');
  };
  std::mt19937 rng(31);
  std::vector<std::uint32_t> records;
  for (std::uint32_t r = 1; r <= 6000; ++r) records.push_back(r);
  std::shuffle(records.begin(), records.end(), rng);
  for (std::uint32_t r : records) {
    ASSERT_EQ(kOk, mdx->Insert(0, cle(r).data(), r));
    // Every third address has no symbol: a long run of equal blank keys.
    const std::string symbol = Padded(r % 3 ? "SYM_" + std::to_string(r % 997) : "", 32);
    ASSERT_EQ(kOk, mdx->Insert(1, symbol.data(), r));
    const std::string repere = Padded("%MW" + std::to_string(r) + (r % 2 ? "" : "\xE9"), 36);
    ASSERT_EQ(kOk, mdx->Insert(2, repere.data(), r));
  }
  for (std::uint32_t r = 1; r <= 6000; r += 5) ASSERT_EQ(kOk, mdx->Remove(0, cle(r).data(), r));
  KeyRun entries(22);
  for (std::uint32_t r = 1; r <= 20000; ++r) {
    char key[23];
    std::snprintf(key, sizeof key, "%%I   %05u%12s", r % 9000, "");
    entries.Add(key, r);
  }
  entries.Sort();
  ASSERT_EQ(kOk, mdx->Rebuild(3, entries));
  ASSERT_EQ(kOk, mdx->Flush());
  for (int t = 0; t < 4; ++t) EXPECT_EQ(kOk, mdx->Check(t, nullptr));

  Listing ours = OurListing(mdx.get());
  EXPECT_EQ(4800u, ours["REPCLE_TAG"].size());
  EXPECT_EQ(6000u, ours["SYMBOLE_TA"].size());
  EXPECT_EQ(20000u, ours["REPCMT_TAG"].size());
  EXPECT_TRUE(ours["EMPTY"].empty());
  EXPECT_EQ(ours, PerlListing(dir.file("KR9.MDX")));
}

}  // namespace
}  // namespace xbase
