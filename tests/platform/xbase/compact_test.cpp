// Compaction: deleted rows dropped, rows renumbered, every tag rebuilt, and
// an interrupted compaction finished (or forgotten) by the next open.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;

TEST(TableCompact, DropsDeletedRowsRenumbersAndRebuildsEveryTag) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 10; ++i) {
      ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(100 - i))));
    }
    for (long n : {2, 5, 6, 10}) {
      ASSERT_EQ(kOk, TableGo(t.table, n));
      ASSERT_EQ(kOk, RecordDelete(t.table));
    }
    ASSERT_EQ(kOk, TableUnlock(t.table));
    ASSERT_EQ(kOk, TableCompact(t.table));
    EXPECT_EQ(6, TableRecordCount(t.table));
    // Rows 1 3 4 7 8 9 became 1..6; the symbols run backwards.
    EXPECT_EQ((std::vector<long>{6, 5, 4, 3, 2, 1}), t.Walk(t.symbole));
    EXPECT_EQ((std::vector<long>{1, 2, 3, 4, 5, 6}), t.Walk(t.cle));
    ASSERT_EQ(kOk, TableGo(t.table, 4));
    EXPECT_EQ("%MW7", t.Get("REPERE"));
    EXPECT_EQ(0, RecordIsDeleted(t.table));
    EXPECT_EQ(kOk, t.Check());
    // The table stays usable.
    ASSERT_EQ(kOk, t.Append(NumberedRow(11, "S0")));
    TagSelect(t.table, t.symbole);
    EXPECT_EQ(kOk, TableSeek(t.table, "S0"));
    EXPECT_EQ(7, TableRecordNumber(t.table));
  }
  MainTable t(dir.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(7, TableRecordCount(t.table));
  EXPECT_EQ((std::vector<long>{7, 6, 5, 4, 3, 2, 1}), t.Walk(t.symbole));
  EXPECT_EQ(kOk, t.Check());
  std::string dbf = testing_support::ReadFileBytes(dir.file("KR9.DBF"));
  EXPECT_EQ(289u + 7 * 92 + 1, dbf.size());
  EXPECT_TRUE(testing_support::ReadFileBytes(dir.file("KR9.DBF.pack")).empty());
}

TEST(TableCompact, EmptiedTableAndTableWithoutIndexes) {
  TempDir dir;
  MainTable t(dir.path());
  ASSERT_TRUE(t.ok());
  ASSERT_EQ(kOk, t.Append(NumberedRow(1, "A")));
  ASSERT_EQ(kOk, RecordDelete(t.table));
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(0, TableRecordCount(t.table));
  EXPECT_EQ(kEof, TableTop(t.table));
  EXPECT_EQ(kOk, t.Check());

  Session s;
  EngineInit(&s, 0, 0);
  Table* plain =
      TableCreate(&s, dir.file("PLAIN.DBF").c_str(), testing_tables::kMainFields, nullptr);
  ASSERT_NE(nullptr, plain);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(kOk, AppendStart(plain, 0));
    ASSERT_EQ(kOk, FieldAssign(FieldGet(plain, "REPERE"), std::to_string(i).c_str()));
    ASSERT_EQ(kOk, RecordAppend(plain));
  }
  ASSERT_EQ(kOk, TableGo(plain, 1));
  ASSERT_EQ(kOk, RecordDelete(plain));
  ASSERT_EQ(kOk, TableCompact(plain));
  ASSERT_EQ(2, TableRecordCount(plain));
  char text[40];
  ASSERT_EQ(kOk, TableGo(plain, 1));
  FieldCopy(FieldGet(plain, "REPERE"), text, 2);
  EXPECT_STREQ("1", text);
}

