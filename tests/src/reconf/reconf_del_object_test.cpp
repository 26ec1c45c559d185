// Deleting one object of a changed configuration, with the bit rows of its
// word for the word types that have them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing_support::Key;
using testing_support::ReportIs;

class ReconfDelObject : public testing_support::ReconfTest {
 protected:
  // The word %IW3.1, all sixteen of its bits (even ones commented), a bit of
  // the next word, a word of another module and a word of another kind.
  void CreateWordWithBits() {
    Commented("%IW3.1");
    for (int bit = 0; bit < 16; ++bit) {
      const std::string repere = "%IW3.1:X" + std::to_string(bit);
      if (bit % 2 == 0) {
        Commented(repere.c_str());
      } else {
        Create(repere.c_str());
      }
    }
    Commented("%IW3.2:X0");
    Commented("%IW4.1:X0");
    Commented("%MW3");
  }

  int Delete(const char* repere, unsigned short type, std::string* padded = nullptr) {
    CTBObjetAts object(repere, "", "", 0, -1);
    const int result = TBReconfDelObject(base, &object, type, 0);
    if (padded != nullptr) *padded = std::string(object.m_repere);
    return result;
  }
};

TEST_F(ReconfDelObject, AModuleWordGoesWithItsSixteenBits) {
  CreateWordWithBits();
  Reopen();
  std::string padded;
  EXPECT_EQ(Delete("%IW3.1", 434, &padded), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW3.2:X0", "%IW4.1:X0", "%MW3"));
  EXPECT_THAT(CommentKeys(),
              ElementsAre(Key("MW", "00003"), Key("VIWX", "00003", "00002", "00000", "00"),
                          Key("VIWX", "00004", "00001", "00000", "00")));
  EXPECT_EQ(padded, "%IW3.1" + std::string(30, ' '));
  // The word's comment deletion marks the base modified.
  EXPECT_TRUE(Modified());
}

TEST_F(ReconfDelObject, ATypeWithoutBitRowsDeletesTheWordOnly) {
  CreateWordWithBits();
  EXPECT_EQ(Delete("%IW3.1", 342), 0);
  EXPECT_EQ(LiveAddresses().size(), 19u);
  EXPECT_EQ(CommentKeys().size(), 11u);
  EXPECT_EQ(CommentOfAddress("%IW3.1:X0"), "c %IW3.1:X0");
}

// The comment row is sought with OBJET+IND1+IND2+IND3 (20 characters): for a
// bit deleted alone, the first bit of its word that has a comment loses it.
TEST_F(ReconfDelObject, ABitDeletedAloneTakesTheFirstCommentOfItsWord) {
  Commented("%IW3.1:X0");
  Commented("%IW3.1:X4");
  EXPECT_EQ(Delete("%IW3.1:X4", 342), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW3.1:X0"));
  EXPECT_THAT(CommentKeys(), ElementsAre(Key("VIWX", "00003", "00001", "00000", "04")));
}

TEST_F(ReconfDelObject, ModuleNumbersFollowTheAddressingMode) {
  for (int mode : {0, 1}) {
    HostSetAddressingMode(mode);
    Commented("%QW12.1");
    Commented("%QW12.1:X2");
    Create("%QW12.1:X3");
    EXPECT_EQ(Delete("%QW12.1", 534), 0) << "mode " << mode;
    EXPECT_TRUE(LiveAddresses().empty()) << "mode " << mode;
    EXPECT_TRUE(CommentKeys().empty()) << "mode " << mode;
  }
}

TEST_F(ReconfDelObject, AWordMissingFromTheBaseStillLosesItsBits) {
  Commented("%MW5:X1");
  Commented("%KW5.1:X1");
  Commented("%KW5.1:X2");
  EXPECT_EQ(Delete("%KW5.1", 454), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW5:X1"));
  EXPECT_EQ(Delete("%MW5", 342), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW5:X1"));
}

TEST_F(ReconfDelObject, ModuleStatusWordsUseTheirOwnBitFamily) {
  Commented("%IW3.MOD");
  Commented("%IW3.MOD:X1");
  Commented("%IW3.MOD:X5");
  Commented("%IW3.MOD.2:X1");
  Commented("%IW3.0:X1");
  EXPECT_EQ(Delete("%IW3.MOD", 434), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW3.0:X1", "%IW3.MOD.2:X1"));
  EXPECT_EQ(CommentKeys().size(), 2u);
}

TEST_F(ReconfDelObject, NetworkWords) {
  Commented("%NW{1.2}5");
  Commented("%NW{1.2}5:X3");
  Commented("%NW{1.2}6:X3");
  Commented("%NW{2}5:X3");
  EXPECT_EQ(Delete("%NW{1.2}5", 501), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%NW{1.2}6:X3", "%NW{2}5:X3"));
  EXPECT_EQ(CommentKeys().size(), 2u);
}

TEST_F(ReconfDelObject, AMissingCommentRowStopsBeforeTheBits) {
  Commented("%IW3.1");
  Commented("%IW3.1:X2");
  ASSERT_EQ(base->DeleteComment(Key("VIW", "00003", "00001", "00000").c_str()), 0);
  EXPECT_EQ(Delete("%IW3.1", 434), 103);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW3.1:X2"));
  EXPECT_EQ(CommentOfAddress("%IW3.1:X2"), "c %IW3.1:X2");
}

TEST_F(ReconfDelObject, UnknownAddressesAndOddTexts) {
  Commented("%MW3");
  std::string padded;
  EXPECT_EQ(Delete("%MW4", 342, &padded), 0);
  EXPECT_EQ(padded.size(), 36u);
  // Longer than the field: sought over the key's length, found nowhere.
  EXPECT_EQ(Delete(("%MW" + std::string(60, '9')).c_str(), 434, &padded), 0);
  EXPECT_EQ(padded.size(), 63u);
  EXPECT_EQ(Delete("", 501), 0);
  EXPECT_EQ(Delete("%", 474), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%MW3"));
}

TEST_F(ReconfDelObject, EveryBitOfALongWordGoes) {
  // More bit rows than one index block holds: the walk crosses blocks.
  for (int word = 0; word < 40; ++word) {
    for (int bit = 0; bit < 16; ++bit) {
      const std::string repere = "%IW1." + std::to_string(word) + ":X" + std::to_string(bit);
      if ((word + bit) % 3 == 0) {
        Commented(repere.c_str());
      } else {
        Create(repere.c_str());
      }
    }
  }
  for (int word = 0; word < 40; word += 2) {
    EXPECT_EQ(Delete(("%IW1." + std::to_string(word)).c_str(), 434), 0);
  }
  EXPECT_EQ(LiveAddresses().size(), 320u);
  for (const std::string& repere : LiveAddresses()) {
    const int word = std::stoi(repere.substr(5));
    EXPECT_EQ(word % 2, 1) << repere;
  }
  int commented = 0;
  for (const std::string& repere : LiveAddresses()) {
    const std::string comment = CommentOfAddress(repere);
    if (comment != "<none>") {
      EXPECT_EQ(comment, "c " + repere);
      ++commented;
    }
  }
  // No comment row outlives its main row.
  EXPECT_EQ(static_cast<std::size_t>(commented), CommentKeys().size());
}

}  // namespace
