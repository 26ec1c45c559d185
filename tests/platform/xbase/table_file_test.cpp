// The table file itself: cut at every length, changed behind the engine's
// back, written and read ahead in blocks, and compacted (deleted rows dropped,
// rows renumbered, every tag rebuilt, an interrupted compaction finished or
// forgotten by the next open).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using Rows = std::vector<long>;

class TableFileTest : public ::testing::Test {
 protected:
  // A table of `rows` rows, row `deleted` deleted, closed; returns its bytes.
  std::string Written(int rows, long deleted) {
    {
      MainTable t(dir_.path());
      testing_tables::Fill(t, rows, {deleted});
    }
    return ReadFileBytes(path_);
  }
  // Opens the file as it now stands: the session error.
  int OpenResult(long* count = nullptr) {
    Session s;
    EngineInit(&s, 0, 0);
    Table* t = TableOpen(&s, path_.c_str());
    if (t != nullptr && count != nullptr) *count = TableRecordCount(t);
    return t != nullptr ? kOk : s.error;
  }
  testing_support::TempDir dir_;
  std::string path_ = dir_.file("KR9.DBF");
};

// Each cut of the file, with a header claiming 100 rows: refused while the
// header is cut, else opened with the whole rows the file holds.
TEST_F(TableFileTest, EveryTruncationOpensOrFailsCleanly) {
  std::string good = Written(3, 2);
  good[4] = 100;
  for (std::size_t n = 0; n <= good.size() + 4; ++n) {
    ASSERT_TRUE(WriteFileBytes(path_, (good + "junk").substr(0, n)));
    long count = -1;
    const int r = OpenResult(&count);
    if (n < 289) {
      EXPECT_EQ(kErrFormat, r) << n;
    } else {
      ASSERT_EQ(kOk, r) << n;
      EXPECT_EQ(std::min<long>(3, static_cast<long>((n - 289) / 92)), count) << n;
    }
  }
}

// Field names another tool stored in lower case are found in any case.
TEST_F(TableFileTest, LowerCaseFieldNamesAreFoundInAnyCase) {
  std::string bytes = Written(3, 2);
  bytes.replace(32, 5, std::string("data\0", 5));
  ASSERT_TRUE(WriteFileBytes(path_, bytes));
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, path_.c_str());
  ASSERT_NE(nullptr, t);
  Field* data = FieldGet(t, "DATA");
  EXPECT_NE(nullptr, data);
  EXPECT_EQ(data, FieldGet(t, "data"));
  EXPECT_EQ(kOk, EngineEnd(&s));
}

