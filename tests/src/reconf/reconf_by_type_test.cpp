// Deleting every object of a type from a number on, and the steps of a
// macro-step from a step on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing_support::Key;

class ReconfByType : public testing_support::ReconfTest {};

TEST_F(ReconfByType, DeletesWordsAndBitsFromTheNumberOnWithTheirComments) {
  for (const char* repere : {"%MW5", "%MW10", "%MW12", "%MW10:X3", "%MW4:X1", "%MD10", "%KW11"}) {
    Commented(repere);
  }
  Create("%MW11");  // no comment: the comment walk must not move for it
  Reopen();
  EXPECT_EQ(TBReconfByType(base, 342, 10), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%KW11", "%MD10", "%MW4:X1", "%MW5"));
  EXPECT_THAT(CommentKeys(), ElementsAre(Key("KW", "00011"), Key("MD", "00010"), Key("MW", "00005"),
                                         Key("MWX", "00004", "00001")));
  EXPECT_EQ(CommentOfAddress("%MW5"), "c %MW5");
  // Rows go by their deletion mark only: the lock removes them.
  EXPECT_EQ(MainRows().size(), 8u);
  EXPECT_FALSE(Modified());
}

TEST_F(ReconfByType, ANumberAboveEveryIndexDeletesNothing) {
  Commented("%MW5");
  Commented("%MW10:X3");
  EXPECT_EQ(TBReconfByType(base, 342, 11), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW10:X3", "%MW5"));
  EXPECT_EQ(CommentKeys().size(), 2u);
}

TEST_F(ReconfByType, NumberZeroEmptiesTheTypeOnly) {
  Commented("%C0");
  Commented("%C3.P");
  Commented("%DR1");
  EXPECT_EQ(TBReconfByType(base, 401, 0), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%DR1"));
  EXPECT_THAT(CommentKeys(), ElementsAre(Key("DR", "00001")));
}

TEST_F(ReconfByType, InternalBitsAreTheirOwnType) {
  // %M has only the bit form MX: no second walk for sub-fields.
  Commented("%M3");
  Commented("%M7");
  Commented("%MW7");
  EXPECT_EQ(TBReconfByType(base, 464, 5), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%M3", "%MW7"));
}

TEST_F(ReconfByType, StepsGoWithTheirAttributesButNotMacroSteps) {
  for (const char* repere : {"%X1", "%X2", "%X2.TMAX", "%X1.T", "%X3", "%X0.5", "%XM2"}) {
    Commented(repere);
  }
  EXPECT_EQ(TBReconfByType(base, 601, 2), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%X0.5", "%X1", "%X1.T", "%XM2"));
  EXPECT_EQ(CommentKeys().size(), 4u);
}

TEST_F(ReconfByType, TypesWithoutAnAddressPrefixDeleteNothing) {
  Commented("%IW1.2:X3");
  Commented("%MW3");
  EXPECT_EQ(TBReconfByType(base, 434, 0), 0);
  EXPECT_EQ(TBReconfByType(base, 9999, 0), 0);
  EXPECT_EQ(LiveAddresses().size(), 2u);
}

TEST_F(ReconfByType, AnEmptyBaseGivesZero) {
  EXPECT_EQ(TBReconfByType(base, 342, 0), 0);
  EXPECT_THAT(LiveAddresses(), IsEmpty());
}

TEST_F(ReconfByType, ALostCommentRowCostsNoOtherRowItsComment) {
  Commented("%MW3:X1");  // after the words in key order, outside the range
  Commented("%MW10");
  Commented("%MW11");
  ASSERT_EQ(base->DeleteComment(Key("MW", "00010").c_str()), 0);  // %MW10 keeps its "O"
  EXPECT_EQ(TBReconfByType(base, 342, 10), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW3:X1"));
  EXPECT_THAT(CommentKeys(), ElementsAre(Key("MWX", "00003", "00001")));
}

TEST_F(ReconfByType, DeletedRowsAreGoneAfterTheLock) {
  Commented("%MW1");
  Commented("%MW2");
  EXPECT_EQ(TBReconfByType(base, 342, 2), 0);
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(MainRows().size(), 1u);
  EXPECT_EQ(testing_support::LiveCommentKeys(base).size(), 1u);
}

class ReconfByMacroEtape : public testing_support::ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    for (const char* repere : {"%X0.0", "%X0.3", "%X0.4", "%X0.4.TMAX", "%X0.5", "%X0.IN",
                               "%X0.IN.T", "%X0.OUT", "%XM0", "%X1.4", "%X1.5", "%X4"}) {
      Commented(repere);
    }
    Create("%X0.6");  // without comment, between commented steps
  }

  // Macro-step 0 keeps steps 0 to 3, IN and OUT; everything else stays; each
  // remaining row keeps its own comment.
  void ExpectStepsFromFourDeleted() {
    EXPECT_THAT(LiveAddresses(), ElementsAre("%X0.0", "%X0.3", "%X0.IN", "%X0.IN.T", "%X0.OUT",
                                             "%X1.4", "%X1.5", "%X4", "%XM0"));
    for (const std::string& repere : LiveAddresses()) {
      EXPECT_EQ(CommentOfAddress(repere), "c " + repere);
    }
    EXPECT_EQ(CommentKeys().size(), 9u);
  }
};

TEST_F(ReconfByMacroEtape, DeletesTheStepsFromTheCountKeepingInAndOut) {
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 4), 0);
  ExpectStepsFromFourDeleted();
}

TEST_F(ReconfByMacroEtape, StepsAfterTheKeptOnesLoseTheirOwnCommentsOnly) {
  // Step numbers of five digits sort after IN and OUT: the kept commented
  // IN and OUT rows do not move the comment walk on.
  Commented("%X0.10000");
  Commented("%X0.10001");
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 4), 0);
  ExpectStepsFromFourDeleted();
}

