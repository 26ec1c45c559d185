// The reconfiguration calls on bases built for each case: what they return,
// the rows they leave live with their comments, the modified flag, and the
// integrity check's verdict on the base they leave.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reconf_fixture.h"
#include "symbase/maintenance.h"

namespace {

using namespace testing_support;

// A move to a module number that no first index can hold.
Call MoveTo(const char* from, unsigned int number) {
  return [=](CTBData* b) {
    UsAts source = Analysed(from);
    UsAts target{};
    target.value.number = number;
    return TBReconfMoveModule(b, &source, &target);
  };
}

// `count` addresses prefix0, prefix1 ..., every third one commented ("="
// marks the others); with `from`, the commented ones name from0, from3 ...
std::string Series(const std::string& prefix, int count, const std::string& from = "") {
  std::string words;
  for (int i = 0; i < count; ++i) {
    const bool commented = i % 3 == 0;
    words += (commented ? "" : "=") + prefix + std::to_string(i) +
             (commented && !from.empty() ? "<" + from + std::to_string(i) : "") + " ";
  }
  return words;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

enum Around { kFree, kLocked, kHeld };

// One call or several, made in turn.
struct Calls {
  Calls(Call call) : list{std::move(call)} {}
  Calls(std::vector<Call> calls) : list(std::move(calls)) {}
  std::vector<Call> list;
};

// Rows created with a comment naming their address ("=" before one: no
// comment; "!" the comment row then lost, its "O" kept; "#" alone: decimal
// module numbers from then on); the calls made on the reopened base (with
// this handle's lock, or another writer holding the main table), their
// results, the live rows left (as Live() shows them), whether the base was
// dated and how many findings the integrity check then makes.
struct Case {
  const char* what;
  std::string rows;
  Calls calls;
  std::string results;  // of each call, separated by blanks
  std::string live;
  bool modified = false;
  std::size_t findings = 0;
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
const char kBus[] = "%I\\1.0.5\\0.0";
const char kEveryCallsRows[] = "%I1.2 %IW3.0 %MW10 %X1.TMIN %X0.5";

class Reconf : public ReconfTest, public ::testing::WithParamInterface<Case> {
 protected:
  std::vector<std::string> Findings() {
    CObList list;
    TBCheckBaseSymbol(base, dir.slash().c_str(), &list);
    std::vector<std::string> texts;
    while (!list.IsEmpty()) {
      std::unique_ptr<CObject> finding(list.RemoveHead());
      texts.emplace_back(static_cast<CTBCheckFinding*>(finding.get())->m_text);
    }
    return texts;
  }
};

TEST_P(Reconf, LeavesTheRowsAndCommentsOfTheCase) {
  const Case& c = GetParam();
  std::size_t created = 0;
  for (const std::string& row : Words(c.rows)) {
    if (row == "#") HostSetAddressingMode(1);
    if (row == "#") continue;
    row[0] == '=' ? Create(row.c_str() + 1) : Commented(row.substr(row[0] == '!' ? 1 : 0));
    ++created;
  }
  for (const std::string& row : Words(c.rows)) {
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
  for (const Call& call : c.calls.list) results += std::to_string(call(base)) + " ";
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
  EXPECT_EQ(MainRows().size(), created);
  EXPECT_THAT(Findings(), ::testing::SizeIs(c.findings));
}

std::string Named(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.what;
  for (char& letter : name)
    letter = std::isalnum(static_cast<unsigned char>(letter)) ? letter : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Reconf,
    ::testing::Values(
        // %MW11 has no comment: the comment walk must not move for it.
        Case{"words and bits from 10", "%MW5 %MW10 %MW12 %MW10:X3 %MW4:X1 %MD10 %KW11 =%MW11",
             ByType(342, 10), "0", "%KW11 %MD10 %MW4:X1 %MW5"},
        Case{"above every index", "%MW5 %MW10:X3", ByType(342, 11), "0", "%MW10:X3 %MW5"},
        Case{"number zero: the type only", "%C0 %C3.P %DR1", ByType(401, 0), "0", "%DR1"},
        // %M has only the bit form MX: no second walk for sub-fields.
        Case{"internal bits", "%M3 %M7 %MW7", ByType(464, 5), "0", "%M3 %MW7"},
        Case{"steps, not macro-steps", "%X1 %X2 %X2.TMAX %X1.T %X3 %X0.5 %XM2", ByType(601, 2), "0",
             "%X0.5 %X1 %X1.T %XM2"},
        Case{"type without an address prefix", "%IW1.2:X3 %MW3", ByType(434, 0), "0",
             "%IW1.2:X3 %MW3"},
        Case{"unknown type", "%MW3", ByType(9999, 0), "0", "%MW3"},
        Case{"empty base", "", ByType(342, 0), "0", ""},
        // A lost comment row costs no other row its comment; %MW3:X1 comes
        // after the words in key order, outside the range.
        Case{"lost comment row", "%MW3:X1 !%MW10 %MW11", ByType(342, 10), "0", "%MW3:X1"},
        // More rows than an index block holds, in both tables.
        Case{"many words", Series("%MW", 300), ByType(342, 100), "0", Series("%MW", 100)},
        // Macro-step 0 keeps steps 0 to 3, IN and OUT.
        Case{"steps from the count", kMacroStep, ByMacroStep(603, 1, 4), "0", kStepsFromFourGone},
        // Five-digit step numbers sort after IN and OUT: the kept commented
        // IN and OUT rows do not move the comment walk on.
        Case{"five-digit steps", std::string(kMacroStep) + " %X0.10000 %X0.10001",
             ByMacroStep(603, 1, 4), "0", kStepsFromFourGone},
        Case{"by type: whole macro-steps", kMacroStep, ByType(603, 1), "0",
             std::string(kAllMacroStep) + " %X4 %XM0"},
        // Macro-steps count from one.
        Case{"second macro-step", kMacroStep, ByMacroStep(611, 2, 5), "0",
             std::string(kAllMacroStep) + " %X1.4 %X4 %XM0"},
        Case{"no such steps", kMacroStep, ByMacroStep(603, 1, 7), "0",
             std::string(kAllMacroStep) + " %X1.4 %X1.5 %X4 %XM0"},
        Case{"macro-step zero", kMacroStep, ByMacroStep(603, 0, 0), "0",
             std::string(kAllMacroStep) + " %X1.4 %X1.5 %X4 %XM0"},
        Case{"step count zero", kMacroStep, ByMacroStep(603, 1, 0), "0",
             "%X0.IN %X0.IN.T %X0.OUT %X1.4 %X1.5 %X4 %XM0"},
        // The word's comment deletion dates the base.
        Case{"module word and its bits", kWordWithBits, DelObject("%IW3.1", 434), "0",
             "%IW3.2:X0 %IW4.1:X0 %MW3", true},
        Case{"a type without bit rows", kWordWithBits, DelObject("%IW3.1", 342), "0",
             std::string(kWordWithBits + 7), true},
        // Only the word's own comment dates the base.
        Case{"a missing word still loses its bits", "%MW5:X1 %KW5.1:X1 %KW5.1:X2",
             DelObject("%KW5.1", 454), "0", "%MW5:X1"},
        Case{"a word without bit family", "%MW5:X1", DelObject("%MW5", 342), "0", "%MW5:X1"},
        Case{"status words have their own bits",
             "%IW3.MOD %IW3.MOD:X1 %IW3.MOD:X5 %IW3.MOD.2:X1 %IW3.0:X1", DelObject("%IW3.MOD", 434),
             "0", "%IW3.0:X1 %IW3.MOD.2:X1", true},
        Case{"network words", "%NW{1.2}5 %NW{1.2}5:X3 %NW{1.2}6:X3 %NW{2}5:X3",
             DelObject("%NW{1.2}5", 501), "0", "%NW{1.2}6:X3 %NW{2}5:X3", true},
        Case{"decimal module words", "# %QW12.1 %QW12.1:X2 =%QW12.1:X3 %QW13.1",
             DelObject("%QW12.1", 534), "0", "%QW13.1", true},
        // The comment row is sought by the first four key fields: a bit
        // deleted alone takes the first comment of its word.
        Case{"a bit alone", "%IW3.1:X0 %IW3.1:X4", DelObject("%IW3.1:X4", 342), "0",
             "%IW3.1:X0<<none>", true, 2},
        Case{"a missing comment row stops before the bits", "!%IW3.1 %IW3.1:X2",
             DelObject("%IW3.1", 434), "103", "%IW3.1:X2"},
        Case{"unknown", "%MW3", DelObject("%MW4", 342), "0", "%MW3"},
        Case{"empty", "%MW3", DelObject("", 501), "0", "%MW3"},
        Case{"percent alone", "%MW3", DelObject("%", 474), "0", "%MW3"},
        // Steps, their activity time and IN/OUT stay.
        Case{"step attributes",
             "%X3.T %X3.TMIN %X3.TMAX %X3.ERR %X1.2.T %X1.2.ERR %X1.IN %X3 %X1.2 %X1.OUT.TMAX "
             "%XM1 %MW3 =%X4.ERR",
             DiagG7(), "0", "%MW3 %X1.2 %X1.2.T %X1.IN %X3 %X3.T %XM1", true},
        // An unknown step sub-field (IND2 stays blank) goes too.
        Case{"unknown step sub-field", "%X2.FOO %X2.T", DiagG7(), "0", "%X2.T", true},
        Case{"no attributes", "%X3.T %X1.5", DiagG7(), "0", "%X1.5 %X3.T"},
        // Attributes without comment rows change nothing that dates the base.
        Case{"attributes without comment", "%X3.T =%X3.TMAX", DiagG7(), "0", "%X3.T"},
        // The relation is freed: the next run finds the rest.
        Case{"a missing comment row stops the step deletion", "!%X1.TMIN %X2.TMIN",
             std::vector<Call>{DiagG7(), DiagG7()}, "103 0", "", true},
        // Keys, addresses and comment rows of module 1 move; module 11 stays.
        Case{"rack module", "%I1.2 %IW1.0:X4 =%Q1.3 %IW1.MOD %I11.2 %MW1", Move("%I1.0", "%I3.0"),
             "0", "%I11.2 %I3.2<%I1.2 %IW3.0:X4<%IW1.0:X4 %IW3.MOD<%IW1.MOD %MW1 %Q3.3"},
        Case{"decimal module numbers", "# %I1.2 %I11.2", Move("%I1.0", "%I12.0"), "0",
             "%I11.2 %I12.2<%I1.2"},
        Case{"bus module", "%I\\1.0.5\\0.2 %IW\\1.0.5\\0.1:X3 %I\\1.0.5\\1.2",
             Move(kBus, "%I\\2.0.5\\0.0"), "0",
             "%I\\1.0.5\\1.2 %I\\2.0.5\\0.2<%I\\1.0.5\\0.2 %IW\\2.0.5\\0.1:X3<%IW\\1.0.5\\0.1:X3"},
        Case{"bus to rack", "%I\\1.0.5\\0.2", Move(kBus, "%I7.0"), "0", "%I7.2<%I\\1.0.5\\0.2"},
        Case{"rack to bus", "%I7.2", Move("%I7.0", kBus), "0", "%I\\1.0.5\\0.2<%I7.2"},
        // Onto an occupied place the rows join, both kept with their comment
        // rows; the check then finds the address, key and comment key twice.
        Case{"onto an occupied place", "%I1.2 %I2.2", Move("%I1.0", "%I2.0"), "0",
             "%I2.2<%I1.2 %I2.2<%I1.2", false, 3},
        Case{"a module without rows", "%I1.2", Move("%I4.0", "%I5.0"), "0", "%I1.2"},
        Case{"beyond the field", "%I1.2", MoveTo("%I1.0", 40000000), "0", "%I1.2"},
        Case{"beyond the decimal field", "# %I1.2", MoveTo("%I1.0", 100000), "0", "%I1.2"},
        // The row without comment row stays put, and the check finds it.
        Case{"a missing comment row stops the move", "%I1.2 !%I1.3", Move("%I1.0", "%I3.0"), "103",
             "%I1.3<<none> %I3.2<%I1.2", false, 1},
        Case{"many rows", Series("%IW4.", 200), Move("%IW4.0", "%IW9.0"), "0",
             Series("%IW9.", 200, "%IW4.")},
        Case{"locked here", kEveryCallsRows, EveryCall(), "100 100 100 100 100", kEveryCallsRows,
             false, 0, kLocked},
        Case{"held elsewhere", kEveryCallsRows, EveryCall(), "104 104 104 104 104", kEveryCallsRows,
             false, 0, kHeld}),
    Named);

}  // namespace
