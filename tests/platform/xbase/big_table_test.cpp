// A main table of 100 000 rows with its three tags through a heavy
// scenario, checked by IntegrityCheck after each stage.

#include <gtest/gtest.h>

#include <string>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

constexpr int kRows = 100000;

std::string Symbol(int i) { return "SYM_" + std::to_string((i * 7919) % 1000003); }

TEST(BigTable, HundredThousandRowsStaySoundThroughDeletesChangesAndCompaction) {
  TempDir dir;
  MainTable t(dir.path());
  ASSERT_TRUE(t.ok());
  for (int i = 1; i <= kRows; ++i) {
    ASSERT_EQ(kOk, t.Append(NumberedRow(i, Symbol(i))));
    if (i % 1000 == 0) {
      ASSERT_EQ(kOk, TableUnlock(t.table));
    }
  }
  EXPECT_EQ(kOk, t.Check());
  // Delete every 7th row through the key tag, as the reconfiguration does.
  TagSelect(t.table, t.cle);
  int deleted = 0;
  for (int r = TableTop(t.table); r == kOk; r = TableSkip(t.table, 1)) {
    if (TableRecordNumber(t.table) % 7 == 0) {
      ASSERT_EQ(kOk, RecordDelete(t.table));
      ++deleted;
    }
  }
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(kRows / 7, deleted);
  // Rename every 10th live symbol, walking the symbol tag.
  TagSelect(t.table, nullptr);
  for (long n = 10; n <= kRows; n += 10) {
    ASSERT_EQ(kOk, TableGo(t.table, n));
    if (RecordIsDeleted(t.table)) continue;
    ASSERT_EQ(kOk, t.Set("SYMBOLE", "NEW_" + std::to_string(n)));
  }
  ASSERT_EQ(kOk, TableUnlock(t.table));
  EXPECT_EQ(kOk, t.Check());
  EXPECT_EQ(static_cast<size_t>(kRows - deleted), t.Walk(t.repere).size());
  TagSelect(t.table, t.symbole);
  EXPECT_EQ(kOk, TableSeek(t.table, "NEW_50"));
  EXPECT_EQ(50, TableRecordNumber(t.table));
  EXPECT_EQ(kAfter, TableSeek(t.table, "NEW_70 "));  // row 70 is deleted
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(kRows - deleted, TableRecordCount(t.table));
  EXPECT_EQ(kOk, t.Check());
  TagSelect(t.table, t.repere);
  ASSERT_EQ(kOk, TableSeek(t.table, "%MW100000"));
  EXPECT_EQ(kRows - deleted, TableRecordNumber(t.table));
}

}  // namespace
}  // namespace xbase
