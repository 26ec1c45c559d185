// IntegrityCheck finds what was changed behind the engine's back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

// Rows 1..5 with row 4 deleted; one byte of the closed table changed, then
// checked.
TEST(Integrity, ChangesBehindTheEnginesBackAreFound) {
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
    testing_support::TempDir dir;
    {
      testing_tables::MainTable t(dir.path());
      ASSERT_TRUE(t.ok());
      testing_tables::Fill(t, 5);
      ASSERT_EQ(kOk, TableGo(t.table, 4));
      ASSERT_EQ(kOk, RecordDelete(t.table));
    }
    std::string bytes = testing_support::ReadFileBytes(dir.file("KR9.DBF"));
    bytes[c.at] = c.value;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF"), bytes));
    testing_tables::MainTable t(dir.path(), false);
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

}  // namespace
}  // namespace xbase
