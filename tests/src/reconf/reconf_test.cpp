// The reconfiguration calls on bases built for each case: what they return,
// the rows they leave live with their comments, and the modified flag.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "reconf_fixture.h"

namespace {

using namespace testing_support;

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

enum Around { kFree, kLocked, kHeld };

// Rows created with a comment naming their address ("=" before one: no
// comment; "!" the comment row then lost, its "O" kept); the calls made on
// the reopened base (with this handle's lock, or another writer holding the
// main table), their results, the live rows left (as Live() shows them),
// and whether the base was dated.
struct Case {
  const char* what;
  std::string rows;
  Calls calls;
  std::string results;  // of each call, separated by blanks
  std::string live;
  bool modified = false;
  Around around = kFree;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }

const char kMacroStep[] =
    "%X0.0 %X0.3 %X0.4 %X0.4.TMAX %X0.5 %X0.IN %X0.IN.T %X0.OUT %XM0 %X1.4 %X1.5 %X4 =%X0.6";
const char kStepsFromFourGone[] = "%X0.0 %X0.3 %X0.IN %X0.IN.T %X0.OUT %X1.4 %X1.5 %X4 %XM0";
const char kAllMacroStep[] = "%X0.0 %X0.3 %X0.4 %X0.4.TMAX %X0.5 %X0.6 %X0.IN %X0.IN.T %X0.OUT";
// The word %IW3.1, its sixteen bits (even ones commented), a bit of the next
// word, a word of another module and a word of another kind.
const char kWordWithBits[] =
    "%IW3.1 %IW3.2:X0 %IW4.1:X0 %MW3 %IW3.1:X0 =%IW3.1:X1 %IW3.1:X2 =%IW3.1:X3 %IW3.1:X4 "
    "=%IW3.1:X5 %IW3.1:X6 =%IW3.1:X7 %IW3.1:X8 =%IW3.1:X9 %IW3.1:X10 =%IW3.1:X11 %IW3.1:X12 "
    "=%IW3.1:X13 %IW3.1:X14 =%IW3.1:X15";
const char kEveryCallsRows[] = "%I1.2 %IW3.0 %MW10 %X1.TMIN %X0.5";

class Reconf : public ReconfTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Reconf, LeavesTheRowsAndCommentsOfTheCase) {
  const Case& c = GetParam();
  const std::vector<std::string> rows = Words(c.rows);
  for (const std::string& row : rows) {
    row[0] == '=' ? Create(row.c_str() + 1) : Commented(row.substr(row[0] == '!' ? 1 : 0));
  }
  for (const std::string& row : rows) {
    if (row[0] == '!') {
      ASSERT_EQ(base->DeleteComment(LiveRow(row.substr(1)).key.c_str()), 0);
    }
  }
  Reopen();
  xbase::Session other;
  ASSERT_EQ(c.around == kLocked ? TBLockBaseSymbol(base) : 0, 0);
  if (c.around == kHeld) {
    // Another session takes the main table's write lock, as a writer in
    // another process does, and will not let go in time.
    xbase::EngineInit(&other, 0, 6300);
    xbase::Table* table = xbase::TableOpen(&other, dir.file("KR9.DBF").c_str());
    ASSERT_EQ(xbase::TableGo(table, 1), 0);
    ASSERT_EQ(xbase::RecordRecall(table), 0);  // a live row: the lock, no change
    base->m_session.busy_timeout_ms = 20;
  }
  std::string results;
  for (const Call& call : c.calls) results += std::to_string(call(base)) + " ";
  EXPECT_EQ(results, c.results + " ");
  ASSERT_EQ(c.around == kLocked ? TBUnlockBaseSymbol(base, dir.slash().c_str()) : 0, 0);
  if (c.around == kHeld) xbase::EngineEnd(&other);
  std::vector<std::string> live = Words(c.live);
  for (std::string& entry : live) entry.erase(0, entry.find('%'));  // marks aside
  std::sort(live.begin(), live.end());
  EXPECT_EQ(Live(), live);
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date) == 0, c.modified);
  // Rows go by their deletion mark only: compaction removes them.
  EXPECT_EQ(MainRows().size(), rows.size());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Reconf,
    ::testing::Values(
        Case{"words and bits from 10", "%MW5 %MW10 %MW12 %MW10:X3 %MW4:X1 %MD10 %KW11 =%MW11",
             ByType(342, 10), "0", "%KW11 %MD10 %MW4:X1 %MW5"},
        Case{"internal bits", "%M3 %M7 %MW7", ByType(464, 5), "0", "%M3 %MW7"},
        Case{"no address prefix", "%IW1.2:X3 %MW3", ByType(434, 0), "0", "%IW1.2:X3 %MW3"},
        Case{"lost comment row", "%MW3:X1 !%MW10 %MW11", ByType(342, 10), "0", "%MW3:X1"},
        Case{"steps from the count", kMacroStep, ByMacroStep(603, 1, 4), "0", kStepsFromFourGone},
        Case{"five-digit steps", std::string(kMacroStep) + " %X0.10000 %X0.10001",
             ByMacroStep(603, 1, 4), "0", kStepsFromFourGone},
        Case{"second macro-step", kMacroStep, ByMacroStep(611, 2, 5), "0",
             std::string(kAllMacroStep) + " %X1.4 %X4 %XM0"},
        Case{"macro-step zero", kMacroStep, ByMacroStep(603, 0, 0), "0",
             std::string(kAllMacroStep) + " %X1.4 %X1.5 %X4 %XM0"},
        Case{"module word", kWordWithBits, DelObject("%IW3.1", 434), "0",
             "%IW3.2:X0 %IW4.1:X0 %MW3", true},
        Case{"no bit rows", kWordWithBits, DelObject("%IW3.1", 342), "0",
             std::string(kWordWithBits + 7), true},
        Case{"missing word", "%MW5:X1 %KW5.1:X1 %KW5.1:X2", DelObject("%KW5.1", 454), "0",
             "%MW5:X1"},
        Case{"status word", "%IW3.MOD %IW3.MOD:X1 %IW3.MOD:X5 %IW3.MOD.2:X1 %IW3.0:X1",
             DelObject("%IW3.MOD", 434), "0", "%IW3.0:X1 %IW3.MOD.2:X1", true},
        Case{"a bit alone", "%IW3.1:X0 %IW3.1:X4", DelObject("%IW3.1:X4", 342), "0",
             "%IW3.1:X0<<none>", true},
        Case{"word without comment row", "!%IW3.1 %IW3.1:X2", DelObject("%IW3.1", 434), "103",
             "%IW3.1:X2"},
        Case{"step attributes",
             "%X3.T %X3.TMIN %X3.TMAX %X3.ERR %X1.2.T %X1.2.ERR %X1.IN %X3 %X1.2 %X1.OUT.TMAX "
             "%XM1 %MW3 =%X4.ERR %X2.FOO",
             DiagG7(), "0", "%MW3 %X1.2 %X1.2.T %X1.IN %X3 %X3.T %XM1", true},
        Case{"attribute without comment row", "!%X1.TMIN %X2.TMIN", DiagG7(2), "103 0", "", true},
        Case{"rack module", "%I1.2 %IW1.0:X4 =%Q1.3 %IW1.MOD %I11.2 %MW1", Move("%I1.0", "%I3.0"),
             "0", "%I11.2 %I3.2<%I1.2 %IW3.0:X4<%IW1.0:X4 %IW3.MOD<%IW1.MOD %MW1 %Q3.3"},
        Case{"onto an occupied place", "%I1.2 %I2.2", Move("%I1.0", "%I2.0"), "0",
             "%I2.2<%I1.2 %I2.2<%I1.2"},
        Case{"row without comment row", "%I1.2 !%I1.3", Move("%I1.0", "%I3.0"), "103",
             "%I1.3<<none> %I3.2<%I1.2"},
        Case{"locked here", kEveryCallsRows, EveryCall(), "100 100 100 100 100", kEveryCallsRows,
             false, kLocked},
        Case{"held elsewhere", kEveryCallsRows, EveryCall(), "104 104 104 104 104", kEveryCallsRows,
             false, kHeld}));

}  // namespace
