// The positions of a module object and the sub-entries of one position.

#include <gtest/gtest.h>

#include <string>

#include "src/lists/entry_list.h"
#include "support/symbol_base.h"

namespace {

using lists_test::EntryList;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ModuleLists : public testing_support::SymbolBaseTest {
 protected:
  // Macro-step 1: the object, IN, OUT, steps 0 and 1 with time limits.
  void CreateMacroStep() {
    Create("%XM1", "Macro", "the macro-step");
    Create("%X1.IN", "In");
    Create("%X1.OUT", "Out", "leaves");
    Create("%X1.0");
    Create("%X1.1", "Step1");
    Create("%X1.1.T", "", "time");
    Create("%X1.1.ERR");
    Create("%X1.IN.TMAX");
  }
};

TEST_F(ModuleLists, PositionsOfAnObject) {
  CreateMacroStep();
  EntryList list;
  // Positions: 0 the object, 1 IN, 2 and 3 steps 0 and 1, 4 (= n - 1) OUT.
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 5, 0, 4, 100, list.get()), 0);
  EXPECT_THAT(list.Full(),
              ElementsAre("%XM1|Macro|the macro-step|0|-1", "%X1.IN|In||1|-1", "%X1.0|||2|-1",
                          "%X1.1|Step1||3|-1", "%X1.OUT|Out|leaves|4|-1"));
  EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "XM"), xbase::kErrTag);  // record order

  list.Clear();
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 5, 2, 4, 2, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%X1.0", "%X1.1"));
  list.Clear();
  // Positions without a row are passed over.
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 9, 3, 8, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%X1.1", "%X1.OUT"));
}

TEST_F(ModuleLists, InIsTestedBeforeOut) {
  CreateMacroStep();
  EntryList list;
  // Count 2: position 1 is both IN and n - 1; IN wins.
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 2, 0, 1, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%XM1", "%X1.IN"));
  list.Clear();
  // Count 1: position 0 is the object itself.
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 1, 0, 0, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%XM1"));
}

TEST_F(ModuleLists, EmptyRangesAndHugeRanges) {
  CreateMacroStep();
  EntryList list;
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 5, 4, 3, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 5, 0, 4, 0, list.get()), 0);
  EXPECT_EQ(TBListRepereModule(base, "%XM", 2, 5, 0, 4, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), IsEmpty());
  // The whole unsigned range ends: past IND2 99999 only OUT can still match.
  // Positions 10000 and 10001 number the entries 9998 and 9999, IN and OUT.
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 2000000000, 0, 0xFFFFFFFFu, 100, list.get()), 0);
  EXPECT_THAT(list.Full(),
              ElementsAre("%XM1|Macro|the macro-step|0|-1", "%X1.IN|In||1|-1", "%X1.0|||2|-1",
                          "%X1.1|Step1||3|-1", "%X1.IN|In||10000|-1", "%X1.OUT|Out|leaves|10001|-1",
                          "%X1.OUT|Out|leaves|1999999999|-1"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(ModuleLists, SubEntriesOfAPosition) {
  CreateMacroStep();
  EntryList list;
  // Position 3 is step 1: its T (0) and ERR (3) entries; flag the IND3 number.
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 3, 4, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%X1.1.T||time|3|0", "%X1.1.ERR|||3|3"));
  list.Clear();
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 1, 4, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%X1.IN.TMAX|||1|2"));
  list.Clear();
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 3, 0, list.get()), 0);
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 0, 4, list.get()), 0);
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, -2000000000, 4, list.get()), 0);
  EXPECT_THAT(list.Addresses(), IsEmpty());
  // Past IND3 99999 nothing can match: the lookups end there.
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 3, 0xFFFFFFFFu, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%X1.1.T", "%X1.1.ERR"));
}

TEST_F(ModuleLists, SubEntriesAskForABlankBitIndex) {
  Create("%IW1.2.0");
  Create("%IW1.2.0:X4");
  Create("%IW1.2.1");
  EntryList list;
  // %IW1.2.0 is VIW 1 2 0; position 4 of 9 gives IND2 2.
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%VIW", 1, 9, 4, 3, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%IW1.2.0", "%IW1.2.1"));
}

TEST_F(ModuleLists, LockedBase) {
  CreateMacroStep();
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EntryList list;
  EXPECT_EQ(TBListRepereModule(base, "%XM", 1, 5, 0, 4, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereModuleSousObjet(base, "%XM", 1, 5, 3, 4, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
}

}  // namespace
