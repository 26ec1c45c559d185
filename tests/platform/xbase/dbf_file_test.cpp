// The table file itself, cut at every length: refused with a code instead of
// being read outside the file, or opened with the whole rows it holds.

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
using testing_support::TempDir;
using testing_support::WriteFileBytes;

class DbfFileTest : public ::testing::Test {
 protected:
  // A table of three rows, the second deleted, closed; returns its bytes.
  std::string Written() {
    {
      testing_tables::MainTable t(dir_.path());
      testing_tables::Fill(t, 3);
      EXPECT_EQ(kOk, TableGo(t.table, 2));
      EXPECT_EQ(kOk, RecordDelete(t.table));
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
  TempDir dir_;
  std::string path_ = dir_.file("KR9.DBF");
};

// Each cut of the file, with a header claiming 100 rows: refused while the
// header is cut, else opened with the whole rows the file holds.
TEST_F(DbfFileTest, EveryTruncationOpensOrFailsCleanly) {
  std::string good = Written();
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
TEST_F(DbfFileTest, LowerCaseFieldNamesAreFoundInAnyCase) {
  std::string bytes = Written();
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

// Rows appended in one write, read back (held by the cache, or written out
// first), one of them deleted, committed; then read cold in record order
// from the top and from the middle (whole blocks read ahead, the last one
// cut short), and with a row added to a block the cache does not hold: each
// is the row written. A write undone leaves no row.
TEST_F(DbfFileTest, RowsAppendedAndReadAheadAreTheRowsWritten) {
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
    testing_tables::MainTable t(dir_.path());
    ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
    for (int i = 1; i <= kRows; ++i) ASSERT_EQ(kOk, t.Append(testing_tables::NumberedRow(i)));
    EXPECT_EQ(addresses_from(t.table, 1), written);
    ASSERT_EQ(kOk, TableGo(t.table, kRows));
    ASSERT_EQ(kOk, RecordDelete(t.table));
    ASSERT_EQ(kOk, EngineCommit(&t.session));
    ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
    ASSERT_EQ(kOk, t.Append(testing_tables::NumberedRow(kRows + 1)));
    ASSERT_EQ(kOk, EngineRollback(&t.session));
  }
  for (long first : {1L, 700L}) {
    testing_tables::MainTable t(dir_.path(), false);
    EXPECT_EQ(addresses_from(t.table, first),
              std::vector<std::string>(written.begin() + first - 1, written.end()));
    EXPECT_EQ(TableRecordCount(t.table), kRows);
    ASSERT_EQ(kOk, TableGo(t.table, kRows));
    EXPECT_EQ(RecordIsDeleted(t.table), 1);
  }
  testing_tables::MainTable t(dir_.path(), false);  // a row added to a block not held
  ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
  ASSERT_EQ(kOk, t.Append(testing_tables::NumberedRow(kRows + 1)));
  written.push_back("%MW" + std::to_string(kRows + 1));
  EXPECT_EQ(addresses_from(t.table, 2),
            std::vector<std::string>(written.begin() + 1, written.end()));
  EXPECT_EQ(kOk, EngineCommit(&t.session));
}

}  // namespace
}  // namespace xbase
