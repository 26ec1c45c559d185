// Records kept in memory by blocks: what one handle writes, and what another
// handle on the same file wrote before a refresh, is what reads return.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "support/memory_file_system.h"
#include "xbase/cache_budget.h"
#include "xbase/dbf_file.h"
#include "xbase/record_cache.h"
#include "xbase/result.h"

namespace xbase {
namespace {

const FieldDefinition kFields[] = {{"NAME", 'C', 10, 0}, {nullptr, 0, 0, 0}};
constexpr std::size_t kLength = 11;  // flag + NAME

std::string Row(const std::string& name) {
  std::string row = " " + name;
  row.resize(kLength, ' ');
  return row;
}

class RecordCacheTest : public ::testing::Test {
 protected:
  std::unique_ptr<DbfFile> OpenTable(OpenMode mode) {
    std::unique_ptr<File> file;
    EXPECT_EQ(kOk, fs.Open("T.DBF", mode, &file));
    std::unique_ptr<DbfFile> dbf;
    if (mode == OpenMode::kCreate) {
      EXPECT_EQ(kOk, DbfFile::Create(std::move(file), kFields, &dbf));
    } else {
      EXPECT_EQ(kOk, DbfFile::Open(std::move(file), &dbf));
    }
    return dbf;
  }

  std::string Read(DbfFile* dbf, std::uint32_t n) {
    std::string row(kLength, '\0');
    EXPECT_EQ(kOk, dbf->Read(n, &row[0])) << n;
    return row;
  }

  testing_support::MemoryFileSystem fs;
};

// 1000 rows span many blocks (about 370 records of 11 bytes a block).
TEST_F(RecordCacheTest, ReadsFollowWritesAppendsAndOtherHandles) {
  std::unique_ptr<DbfFile> table = OpenTable(OpenMode::kCreate);
  for (int i = 1; i <= 1000; ++i)
    ASSERT_EQ(kOk, table->Append(Row("R" + std::to_string(i)).data()));
  ASSERT_EQ(kOk, table->WriteHeader());
  for (std::uint32_t n : {1u, 370u, 371u, 999u, 1000u, 500u}) {
    EXPECT_EQ(Read(table.get(), n), Row("R" + std::to_string(n)));
  }
  ASSERT_EQ(kOk, table->Write(500, Row("changed").data()));
  EXPECT_EQ(Read(table.get(), 500), Row("changed"));
  ASSERT_EQ(kOk, table->Append(Row("R1001").data()));  // into a block already read
  EXPECT_EQ(Read(table.get(), 1001), Row("R1001"));
  EXPECT_EQ(Read(table.get(), 1000), Row("R1000"));
  EXPECT_EQ(kErrRecord, table->Read(1002, &std::string(kLength, ' ')[0]));
  // A failed write is not held as written.
  fs.FailWritesAfter(fs.writes());
  EXPECT_NE(kOk, table->Write(500, Row("lost").data()));
  fs.FailWritesAfter(-1);
  EXPECT_EQ(Read(table.get(), 500), Row("changed"));
  ASSERT_EQ(kOk, table->WriteHeader());

  // Another handle writes; ours sees it once it refreshes, as a writer does
  // when it takes the write lock.
  std::unique_ptr<DbfFile> other = OpenTable(OpenMode::kReadWrite);
  ASSERT_EQ(kOk, other->Write(2, Row("other").data()));
  ASSERT_EQ(kOk, other->Append(Row("R1002").data()));
  ASSERT_EQ(kOk, other->WriteHeader());
  ASSERT_EQ(kOk, table->RefreshCount());
  EXPECT_EQ(table->count(), 1002u);
  EXPECT_EQ(Read(table.get(), 2), Row("other"));
  EXPECT_EQ(Read(table.get(), 1002), Row("R1002"));
}

// Two caches that between them read far more than the process's budget:
// the memory they hold stays within it (past their small floors), every
// block just read is held with its bytes, and all of it is given back.
TEST(RecordCacheBudget, ManyBlocksStayWithinTheBudgetAndAreGivenBack) {
  const std::size_t before = CacheBudget::Taken();
  constexpr std::size_t kRecord = 4096;  // one record a block
  const std::uint32_t blocks =
      static_cast<std::uint32_t>(CacheBudget::kBytes / kRecord);  // each cache alone fills it
  {
    RecordCache first, second;
    first.Configure(kRecord);
    second.Configure(kRecord);
    std::size_t most = 0;
    for (std::uint32_t n = 1; n <= blocks; ++n) {
      for (RecordCache* cache : {&first, &second}) {
        std::uint32_t at = 0;
        char* block = cache->Prepare(n, &at);
        ASSERT_EQ(at, n);
        std::memset(block, static_cast<int>(n % 251), kRecord);
        cache->Fill(n, 1);
        const char* held = cache->Find(n);
        ASSERT_NE(held, nullptr) << n;
        ASSERT_EQ(held[kRecord - 1], static_cast<char>(n % 251)) << n;
      }
      most = std::max(most, CacheBudget::Taken() - before);
    }
    EXPECT_LE(most, CacheBudget::kBytes + 2 * 16 * kRecord);
    EXPECT_GE(most, CacheBudget::kBytes - 2 * kRecord);  // the budget is used, not left idle
    // Blocks given up to later ones are no longer found; recent ones are.
    EXPECT_EQ(first.Find(1), nullptr);
    EXPECT_NE(second.Find(blocks), nullptr);
  }
  EXPECT_EQ(CacheBudget::Taken(), before);
}

}  // namespace
}  // namespace xbase
