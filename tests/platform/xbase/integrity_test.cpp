// IntegrityCheck finds what was changed behind the engine's back.

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

class IntegrityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainTable t(dir_.path());
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
    ASSERT_EQ(kOk, TableGo(t.table, 4));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  // Changes one byte of a row of the closed table, then checks it.
  int CheckAfter(std::size_t at, char value, std::vector<std::string>* problems) {
    std::string f = ReadFileBytes(dir_.file("KR9.DBF"));
    f[at] = value;
    EXPECT_TRUE(WriteFileBytes(dir_.file("KR9.DBF"), f));
    MainTable t(dir_.path(), false);
    EXPECT_TRUE(t.ok());
    return t.Check(problems);
  }
  static std::size_t Row(int n) { return 289 + static_cast<std::size_t>(n - 1) * 92; }
  TempDir dir_;
};

TEST_F(IntegrityTest, SoundBaseHasNoProblem) {
  std::vector<std::string> problems;
  EXPECT_EQ(kOk, CheckAfter(Row(1) + 59, 'S', &problems));  // the byte it already holds
  EXPECT_TRUE(problems.empty());
}

TEST_F(IntegrityTest, KeyChangedInTheFileIsFound) {
  std::vector<std::string> problems;
  EXPECT_EQ(kErrIndexFormat, CheckAfter(Row(2) + 59, 'X', &problems));  // SYMBOLE of row 2
  ASSERT_EQ(1u, problems.size());
  EXPECT_NE(std::string::npos, problems[0].find("record 2 does not hold the row's key"))
      << problems[0];
}

TEST_F(IntegrityTest, RowDeletedOrRecalledBehindTheTagsIsFound) {
  std::vector<std::string> problems;
  EXPECT_EQ(kErrIndexFormat, CheckAfter(Row(1), '*', &problems));
  EXPECT_EQ(3u, problems.size());  // listed in each of the three tags
  problems.clear();
  EXPECT_EQ(kErrIndexFormat, CheckAfter(Row(4), ' ', &problems));  // row 4 recalled
  EXPECT_EQ(6u, problems.size());  // row 1 listed but deleted, row 4 missing, x3
}

TEST_F(IntegrityTest, LyingHeaderAndFlagsAreTableFaults) {
  std::vector<std::string> problems;
  EXPECT_EQ(kErrFormat, CheckAfter(Row(3), '?', &problems));
  problems.clear();
  EXPECT_EQ(kErrFormat, CheckAfter(4, 9, &problems));  // 9 records claimed, 5 held
  EXPECT_FALSE(problems.empty());
}

}  // namespace
}  // namespace xbase
