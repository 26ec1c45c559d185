// Deleting the time limits and errors of steps.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing_support::Key;

class DelObjetDiagG7 : public testing_support::ReconfTest {};

TEST_F(DelObjetDiagG7, KeepsStepsTheirActivityTimeAndInOut) {
  for (const char* repere : {"%X3.T", "%X3.TMIN", "%X3.TMAX", "%X3.ERR", "%X1.2.T", "%X1.2.ERR",
                             "%X1.IN", "%X3", "%X1.2", "%X1.OUT.TMAX", "%XM1", "%MW3"}) {
    Commented(repere);
  }
  Create("%X4.ERR", "Err_4");
  Reopen();
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_THAT(LiveAddresses(),
              ElementsAre("%MW3", "%X1.2", "%X1.2.T", "%X1.IN", "%X3", "%X3.T", "%XM1"));
  for (const std::string& repere : LiveAddresses()) {
    EXPECT_EQ(CommentOfAddress(repere), "c " + repere);
  }
  EXPECT_EQ(CommentKeys().size(), 7u);
  EXPECT_TRUE(Modified());
}

TEST_F(DelObjetDiagG7, AnUnknownStepSubFieldGoesToo) {
  Commented("%X2.FOO");  // IND2 stays blank
  Commented("%X2.T");
  EXPECT_EQ(LiveRow("%X2.FOO").key, Key("XX", "00002"));
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%X2.T"));
}

TEST_F(DelObjetDiagG7, ABaseWithoutAttributesIsLeftAsItIs) {
  Commented("%X3.T");
  Commented("%X1.5");
  Reopen();
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_EQ(LiveAddresses().size(), 2u);
  EXPECT_FALSE(Modified());
  // Attributes without comment rows change nothing that dates the base.
  Create("%X3.TMAX");
  Reopen();
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_EQ(LiveAddresses().size(), 2u);
  EXPECT_FALSE(Modified());
}

TEST_F(DelObjetDiagG7, AMissingCommentRowStopsTheDeletion) {
  Commented("%X1.TMIN");
  Commented("%X2.TMIN");
  ASSERT_EQ(base->DeleteComment(Key("XX", "00001", "00001").c_str()), 0);
  EXPECT_EQ(TBDelObjetDiagG7(base), 103);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%X2.TMIN"));
  // The relation was freed: the next run finds the rest.
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_TRUE(LiveAddresses().empty());
  EXPECT_TRUE(CommentKeys().empty());
}

}  // namespace