// Rows 1..5, row 4 deleted; one byte of the closed table changed, then checked.
TEST_F(TableFileTest, IntegrityCheckFindsChangesBehindTheEnginesBack) {
  const auto row = [](int n) { return 289 + static_cast<std::size_t>(n - 1) * 92; };
  const struct {
    const char* what;
    std::size_t at;
    char value;
    int result;
    int problems;  // how many reported; -1: some
    const char* first;
  } cases[] = {
      {"the byte it already holds", row(1) + 59, 'S', kOk, 0, nullptr},
      {"SYMBOLE of row 2", row(2) + 59, 'X', kErrIndexFormat, 1,
       "record 2 does not hold the row's key"},
      {"row 1 deleted: listed in each tag", row(1), '*', kErrIndexFormat, 3, nullptr},
      {"row 4 recalled: missing from each tag", row(4), ' ', kErrIndexFormat, 3, nullptr},
      {"an unknown deletion flag", row(3), '?', kErrFormat, -1, nullptr},
      {"9 records claimed, 5 held", 4, 9, kErrFormat, -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = Written(5, 4);
    bytes[c.at] = c.value;
    ASSERT_TRUE(WriteFileBytes(path_, bytes));
    MainTable t(dir_.path(), false);
    ASSERT_TRUE(t.ok());
    std::vector<std::string> problems;
    EXPECT_EQ(c.result, t.Check(&problems));
    EXPECT_EQ(c.problems < 0 ? problems.size() : std::size_t(c.problems), problems.size());
    EXPECT_EQ(c.result != kOk, !problems.empty());
    if (c.first) {
      EXPECT_NE(std::string::npos, problems.at(0).find(c.first)) << problems[0];
    }
  }
}

// Rows read warm, cold from the top and the middle (whole blocks read ahead,
// the last one cut short), and with a row added to a block not held: each is
// the row written. A write undone leaves no row.
TEST_F(TableFileTest, RowsAppendedAndReadAheadAreTheRowsWritten) {
  constexpr int kRows = 1500;
  auto addresses_from = [](Table* table, long first) {
    std::vector<std::string> seen;
    for (int r = TableGo(table, first); r == kOk; r = TableSkip(table, 1)) {
      seen.push_back(testing_tables::Trimmed(table, "REPERE"));
    }
    return seen;
  };
  std::vector<std::string> written;
  for (int i = 1; i <= kRows; ++i) written.push_back("%MW" + std::to_string(i));
  {
    MainTable t(dir_.path());
    ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
    for (int i = 1; i <= kRows; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
    EXPECT_EQ(addresses_from(t.table, 1), written);
    ASSERT_EQ(kOk, TableGo(t.table, kRows));
    ASSERT_EQ(kOk, RecordDelete(t.table));
    ASSERT_EQ(kOk, EngineCommit(&t.session));
    ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
    ASSERT_EQ(kOk, t.Append(NumberedRow(kRows + 1)));
    ASSERT_EQ(kOk, EngineRollback(&t.session));
  }
  for (long first : {1L, 700L}) {
    MainTable t(dir_.path(), false);
    EXPECT_EQ(addresses_from(t.table, first),
              std::vector<std::string>(written.begin() + first - 1, written.end()));
    EXPECT_EQ(TableRecordCount(t.table), kRows);
    ASSERT_EQ(kOk, TableGo(t.table, kRows));
    EXPECT_EQ(RecordIsDeleted(t.table), 1);
  }
  MainTable t(dir_.path(), false);  // a row added to a block not held
  ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
  ASSERT_EQ(kOk, t.Append(NumberedRow(kRows + 1)));
  written.push_back("%MW" + std::to_string(kRows + 1));
  EXPECT_EQ(addresses_from(t.table, 2),
            std::vector<std::string>(written.begin() + 1, written.end()));
  EXPECT_EQ(kOk, EngineCommit(&t.session));
}

TEST_F(TableFileTest, CompactionDropsDeletedRowsRenumbersAndRebuildsEveryTag) {
  {
    MainTable t(dir_.path());
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
  MainTable t(dir_.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ((Rows{7, 6, 5, 4, 3, 2, 1}), t.Walk(t.symbole));
  EXPECT_EQ(kOk, t.Check());
  EXPECT_EQ(289u + 7 * 92 + 1, ReadFileBytes(path_).size());
  EXPECT_TRUE(ReadFileBytes(dir_.file("KR9.DBF.pack")).empty());

  TagSelect(t.table, nullptr);  // every row deleted
  ASSERT_EQ(kOk, TableGo(t.table, 1));
  for (int r = kOk; r == kOk; r = TableSkip(t.table, 1)) ASSERT_EQ(kOk, RecordDelete(t.table));
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(0, TableRecordCount(t.table));
  EXPECT_EQ(kEof, TableTop(t.table));
  EXPECT_EQ(kOk, t.Check());
}

TEST_F(TableFileTest, CommittedCompactionIsFinishedByTheNextOpenAnUnfinishedOneDropped) {
  {
    MainTable t(dir_.path());
    ASSERT_TRUE(t.ok());
    ASSERT_EQ(kOk, t.Append(NumberedRow(1, "OLD")));
  }
  // A compaction that wrote its new files and journal, then stopped.
  std::string fresh = ReadFileBytes(path_);
  fresh.replace(289 + 59, 3, "NEW");  // SYMBOLE starts at offset 59 of a row
  const std::string pack = dir_.file("KR9.DBF.pack"), dbf = path_;
  ASSERT_TRUE(WriteFileBytes(dbf + ".new", fresh));
  // A last line without its partner (a damaged journal) is left alone.
  const std::string lonely = dir_.file("KR9.keep");
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
    ASSERT_TRUE(WriteFileBytes(pack, dbf + ".new\n" + dir_.file("KR9")));
  }
  EXPECT_EQ("keep", ReadFileBytes(lonely));
}

}  // namespace
}  // namespace xbase
