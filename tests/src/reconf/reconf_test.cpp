// The reconfiguration calls on bases built for each case, and judged from outside.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "storage/base_files.h"
#include "support/analysis.h"
#include "support/child_exit.h"
#include "support/fault_file_system.h"
#include "support/symbol_base.h"
#include "symbase/host.h"

namespace {

namespace fs = std::filesystem;

using namespace testing_support;

using Call = std::function<int(CTBData*)>;
using Calls = std::vector<Call>;  // made in turn on the same handle

Calls ByType(unsigned short type, int number) {
  return {[=](CTBData* b) { return TBReconfByType(b, type, number); }};
}
Calls ByMacroStep(unsigned short type, int macroStep, int steps) {
  return {[=](CTBData* b) { return TBReconfByMacroEtape(b, type, macroStep, steps); }};
}
Calls DelObject(const char* repere, unsigned short type) {
  return {[=](CTBData* b) {
    CTBObjetAts object(repere, "", "", 0, -1);
    return TBReconfDelObject(b, &object, type, 0);
  }};
}
Calls Move(const char* from, const char* to) {
  return {[=](CTBData* b) {
    UsAts source = Analyse(from);
    UsAts target = Analyse(to);
    return TBReconfMoveModule(b, &source, &target);
  }};
}
Calls DiagG7(int times = 1) { return Calls(times, TBDelObjetDiagG7); }

// One call of each kind, as a configuration change makes them.
Calls EveryCall() {
  return {Move("%I1.0", "%I3.0")[0], ByType(342, 10)[0], DelObject("%IW3.0", 434)[0],
          TBDelObjetDiagG7, ByMacroStep(603, 1, 4)[0]};
}

class ReconfTest : public SymbolBaseTest {
 protected:
  void Commented(const std::string& repere) { Create(repere.c_str(), "", ("c " + repere).c_str()); }

  // The live addresses, sorted; "%I3.2<%I1.2": its comment names %I1.2 ("<none>": no row).
  std::vector<std::string> Live() {
    std::vector<std::string> live;
    for (const MainRow& row : MainRows()) {
      if (row.deleted) continue;
      const std::string comment = row.iscmt == "O" ? CommentOf(row.key) : "c " + row.repere;
      const std::string named = comment.rfind("c ", 0) == 0 ? comment.substr(2) : comment;
      live.push_back(named == row.repere ? named : row.repere + "<" + named);
    }
    std::sort(live.begin(), live.end());
    return live;
  }
};

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

enum Around { kFree, kLocked, kHeld };

// Rows, each commented with its address ("=": no comment; "!": its comment row
// lost); the calls on the reopened base (locked here or held by another
// writer), their results, the live rows left as Live() shows them, and dating.
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
    if (row[0] == '!') {
      ASSERT_EQ(base->DeleteComment(LiveRow(row.substr(1)).key.c_str()), 0);
    }
  }
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);  // reopened, the modified flag starts again at 0
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  xbase::Session other;
  ASSERT_EQ(c.around == kLocked ? TBLockBaseSymbol(base) : 0, 0);
  if (c.around == kHeld) {
    // Another session holds the main table's write lock past the timeout.
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
        Case{"rack module", "=%Q1.3 %I1.2 %IW1.0:X4 %IW1.MOD %I11.2 %MW1", Move("%I1.0", "%I3.0"),
             "0", "%I11.2 %I3.2<%I1.2 %IW3.0:X4<%IW1.0:X4 %IW3.MOD<%IW1.MOD %MW1 %Q3.3"},
        Case{"onto an occupied place", "%I1.2 %I2.2", Move("%I1.0", "%I2.0"), "0",
             "%I2.2<%I1.2 %I2.2<%I1.2"},
        Case{"row without comment row", "%I1.2 !%I1.3", Move("%I1.0", "%I3.0"), "103",
             "%I1.3<<none> %I3.2<%I1.2"},
        Case{"locked here", kEveryCallsRows, EveryCall(), "100 100 100 100 100", kEveryCallsRows,
             false, kLocked},
        Case{"held elsewhere", kEveryCallsRows, EveryCall(), "104 104 104 104 104", kEveryCallsRows,
             false, kHeld}));

class ReconfIndependent : public ReconfTest {
 protected:
  void SetUp() override {
    ReconfTest::SetUp();
    for (const char* repere : {"%I1.2", "%IW1.0:X4", "%IW3.0", "%IW3.0:X2", "%I11.2", "%MW5",
                               "%MW10", "%MW12:X3", "%X1.TMAX", "%X0.5", "%X0.IN"}) {
      Commented(repere);
    }
    Create("%MW11");
    Create("%IW1.0:X5");
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    fs::create_directory(pristine_);
    for (const char* file : symbase::kBaseFiles)
      fs::copy_file(dir.file(file), pristine_ + "/" + file);
  }

