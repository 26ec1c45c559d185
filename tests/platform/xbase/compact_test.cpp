// Compaction: deleted rows dropped, rows renumbered, every tag rebuilt, an
// interrupted compaction finished (or forgotten) by the next open.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using Rows = std::vector<long>;

TEST(TableCompact, DropsDeletedRowsRenumbersAndRebuildsEveryTag) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 10; ++i)
      ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(100 - i))));
    for (long n : {2, 5, 6, 10}) {
      ASSERT_EQ(kOk, TableGo(t.table, n));
      ASSERT_EQ(kOk, RecordDelete(t.table));
    }
    ASSERT_EQ(kOk, TableCompact(t.table));
    EXPECT_EQ(6, TableRecordCount(t.table));
    // Rows 1 3 4 7 8 9 became 1..6; the symbols run backwards.
    EXPECT_EQ((Rows{6, 5, 4, 3, 2, 1}), t.Walk(t.symbole));
    ASSERT_EQ(kOk, t.Append(NumberedRow(11, "S0")));  // the table stays usable
  }
  MainTable t(dir.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ((Rows{7, 6, 5, 4, 3, 2, 1}), t.Walk(t.symbole));
  EXPECT_EQ(kOk, t.Check());
  EXPECT_EQ(289u + 7 * 92 + 1, ReadFileBytes(dir.file("KR9.DBF")).size());
  EXPECT_TRUE(ReadFileBytes(dir.file("KR9.DBF.pack")).empty());

  TagSelect(t.table, nullptr);  // every row deleted
  ASSERT_EQ(kOk, TableGo(t.table, 1));
  for (int r = kOk; r == kOk; r = TableSkip(t.table, 1)) ASSERT_EQ(kOk, RecordDelete(t.table));
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(0, TableRecordCount(t.table));
  EXPECT_EQ(kEof, TableTop(t.table));
  EXPECT_EQ(kOk, t.Check());
}

TEST(TableCompact, CommittedJournalIsFinishedByTheNextOpenAnUnfinishedOneDropped) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    ASSERT_EQ(kOk, t.Append(NumberedRow(1, "OLD")));
  }
  // A compaction that wrote its new files and journal, then stopped.
  std::string fresh = ReadFileBytes(dir.file("KR9.DBF"));
  fresh.replace(289 + 59, 3, "NEW");  // SYMBOLE starts at offset 59 of a row
  const std::string pack = dir.file("KR9.DBF.pack"), dbf = dir.file("KR9.DBF");
  ASSERT_TRUE(WriteFileBytes(dbf + ".new", fresh));
  // A last line without its partner (a damaged journal) is left alone.
  const std::string lonely = dir.file("KR9.keep");
  ASSERT_TRUE(WriteFileBytes(lonely, "keep"));
  ASSERT_TRUE(WriteFileBytes(pack, dbf + ".new\n" + dbf + "\n" + lonely + "\nend\n"));
  for (const std::string symbol : {"NEW", "NEW"}) {
    Session s;
    EngineInit(&s, 0, 0);
    Table* t = TableOpen(&s, dbf.c_str());
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(symbol, testing_tables::Trimmed(t, "SYMBOLE"));
    EXPECT_EQ(1, TableRecordCount(t));
    EXPECT_TRUE(ReadFileBytes(pack).empty());
    // The next round: an unfinished journal, whose new file is garbage.
    ASSERT_TRUE(WriteFileBytes(dbf + ".new", "garbage"));
    ASSERT_TRUE(WriteFileBytes(pack, dbf + ".new\n" + dir.file("KR9")));
  }
  EXPECT_EQ("keep", ReadFileBytes(lonely));
}

}  // namespace
}  // namespace xbase
