// Moving the rows of a module to another place on the rack or the bus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing_support::Key;
using testing_support::MainRow;

class ReconfMoveModule : public testing_support::ReconfTest {
 protected:
  int Move(const char* from, const char* to) {
    UsAts source = Analysed(from);
    UsAts target = Analysed(to);
    return TBReconfMoveModule(base, &source, &target);
  }
};

TEST_F(ReconfMoveModule, RewritesKeysAddressesAndCommentRowsOfTheModule) {
  Commented("%I1.2");
  Commented("%IW1.0:X4");
  Create("%Q1.3", "Lamp");
  Commented("%IW1.MOD");
  Commented("%I11.2");
  Commented("%MW1");
  Reopen();
  EXPECT_EQ(Move("%I1.0", "%I3.0"), 0);
  EXPECT_THAT(LiveAddresses(),
              ElementsAre("%I11.2", "%I3.2", "%IW3.0:X4", "%IW3.MOD", "%MW1", "%Q3.3"));
  EXPECT_EQ(LiveRow("%I3.2").key, Key("VIX", "00003", "00002", "00000"));
  EXPECT_EQ(LiveRow("%IW3.0:X4").key, Key("VIWX", "00003", "00000", "00000", "04"));
  EXPECT_EQ(LiveRow("%IW3.MOD").key, Key("MOIW", "00003", "00000", "00000"));
  EXPECT_EQ(LiveRow("%Q3.3").symbole, "Lamp");
  // Each comment followed its row; the rows of module 11 did not move.
  EXPECT_EQ(CommentOfAddress("%I3.2"), "c %I1.2");
  EXPECT_EQ(CommentOfAddress("%IW3.0:X4"), "c %IW1.0:X4");
  EXPECT_EQ(CommentOfAddress("%IW3.MOD"), "c %IW1.MOD");
  EXPECT_EQ(LiveRow("%I11.2").key, Key("VIX", "0000B", "00002", "00000"));
  EXPECT_EQ(CommentOfAddress("%I11.2"), "c %I11.2");
  EXPECT_EQ(CommentOf(Key("VIX", "00001", "00002", "00000")), "<none>");
  EXPECT_EQ(CommentKeys().size(), 5u);
  EXPECT_FALSE(Modified());
}

TEST_F(ReconfMoveModule, DecimalModuleNumbering) {
  HostSetAddressingMode(1);
  Commented("%I1.2");
  Commented("%I11.2");
  EXPECT_EQ(Move("%I1.0", "%I12.0"), 0);
  EXPECT_EQ(LiveRow("%I12.2").key, Key("VIX", "00012", "00002", "00000"));
  EXPECT_EQ(CommentOfAddress("%I12.2"), "c %I1.2");
  EXPECT_EQ(LiveRow("%I11.2").key, Key("VIX", "00011", "00002", "00000"));
}

TEST_F(ReconfMoveModule, BusModuleAddresses) {
  Commented("%I\\1.0.5\\0.2");
  Commented("%IW\\1.0.5\\0.1:X3");
  Commented("%I\\1.0.5\\1.2");
  EXPECT_EQ(Move("%I\\1.0.5\\0.0", "%I\\2.0.5\\0.0"), 0);
  // \1.0.5\0 is 4058 (003UQ), \2.0.5\0 is 6106 (005UQ).
  EXPECT_EQ(LiveRow("%I\\2.0.5\\0.2").key, Key("VIX", "005UQ", "00002", "00000"));
  EXPECT_EQ(CommentOfAddress("%I\\2.0.5\\0.2"), "c %I\\1.0.5\\0.2");
  EXPECT_EQ(LiveRow("%IW\\2.0.5\\0.1:X3").key, Key("VIWX", "005UQ", "00001", "00000", "03"));
  EXPECT_EQ(LiveRow("%I\\1.0.5\\1.2").key, Key("VIX", "003UR", "00002", "00000"));
}

TEST_F(ReconfMoveModule, FromABusAddressToAPositionAndBack) {
  Commented("%I\\1.0.5\\0.2");
  EXPECT_EQ(Move("%I\\1.0.5\\0.0", "%I7.0"), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%I7.2"));
  EXPECT_EQ(Move("%I7.0", "%I\\1.0.5\\0.0"), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%I\\1.0.5\\0.2"));
  EXPECT_EQ(LiveRow("%I\\1.0.5\\0.2").key, Key("VIX", "003UQ", "00002", "00000"));
  EXPECT_EQ(CommentOfAddress("%I\\1.0.5\\0.2"), "c %I\\1.0.5\\0.2");
}

TEST_F(ReconfMoveModule, AModuleWithoutRowsOrNoModuleMovesNothing) {
  Commented("%I1.2");
  EXPECT_EQ(Move("%I4.0", "%I5.0"), 0);
  // A number no first index can hold names no module.
  UsAts huge{};
  huge.value.number = 40000000;
  UsAts one = Analysed("%I1.0");
  EXPECT_EQ(TBReconfMoveModule(base, &one, &huge), 0);
  EXPECT_EQ(TBReconfMoveModule(base, &huge, &one), 0);
  HostSetAddressingMode(1);
  huge.value.number = 100000;
  EXPECT_EQ(TBReconfMoveModule(base, &one, &huge), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%I1.2"));
}

TEST_F(ReconfMoveModule, OntoAnOccupiedPlaceTheRowsJoin) {
  Commented("%I1.2");
  Commented("%I2.2");
  EXPECT_EQ(Move("%I1.0", "%I2.0"), 0);
  int rows = 0;
  for (const MainRow& row : MainRows()) {
    EXPECT_EQ(row.key, Key("VIX", "00002", "00002", "00000"));
    EXPECT_EQ(row.repere, "%I2.2");
    ++rows;
  }
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(CommentKeys().size(), 2u);
}

TEST_F(ReconfMoveModule, AMissingCommentRowStopsTheMove) {
  Commented("%I1.2");
  Commented("%I1.3");
  ASSERT_EQ(base->DeleteComment(Key("VIX", "00001", "00003", "00000").c_str()), 0);
  EXPECT_EQ(Move("%I1.0", "%I3.0"), 103);
  // The first row moved; the one without comment row stays put.
  EXPECT_THAT(LiveAddresses(), ElementsAre("%I1.3", "%I3.2"));
  EXPECT_EQ(CommentOfAddress("%I3.2"), "c %I1.2");
  // The move's query is still the current one; the next relation replaces it.
  EXPECT_EQ(Move("%I7.0", "%I8.0"), 0);
}

TEST_F(ReconfMoveModule, ManyRowsMoveWithTheirComments) {
  for (int channel = 0; channel < 200; ++channel) {
    const std::string repere = "%IW4." + std::to_string(channel);
    if (channel % 3 == 0) {
      Commented(repere.c_str());
    } else {
      Create(repere.c_str());
    }
  }
  EXPECT_EQ(Move("%IW4.0", "%IW9.0"), 0);
  EXPECT_EQ(LiveAddresses().size(), 200u);
  for (const std::string& repere : LiveAddresses()) {
    ASSERT_EQ(repere.substr(0, 5), "%IW9.");
    const std::string comment = CommentOfAddress(repere);
    if (comment != "<none>") {
      EXPECT_EQ(comment, "c %IW4." + repere.substr(5));
    }
  }
  EXPECT_EQ(CommentKeys().size(), 67u);
}

}  // namespace
