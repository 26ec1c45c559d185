// The deletions of a changed configuration: every object of a type from a
// number on, the steps of a macro-step from a step on, one object with the
// bit rows of its word, and the time limits and errors of steps.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "reconf_fixture.h"

namespace {

using testing::ElementsAre;
using testing_support::Key;

using Call = std::function<int(CTBData*)>;

Call ByType(unsigned short type, int number) {
  return [=](CTBData* b) { return TBReconfByType(b, type, number); };
}
Call ByMacroStep(unsigned short type, int macroStep, int steps) {
  return [=](CTBData* b) { return TBReconfByMacroEtape(b, type, macroStep, steps); };
}
Call DelObject(const char* repere, unsigned short type) {
  return [=](CTBData* b) {
    CTBObjetAts object(repere, "", "", 0, -1);
    return TBReconfDelObject(b, &object, type, 0);
  };
}
Call DiagG7() { return TBDelObjetDiagG7; }

// Rows created with a comment naming their address ("=" before one: no
// comment; "!" the comment row then lost, its "O" kept); the call, its
// result, the live addresses left (sorted) and whether the base was dated.
// Each row left keeps its own comment, and no comment row outlives its row.
struct Case {
  const char* what;
  std::string rows;
  Call call;
  int result;
  std::string live;
  bool modified = false;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

const char kMacroStep[] =
    "%X0.0 %X0.3 %X0.4 %X0.4.TMAX %X0.5 %X0.IN %X0.IN.T %X0.OUT %XM0 %X1.4 %X1.5 %X4 =%X0.6";
const char kKept[] = "%X0.IN %X0.IN.T %X0.OUT ";
const char kStepsFromFourGone[] = "%X0.0 %X0.3 %X0.IN %X0.IN.T %X0.OUT %X1.4 %X1.5 %X4 %XM0";
const char kAllMacroStep[] = "%X0.0 %X0.3 %X0.4 %X0.4.TMAX %X0.5 %X0.6 %X0.IN %X0.IN.T %X0.OUT";
// The word %IW3.1, its sixteen bits (even ones commented), a bit of the next
// word, a word of another module and a word of another kind.
const char kWordWithBits[] =
    "%IW3.1 %IW3.2:X0 %IW4.1:X0 %MW3 %IW3.1:X0 =%IW3.1:X1 %IW3.1:X2 =%IW3.1:X3 %IW3.1:X4 "
    "=%IW3.1:X5 %IW3.1:X6 =%IW3.1:X7 %IW3.1:X8 =%IW3.1:X9 %IW3.1:X10 =%IW3.1:X11 %IW3.1:X12 "
    "=%IW3.1:X13 %IW3.1:X14 =%IW3.1:X15";

class ReconfDeletions : public testing_support::ReconfTest,
                        public ::testing::WithParamInterface<Case> {};

TEST_P(ReconfDeletions, LeaveTheOtherRowsWithTheirComments) {
  const std::vector<std::string> rows = Words(GetParam().rows);
  for (const std::string& row : rows) {
    if (row[0] == '=') {
      Create(row.c_str() + 1);
    } else {
      Commented(row.c_str() + (row[0] == '!' ? 1 : 0));
    }
  }
  for (const std::string& row : rows) {
    if (row[0] == '!') {
      ASSERT_EQ(base->DeleteComment(LiveRow(row.substr(1)).key.c_str()), 0);
    }
  }
  Reopen();
  EXPECT_EQ(GetParam().call(base), GetParam().result);
  std::vector<std::string> live = Words(GetParam().live);
  for (std::string& repere : live) repere.erase(0, repere.find('%'));  // marks aside
  std::sort(live.begin(), live.end());
  EXPECT_EQ(LiveAddresses(), live);
  std::size_t commented = 0;
  for (const std::string& repere : LiveAddresses()) {
    const std::string comment = CommentOfAddress(repere);
    if (comment == "<none>") continue;
    EXPECT_EQ(comment, "c " + repere);
    ++commented;
  }
  EXPECT_EQ(CommentKeys().size(), commented);
  EXPECT_EQ(Modified(), GetParam().modified);
  // Rows go by their deletion mark only: compaction removes them.
  EXPECT_EQ(MainRows().size(), rows.size());
}

INSTANTIATE_TEST_SUITE_P(
    ByTypeAndMacroStep, ReconfDeletions,
    ::testing::Values(
        // %MW11 has no comment: the comment walk must not move for it.
        Case{"words and bits from 10", "%MW5 %MW10 %MW12 %MW10:X3 %MW4:X1 %MD10 %KW11 =%MW11",
             ByType(342, 10), 0, "%KW11 %MD10 %MW4:X1 %MW5"},
        Case{"above every index", "%MW5 %MW10:X3", ByType(342, 11), 0, "%MW10:X3 %MW5"},
        Case{"number zero: the type only", "%C0 %C3.P %DR1", ByType(401, 0), 0, "%DR1"},
        // %M has only the bit form MX: no second walk for sub-fields.
        Case{"internal bits", "%M3 %M7 %MW7", ByType(464, 5), 0, "%M3 %MW7"},
        Case{"steps, not macro-steps", "%X1 %X2 %X2.TMAX %X1.T %X3 %X0.5 %XM2", ByType(601, 2), 0,
             "%X0.5 %X1 %X1.T %XM2"},
        Case{"type without an address prefix", "%IW1.2:X3 %MW3", ByType(434, 0), 0,
             "%IW1.2:X3 %MW3"},
        Case{"unknown type", "%MW3", ByType(9999, 0), 0, "%MW3"},
        Case{"empty base", "", ByType(342, 0), 0, ""},
        // A lost comment row costs no other row its comment; %MW3:X1 comes
        // after the words in key order, outside the range.
        Case{"lost comment row", "%MW3:X1 !%MW10 %MW11", ByType(342, 10), 0, "%MW3:X1"},
        // Macro-step 0 keeps steps 0 to 3, IN and OUT.
        Case{"steps from the count", kMacroStep, ByMacroStep(603, 1, 4), 0, kStepsFromFourGone},
        // Five-digit step numbers sort after IN and OUT: the kept commented
        // IN and OUT rows do not move the comment walk on.
        Case{"five-digit steps", std::string(kMacroStep) + " %X0.10000 %X0.10001",
             ByMacroStep(603, 1, 4), 0, kStepsFromFourGone},
        Case{"by type: whole macro-steps", kMacroStep, ByType(603, 1), 0,
             std::string(kAllMacroStep) + " %X4 %XM0"},
        // Macro-steps count from one.
        Case{"second macro-step", kMacroStep, ByMacroStep(611, 2, 5), 0,
             std::string(kAllMacroStep) + " %X1.4 %X4 %XM0"},
        Case{"no such steps", kMacroStep, ByMacroStep(603, 1, 7), 0,
             std::string(kAllMacroStep) + " %X1.4 %X1.5 %X4 %XM0"},
        Case{"macro-step zero", kMacroStep, ByMacroStep(603, 0, 0), 0,
             std::string(kAllMacroStep) + " %X1.4 %X1.5 %X4 %XM0"},
        Case{"step count zero", kMacroStep, ByMacroStep(603, 1, 0), 0,
             std::string(kKept) + "%X1.4 %X1.5 %X4 %XM0"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    OneObjectAndStepAttributes, ReconfDeletions,
    ::testing::Values(
        // The word's comment deletion dates the base.
        Case{"module word and its bits", kWordWithBits, DelObject("%IW3.1", 434), 0,
             "%IW3.2:X0 %IW4.1:X0 %MW3", true},
        Case{"a type without bit rows", kWordWithBits, DelObject("%IW3.1", 342), 0,
             std::string(kWordWithBits + 7), true},
        // Only the word's own comment dates the base.
        Case{"a missing word still loses its bits", "%MW5:X1 %KW5.1:X1 %KW5.1:X2",
             DelObject("%KW5.1", 454), 0, "%MW5:X1"},
        Case{"a word without bit family", "%MW5:X1", DelObject("%MW5", 342), 0, "%MW5:X1"},
        Case{"status words have their own bits",
             "%IW3.MOD %IW3.MOD:X1 %IW3.MOD:X5 %IW3.MOD.2:X1 %IW3.0:X1", DelObject("%IW3.MOD", 434),
             0, "%IW3.0:X1 %IW3.MOD.2:X1", true},
        Case{"network words", "%NW{1.2}5 %NW{1.2}5:X3 %NW{1.2}6:X3 %NW{2}5:X3",
             DelObject("%NW{1.2}5", 501), 0, "%NW{1.2}6:X3 %NW{2}5:X3", true},
        Case{"a missing comment row stops before the bits", "!%IW3.1 %IW3.1:X2",
             DelObject("%IW3.1", 434), 103, "%IW3.1:X2"},
        Case{"unknown", "%MW3", DelObject("%MW4", 342), 0, "%MW3"},
        Case{"empty", "%MW3", DelObject("", 501), 0, "%MW3"},
        Case{"percent alone", "%MW3", DelObject("%", 474), 0, "%MW3"},
        // Steps, their activity time and IN/OUT stay.
        Case{"step attributes",
             "%X3.T %X3.TMIN %X3.TMAX %X3.ERR %X1.2.T %X1.2.ERR %X1.IN %X3 %X1.2 %X1.OUT.TMAX "
             "%XM1 %MW3 =%X4.ERR",
             DiagG7(), 0, "%MW3 %X1.2 %X1.2.T %X1.IN %X3 %X3.T %XM1", true},
        // An unknown step sub-field (IND2 stays blank) goes too.
        Case{"unknown step sub-field", "%X2.FOO %X2.T", DiagG7(), 0, "%X2.T", true},
        Case{"no attributes", "%X3.T %X1.5", DiagG7(), 0, "%X1.5 %X3.T"},
        // Attributes without comment rows change nothing that dates the base.
        Case{"attributes without comment", "%X3.T =%X3.TMAX", DiagG7(), 0, "%X3.T"},
        Case{"a missing comment row stops the step deletion", "!%X1.TMIN %X2.TMIN", DiagG7(), 103,
             "%X2.TMIN"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

class ReconfDelObject : public testing_support::ReconfTest {};

// The comment row is sought with OBJET+IND1+IND2+IND3 (20 characters): for a
// bit deleted alone, the first bit of its word that has a comment loses it.
TEST_F(ReconfDelObject, ABitDeletedAloneTakesTheFirstCommentOfItsWord) {
  Commented("%IW3.1:X0");
  Commented("%IW3.1:X4");
  EXPECT_EQ(DelObject("%IW3.1:X4", 342)(base), 0);
  EXPECT_THAT(LiveAddresses(), ElementsAre("%IW3.1:X0"));
  EXPECT_THAT(CommentKeys(), ElementsAre(Key("VIWX", "00003", "00001", "00000", "04")));
}

TEST_F(ReconfDelObject, TheAddressIsPaddedInPlaceAndModuleNumbersFollowTheMode) {
  CTBObjetAts word("%MW4", "", "", 0, -1);
  EXPECT_EQ(TBReconfDelObject(base, &word, 342, 0), 0);
  EXPECT_EQ(std::string(word.m_repere), "%MW4" + std::string(32, ' '));
  // Longer than the field: sought over the key's length, found nowhere.
  const std::string longer = "%MW" + std::string(60, '9');
  CTBObjetAts odd(longer.c_str(), "", "", 0, -1);
  EXPECT_EQ(TBReconfDelObject(base, &odd, 434, 0), 0);
  EXPECT_EQ(std::string(odd.m_repere), longer);
  for (int mode : {0, 1}) {
    HostSetAddressingMode(mode);
    Commented("%QW12.1");
    Commented("%QW12.1:X2");
    Create("%QW12.1:X3");
    EXPECT_EQ(DelObject("%QW12.1", 534)(base), 0) << "mode " << mode;
    EXPECT_TRUE(LiveAddresses().empty()) << "mode " << mode;
    EXPECT_TRUE(CommentKeys().empty()) << "mode " << mode;
  }
  HostSetAddressingMode(0);
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
    EXPECT_EQ(DelObject(("%IW1." + std::to_string(word)).c_str(), 434)(base), 0);
  }
  EXPECT_EQ(LiveAddresses().size(), 320u);
  std::size_t commented = 0;
  for (const std::string& repere : LiveAddresses()) {
    EXPECT_EQ(std::stoi(repere.substr(5)) % 2, 1) << repere;
    const std::string comment = CommentOfAddress(repere);
    if (comment != "<none>") {
      EXPECT_EQ(comment, "c " + repere);
    }
    commented += comment != "<none>" ? 1 : 0;
  }
  EXPECT_EQ(commented, CommentKeys().size());  // no comment row outlives its row
}

TEST_F(ReconfDelObject, StepAttributesGoAfterAMissingCommentRowOnTheNextRun) {
  Commented("%X1.TMIN");
  Commented("%X2.TMIN");
  ASSERT_EQ(base->DeleteComment(Key("XX", "00001", "00001").c_str()), 0);
  EXPECT_EQ(TBDelObjetDiagG7(base), 103);
  // The relation was freed: the next run finds the rest.
  EXPECT_EQ(TBDelObjetDiagG7(base), 0);
  EXPECT_TRUE(LiveAddresses().empty());
  EXPECT_TRUE(CommentKeys().empty());
}

}  // namespace