  void TearDown() override {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    ReconfTest::TearDown();
  }

  // Every call on a fresh copy through `files`: the results, opening and closing included.
  std::vector<int> RunScenario(xbase::FileSystem* files) {
    for (const char* file : symbase::kBaseFiles) {
      fs::copy_file(pristine_ + "/" + file, dir.file(file), fs::copy_options::overwrite_existing);
    }
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    std::vector<int> results{TBOpenBaseSymbol(data, dir.slash().c_str())};
    // A base that did not open whole is the host's to repair: it stops there.
    for (const Call& call : HostErrorReports().empty() ? EveryCall() : Calls{}) {
      results.push_back(call(data));
    }
    results.push_back(TBCloseBaseSymbol(data));
    TBFreeTabisDll(data);
    return results;
  }

  // The live rows and comments, after a host's repair (lock and unlock) when asked.
  std::vector<std::string> Contents(bool repair) {
    EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    if (repair) {
      EXPECT_EQ(TBLockBaseSymbol(base), 0);
      EXPECT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
    }
    std::vector<std::string> contents;
    for (const MainRow& row : MainRows()) {
      if (!row.deleted) contents.push_back(row.key + row.repere + row.iscmt + CommentOf(row.key));
    }
    CheckIntegrity();
    EXPECT_EQ(TBCloseBaseSymbol(base), 0);
    return contents;
  }

  std::string pristine_ = dir.file("pristine");
};

TEST_F(ReconfIndependent, EveryFailedFileCallIsReportedOrReturned) {
  std::vector<std::string> expected;
  const long calls = SweepFailingCalls([&](FaultFileSystem* files, long n) {
    const std::vector<int> results = RunScenario(files);
    const bool noticed = !HostErrorReports().empty() ||
                         std::any_of(results.begin(), results.end(), [](int r) { return r != 0; });
    HostClearErrorReports();
    SCOPED_TRACE("call " + std::to_string(n) + (noticed ? " noticed" : " silent"));
    if (n == 0) {
      EXPECT_FALSE(noticed);
      expected = Contents(false);
      return !noticed;
    }
    if (!files->injected()) return true;
    // A failure nobody heard of must have changed nothing.
    const std::vector<std::string> contents = Contents(noticed);
    EXPECT_EQ(noticed ? expected : contents, expected);
    HostClearErrorReports();
    return true;
  });
  EXPECT_GT(calls, 50);
}

// A child's own handle reconfigures, then keeps the base open until the parent looked.
[[noreturn]] void ChildReconfigures(const std::string& directory, int done, int go_on) {
  CTBData* child = nullptr;
  TBInitTabisDll(&child);
  int status = TBOpenBaseSymbol(child, directory.c_str());
  if (status == 0) status = TBReconfByType(child, 342, 10) == 0 ? 0 : 2;
  char byte = static_cast<char>(status);
  if (write(done, &byte, 1) != 1 || read(go_on, &byte, 1) != 1) _exit(3);
  TBCloseBaseSymbol(child);
  TBFreeTabisDll(child);
  _exit(status);
}

TEST_F(ReconfIndependent, AnotherProcessSeesTheDeletionsAndMayWriteAtOnce) {
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  int done[2], go_on[2];
  ASSERT_EQ(pipe(done), 0);
  ASSERT_EQ(pipe(go_on), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ChildReconfigures(dir.slash(), done[1], go_on[0]);
  char byte = 1;
  ASSERT_EQ(read(done[0], &byte, 1), 1);
  EXPECT_EQ(byte, 0);
  for (const char* repere : {"%MW5", "%MW10", "%MW12:X3"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    EXPECT_EQ(TBSearchAttrib(base, &object, 0) == 0, repere == std::string("%MW5")) << repere;
  }
  Create("%MW20", "New_20");
  ASSERT_EQ(write(go_on[1], &byte, 1), 1);
  EXPECT_EQ(ChildExit(pid), 0);
  for (int fd : {done[0], done[1], go_on[0], go_on[1]}) close(fd);
  EXPECT_THAT(Live(), testing::AllOf(testing::IsSupersetOf({"%MW20", "%MW5"}),
                                     testing::Not(testing::Contains("%MW11"))));
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
}

}  // namespace