TEST(TableCompact, CommittedJournalIsFinishedByTheNextOpen) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    ASSERT_EQ(kOk, t.Append(NumberedRow(1, "OLD")));
  }
  // A compaction that wrote its new files and journal, then stopped.
  std::string fresh = testing_support::ReadFileBytes(dir.file("KR9.DBF"));
  ASSERT_FALSE(fresh.empty());
  fresh[289 + 59] = 'N';  // SYMBOLE starts at offset 59 of a row
  fresh[289 + 60] = 'E';
  fresh[289 + 61] = 'W';
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF.new"), fresh));
  ASSERT_TRUE(testing_support::WriteFileBytes(
      dir.file("KR9.DBF.pack"), dir.file("KR9.DBF.new") + "\n" + dir.file("KR9.DBF") + "\nend\n"));
  {
    Session s;
    EngineInit(&s, 0, 0);
    Table* t = TableOpen(&s, dir.file("KR9.DBF").c_str());
    ASSERT_NE(nullptr, t);
    char symbol[33];
    FieldCopy(FieldGet(t, "SYMBOLE"), symbol, 4);
    EXPECT_STREQ("NEW", symbol);
  }
  // An unfinished journal is dropped and the old files stay.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF.new"), "garbage"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF.pack"),
                                              dir.file("KR9.DBF.new") + "\n" + dir.file("KR9")));
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, dir.file("KR9.DBF").c_str());
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(1, TableRecordCount(t));
  EXPECT_TRUE(testing_support::ReadFileBytes(dir.file("KR9.DBF.pack")).empty());
}

// The live symbols in symbol order; deleted rows are skipped.
std::vector<std::string> LiveSymbols(MainTable& t) {
  std::vector<std::string> symbols;
  TagSelect(t.table, t.symbole);
  for (int r = TableTop(t.table); r == kOk; r = TableSkip(t.table, 1)) {
    if (!RecordIsDeleted(t.table)) symbols.push_back(t.Get("SYMBOLE"));
  }
  return symbols;
}

// A machine whose disk stops after each call of a compaction in turn: after
// a restart (page cache kept) or a power loss (durable mode), the next open
// finds the table as it was or compacted (compacted once the call has
// returned), the same live rows either way, and sound.
void CompactionStopsEverywhere(bool durable, bool power_loss) {
  const std::vector<std::string> live = {"S1", "S10", "S11", "S12", "S3", "S4", "S6", "S7", "S8"};
  bool stopped = true;
  for (long calls = 1; stopped; ++calls) {
    testing_support::MemoryFileSystem fs;
    {
      MainTable t("base", true, &fs);
      ASSERT_TRUE(t.ok());
      for (int i = 1; i <= 12; ++i) {
        ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
      }
      for (long n : {2, 5, 9}) {
        ASSERT_EQ(kOk, TableGo(t.table, n));
        ASSERT_EQ(kOk, RecordDelete(t.table));
      }
      ASSERT_EQ(kOk, TableUnlock(t.table));
    }
    fs.MarkAllDurable();
    {
      MainTable t("base", false, &fs);
      ASSERT_TRUE(t.ok());
      t.session.durable = durable ? 1 : 0;
      fs.DieAfter(calls);
      TableCompact(t.table);
      stopped = fs.dead();
      EngineEnd(&t.session);
    }
    if (power_loss) {
      fs.LosePower(static_cast<unsigned>(calls));
    } else {
      fs.Restart();
    }
    MainTable t("base", false, &fs);
    ASSERT_TRUE(t.ok()) << "stopped after " << calls << " calls";
    const long rows = TableRecordCount(t.table);
    // Once compaction has returned, it is in the files.
    EXPECT_TRUE(rows == 9 || (stopped && rows == 12))
        << rows << " rows, stopped after " << calls << " calls";
    EXPECT_EQ(live, LiveSymbols(t)) << "stopped after " << calls << " calls";
    EXPECT_EQ(kOk, t.Check()) << "stopped after " << calls << " calls";
  }
}

TEST(TableCompact, ACompactionIsWholeOrAbsentWhereverTheProcessStops) {
  CompactionStopsEverywhere(false, false);
}

TEST(TableCompact, ADurableCompactionIsWholeOrAbsentWhereverThePowerGoes) {
  CompactionStopsEverywhere(true, true);
}

}  // namespace
}  // namespace xbase
