// Every live address of the base in record order, 50 per call.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/lists/entry_list.h"
#include "support/symbol_base.h"

namespace {

using lists_test::EntryList;
using ::testing::ElementsAre;

class AllBaseList : public testing_support::SymbolBaseTest {};

TEST_F(AllBaseList, StartOutOfRange) {
  EntryList list;
  long record = 1;
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 105);  // empty
  Create("%MW1", "Sym", "comment");
  record = 0;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 105);
  record = -3;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 105);
  record = 2;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 105);
  EXPECT_EQ(list.size(), 0);
  record = 1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(finished, 1);
  // Address only: no symbol, no comment, type 0, flag -1.
  EXPECT_THAT(list.Full(), ElementsAre("%MW1|||0|-1"));
}

TEST_F(AllBaseList, BatchesSkipDeletedRows) {
  for (int i = 0; i < 60; ++i) Create(("%MW" + std::to_string(i)).c_str());
  for (int i : {0, 7, 59}) {
    CTBObjetAts gone(("%MW" + std::to_string(i)).c_str(), "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
  }
  EntryList list;
  long record = 1;
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(finished, 0);
  ASSERT_EQ(list.size(), 50);
  EXPECT_EQ(list.Addresses().front(), "%MW1");
  EXPECT_EQ(list.Addresses().back(), "%MW51");  // 50 live rows: %MW7 passed over
  EXPECT_EQ(record, 53);
  list.Clear();
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(record, 53);
  EXPECT_THAT(list.Addresses(),
              ElementsAre("%MW52", "%MW53", "%MW54", "%MW55", "%MW56", "%MW57", "%MW58"));
}

TEST_F(AllBaseList, ExactlyFiftyLiveRows) {
  for (int i = 0; i < 51; ++i) Create(("%MW" + std::to_string(i)).c_str());
  CTBObjetAts gone("%MW50", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  EntryList list;
  long record = 1;
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(list.size(), 50);
  // The walk stopped on a row: the next call finds only the deleted one.
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(record, 51);
  list.Clear();
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(list.size(), 0);
  EXPECT_EQ(finished, 1);
}

TEST_F(AllBaseList, LockedBase) {
  Create("%MW1");
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EntryList list;
  long record = 1;
  int finished = 4;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, list.get(), &finished), 0);
  EXPECT_EQ(finished, 4);
  EXPECT_EQ(list.size(), 0);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
