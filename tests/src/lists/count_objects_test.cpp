// Counting the live rows of the base or of one object kind.

#include <gtest/gtest.h>

#include <string>

#include "src/lists/entry_list.h"
#include "support/symbol_base.h"

namespace {

using lists_test::EntryList;
using ::testing::IsEmpty;

class CountObjects : public testing_support::SymbolBaseTest {
 protected:
  long Count(const char* prefix, int module = 0) {
    long count = -1;
    EXPECT_EQ(TBNumberObjectByType(base, prefix, module, &count), 0);
    return count;
  }
};

TEST_F(CountObjects, WithAndWithoutPrefix) {
  EXPECT_EQ(Count(""), 0);
  EXPECT_EQ(Count("%MW"), 0);
  Create("%MW1");
  Create("%MW1:X4");
  Create("%MW2", "Two", "comment");
  Create("%MD1");
  Create("%M5");
  Create("%MB5");
  CTBObjetAts gone("%MW2", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  EXPECT_EQ(Count(""), 5);     // deleted rows are not counted
  EXPECT_EQ(Count("%MW"), 2);  // the word and its bit
  EXPECT_EQ(Count("%M"), 1);   // %M5 alone (MX), not %MB or %MW
  EXPECT_EQ(Count("%MD"), 1);
  EXPECT_EQ(Count("%KW"), 0);
  EXPECT_EQ(base->m_relation, nullptr);
  EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);  // record order
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(CountObjects, ACountBetweenExportCallsEndsTheExport) {
  for (int i = 0; i < 70; ++i) Create(("%MW" + std::to_string(i)).c_str());
  for (const char* prefix : {"", "%MW"}) {
    EntryList list;
    long counter = 1;
    int finished = -1;
    EXPECT_EQ(TBExportSymbol(base, prefix, 0, &counter, list.get(), &finished), 0);
    EXPECT_EQ(finished, 0);
    // Against the calling rules: the count takes the main table and the
    // query, and the export ends without a made-up entry.
    EXPECT_EQ(Count("%MW"), 70);
    list.Clear();
    EXPECT_EQ(TBExportSymbol(base, prefix, 0, &counter, list.get(), &finished), 0);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(list.size(), 0);
  }
}

TEST_F(CountObjects, OddArguments) {
  Create("%MW1");
  // A quote in the prefix breaks the filter: the engine's refusal is
  // reported and nothing is counted.
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%M'W", 0, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
}

TEST_F(CountObjects, LockedBase) {
  Create("%MW1");
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  long count = 9;
  EXPECT_EQ(TBNumberObjectByType(base, "", 0, &count), 0);
  EXPECT_EQ(TBNumberObjectByType(base, "%MW", 0, &count), 0);
  EXPECT_EQ(count, 9);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(Count(""), 1);
}

}  // namespace