TEST_F(ReconfByMacroEtape, ByTypeTakesWholeMacroStepsFromTheNumber) {
  EXPECT_EQ(TBReconfByType(base, 603, 1), 0);
  EXPECT_THAT(LiveAddresses(),
              ElementsAre("%X0.0", "%X0.3", "%X0.4", "%X0.4.TMAX", "%X0.5", "%X0.6", "%X0.IN",
                          "%X0.IN.T", "%X0.OUT", "%X4", "%XM0"));
  EXPECT_EQ(CommentKeys().size(), 10u);
}

TEST_F(ReconfByMacroEtape, MacroStepsCountFromOne) {
  EXPECT_EQ(TBReconfByMacroEtape(base, 611, 2, 5), 0);
  EXPECT_THAT(LiveAddresses(), ::testing::Not(::testing::Contains("%X1.5")));
  EXPECT_THAT(LiveAddresses(), ::testing::Contains("%X1.4"));
  EXPECT_EQ(LiveAddresses().size(), 12u);
}

TEST_F(ReconfByMacroEtape, AMacroStepWithoutSuchStepsKeepsEverything) {
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 7), 0);
  EXPECT_EQ(LiveAddresses().size(), 13u);
  EXPECT_EQ(CommentKeys().size(), 12u);
}

TEST_F(ReconfByMacroEtape, MacroStepZeroNamesNoRow) {
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 0, 0), 0);
  EXPECT_EQ(LiveAddresses().size(), 13u);
}

TEST_F(ReconfByMacroEtape, StepCountZeroLeavesOnlyInOutAndTheMacroStepRow) {
  EXPECT_EQ(TBReconfByMacroEtape(base, 603, 1, 0), 0);
  EXPECT_THAT(LiveAddresses(),
              ElementsAre("%X0.IN", "%X0.IN.T", "%X0.OUT", "%X1.4", "%X1.5", "%X4", "%XM0"));
  EXPECT_EQ(CommentKeys().size(), 7u);
}

}  // namespace
