// An index file written by another xBase engine (xbase64, in
// tests/fixtures/peer-mdx) changed by our index code. The peer files' walks,
// seeks and production flag through the table layer, with the integrity check
// holding every key against its row, are in tests/interop/dbf_readers_test.cpp.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/xbase/mdx_test_util.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_mdx::Entry;

TEST(MdxPeer, ChangesToAPeerTreeKeepItSoundAndOrderedBothWays) {
  testing_support::MemoryFileSystem fs;
  fs.SetContents("X.MDX", testing_support::ReadFileBytes(std::string(SYMBASE_FIXTURE_DIR) +
                                                         "/peer-mdx/big/BIGTAB.MDX"));
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, fs.Open("X.MDX", OpenMode::kReadWrite, &file));
  std::unique_ptr<MdxFile> big;
  ASSERT_EQ(kOk, MdxFile::Open(std::move(file), &big));
  const int obj = big->FindTag("OBJKEY");
  auto key = [](std::uint32_t r) {
    std::string k = "%MW  " + std::to_string(r);
    k.resize(22, ' ');
    return k;
  };
  // Put back the deleted rows 10, 20, ... 300, then take out rows 1..150.
  for (std::uint32_t r = 10; r <= 300; r += 10) ASSERT_EQ(kOk, big->Insert(obj, key(r).data(), r));
  for (std::uint32_t r = 1; r <= 150; ++r) ASSERT_EQ(kOk, big->Remove(obj, key(r).data(), r)) << r;
  testing_mdx::ExpectSound(big.get(), obj);
  const std::vector<Entry> got = testing_mdx::Entries(big.get(), obj);
  ASSERT_EQ(150u, got.size());
  EXPECT_EQ(151u, got.front().second);
  EXPECT_EQ(300u, got.back().second);  // rows 151..300 are left; "300" sorts last
  std::vector<Entry> back;
  MdxCursor c;
  for (int rc = big->Last(obj, &c); rc == kOk; rc = big->Prev(&c))
    back.emplace(back.begin(), c.key, c.record);
  EXPECT_EQ(got, back);
}

}  // namespace
}  // namespace xbase
