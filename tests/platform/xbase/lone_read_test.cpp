// Rows read out of order once the process's cache budget is spent: each
// comes alone from the file, not with its block, and is the row written.

#include <gtest/gtest.h>

#include <string>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/cache_budget.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

TEST(LoneReads, RowsReadOutOfOrderWithTheBudgetSpentAreTheRowsWritten) {
  testing_support::TempDir dir;
  constexpr long kRows = 1500;  // some 34 blocks, past the 16 a cache holds whatever the budget
  {
    testing_tables::MainTable t(dir.path());
    testing_tables::Fill(t, kRows);
  }
  testing_tables::MainTable t(dir.path(), false);
  CacheBudget::Force(CacheBudget::kBytes);
  // Strides of 37 rows: no row follows the one read before, blocks read in
  // turn come from all over the table, and some blocks are met twice.
  for (long pass = 0; pass < 2; ++pass) {
    for (long n = 1 + pass * 11; n <= kRows; n += 37) {
      ASSERT_EQ(kOk, TableGo(t.table, n));
      EXPECT_EQ(testing_tables::Trimmed(t.table, "REPERE"), "%MW" + std::to_string(n));
    }
  }
  CacheBudget::Give(CacheBudget::kBytes);
}

}  // namespace
}  // namespace xbase
