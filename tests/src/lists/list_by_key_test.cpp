// Listings by key, the I/O list of a module, and every listing when it cannot read.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"
#include "storage/tb_data.h"
#include "support/fault_file_system.h"

namespace {

using Texts = std::vector<std::string>;

enum Listing { kRange, kBits, kThreeIndexBits, kModule, kModuleSub };

struct KeyCase {
  const char* what;
  Listing listing;
  const char* prefix;
  std::vector<long long> args;  // the listing's numbers after the prefix
  std::string expected;         // entries joined by ';', whole when they hold a '|'
};

class KeyListing : public lists_test::ListsTest {
 protected:
  int Call(const KeyCase& c) {
    const std::vector<long long>& a = c.args;
    switch (c.listing) {
      case kRange:
        return TBListRepere(base, c.prefix, a[0], a[1], a[2], &list);
      case kBits:
        return TBListRepereSousObjet(base, c.prefix, a[0], a[1], &list);
      case kThreeIndexBits:
        return TBListRepereTroisIndicesSousObjet(base, c.prefix, a[0], a[1], a[2], a[3], &list);
      case kModule:
        return TBListRepereModule(base, c.prefix, a[0], a[1], a[2], a[3], a[4], &list);
      default:
        return TBListRepereModuleSousObjet(base, c.prefix, a[0], a[1], a[2], a[3], &list);
    }
  }
  void RunCases(const std::vector<KeyCase>& cases) {
    for (const KeyCase& c : cases) {
      SCOPED_TRACE(c.what);
      std::vector<std::string> expected;
      std::stringstream stream(c.expected);
      for (std::string entry; std::getline(stream, entry, ';');) expected.push_back(entry);
      EXPECT_EQ(Entries(Call(c), c.expected.find('|') != std::string::npos), expected);
    }
  }
};

// A comment is taken in step with its row, also when the walk starts after
// a commented row. Module objects are named by their object code: %IW1.2:X3
// is VIWX; their bits take the number from IND4, the type word stays 0.
TEST_F(KeyListing, RangesAndBitsInKeyOrder) {
  for (const char* a : {"%MD5", "%MW3", "%MW5", "%MW7", "%MW9", "%MW11", "%MW12346", "%MX6",
                        "%MW6:X1", "%IW1.2:X4", "%IW1.2.1:X0", "%IW1.3:X3", "%IW1.2", "%XM1.2.T"}) {
    Create(a);
  }
  Create("%MW5:X10", "B10", "ten");
  Create("%MW5:X3", "B3");
  Create("%IW1.2:X3", "In3");
  Create("%IW1.MOD:X4", "", "status");
  Create("%MW6", "", "gone");
  Delete("%MW6");
  Create("%MW13", "", "first");
  Create("%MW14", "Pump");
  Create("%MW15", "", "middle");
  Create("%MW16");
  Create("%MW17", "Valve", "last");
  RunCases({
      {"range", kRange, "%MW", {5, 8, 100}, "%MW5|||5|-1;%MW7|||7|-1"},
      // No row at IND1 4: the seek stops after the key and the walk starts there.
      {"from a gap", kRange, "%MW", {4, 7, 100}, "%MW5;%MW7"},
      {"all",
       kRange,
       "%MW",
       {0, 99999, 100},
       "%MW3;%MW5;%MW7;%MW9;%MW11;%MW13;%MW14;%MW15;%MW16;%MW17;%MW12346"},
      {"comments in step",
       kRange,
       "%MW",
       {13, 17, 100},
       "%MW13||first|13|-1;%MW14|Pump||14|-1;%MW15||middle|15|-1;%MW16|||16|-1;"
       "%MW17|Valve|last|17|-1"},
      {"after a commented row",
       kRange,
       "%MW",
       {16, 100, 100},
       "%MW16|||16|-1;%MW17|Valve|last|17|-1"},
      // A first index longer than its field names no stored key, though the
      // seek stops on a row of the kind.
      {"first index too long", kRange, "%MW", {123456, 999999, 100}, ""},
      {"maximum", kRange, "%MW", {0, 100, 2}, "%MW3;%MW5"},
      {"last below first", kRange, "%MW", {3, -1, 100}, ""},
      {"prefix too long", kRange, "%MWMWMW", {0, 100, 100}, ""},
      // A negative first IND1 ("000-5") sorts before every number.
      {"negative first", kRange, "%MW", {-5, 4, 100}, "%MW3"},
      {"bits", kBits, "%MW", {5, 100}, "%MW5:X3|B3||5|3;%MW5:X10|B10|ten|5|10"},
      {"bits maximum", kBits, "%MW", {5, 1}, "%MW5:X3"},
      // Without bits the seek stops after the key: nothing is listed.
      {"word without bits", kBits, "%MW", {7, 100}, ""},
      {"bits index too long", kBits, "%MW", {123456, 100}, ""},
      {"module bits",
       kThreeIndexBits,
       "%VIW",
       {1, 2, 0, 100},
       "%IW1.2:X3|In3||0|3;%IW1.2:X4|||0|4"},
      {"status bits", kThreeIndexBits, "%MOIW", {1, 0, 0, 100}, "%IW1.MOD:X4||status|0|4"},
      {"no such third index", kThreeIndexBits, "%VIW", {1, 2, 5, 100}, ""},
      // Without its third index the key is shorter than the part compared.
      {"no third index", kThreeIndexBits, "%VIW", {1, 2, -1, 100}, ""},
      {"not a module code", kThreeIndexBits, "%IW", {1, 2, 0, 100}, ""},
      {"negative index", kThreeIndexBits, "%X", {1, -7, 2, 100}, ""},
  });
}

// Positions: 0 the object, 1 IN, 2 and 3 steps 0 and 1, n - 1 OUT. With
// two positions, position 1 is both IN and n - 1: IN wins. Past IND2 99999
// only OUT can still match; positions 10000 and 10001 number entries 9998
// and 9999. The sub-entries of a position: the flag is IND3; past IND3
// 99999 nothing can match.
TEST_F(KeyListing, ModulePositionsAndTheirSubEntries) {
  Create("%XM1", "Macro", "the macro-step");
  Create("%X1.IN", "In");
  Create("%X1.OUT", "Out", "leaves");
  Create("%X1.0");
  Create("%X1.1", "Step1");
  Create("%X1.1.T", "", "time");
  for (const char* a : {"%X1.1.ERR", "%X1.IN.TMAX", "%IW1.2.0", "%IW1.2.0:X4", "%IW1.2.1"}) {
    Create(a);
  }
  const std::string object = "%XM1|Macro|the macro-step|0|-1;%X1.IN|In||1|-1;%X1.0|||2|-1;";
  const std::string out = "%X1.OUT|Out|leaves|";
  RunCases({
      {"all", kModule, "%XM", {1, 5, 0, 4, 100}, object + "%X1.1|Step1||3|-1;" + out + "4|-1"},
      {"maximum", kModule, "%XM", {1, 5, 2, 4, 2}, "%X1.0;%X1.1"},
      {"gaps passed over", kModule, "%XM", {1, 9, 3, 8, 100}, "%X1.1;%X1.OUT"},
      {"count 2", kModule, "%XM", {1, 2, 0, 1, 100}, "%XM1;%X1.IN"},
      {"count 1", kModule, "%XM", {1, 1, 0, 0, 100}, "%XM1"},
      {"huge range",
       kModule,
       "%XM",
       {1, 2000000000, 0, 0xFFFFFFFFu, 100},
       object + "%X1.1|Step1||3|-1;%X1.IN|In||10000|-1;" + out + "10001|-1;" + out +
           "1999999999|-1"},
      {"sub-entries", kModuleSub, "%XM", {1, 5, 3, 4}, "%X1.1.T||time|3|0;%X1.1.ERR|||3|3"},
      {"sub-entries of IN", kModuleSub, "%XM", {1, 5, 1, 4}, "%X1.IN.TMAX|||1|2"},
      {"of the object", kModuleSub, "%XM", {1, 5, 0, 4}, ""},
      {"negative position", kModuleSub, "%XM", {1, 5, -2000000000, 4}, ""},
      {"huge count", kModuleSub, "%XM", {1, 5, 3, 0xFFFFFFFFu}, "%X1.1.T;%X1.1.ERR"},
      // %IW1.2.0 is VIW 1 2 0; position 4 of 9 gives IND2 2, a blank IND4.
      {"blank bit index", kModuleSub, "%VIW", {1, 9, 4, 3}, "%IW1.2.0;%IW1.2.1"},
  });
}

// Every listing once on `d` for `p` (the inputs and outputs of module 3 for
// those that take a module): each one's result, batch position, IND1 and
// finished flag (they start as 1, 1 and 7), then its entries.
Texts RunAll(CTBData* d, CObList& l, const char* p) {
  Texts out;
  long position = 1;
  int ind1 = 1;
  int finished = 7;
  auto add = [&](int result) {
    out.push_back(std::to_string(result) + " " + std::to_string(position) + "/" +
                  std::to_string(ind1) + "/" + std::to_string(finished));
    for (const std::string& entry : lists_test::Take(l)) out.push_back(entry);
    position = ind1 = 1;
    finished = 7;
  };
  add(TBListRepere(d, p, 0, 99999, 100, &l));
  add(TBListRepereModule(d, p, 1, 4, 0, 3, 100, &l));
  add(TBListRepereSousObjet(d, p, 2, 100, &l));
  add(TBListRepereModuleSousObjet(d, p, 1, 4, 2, 3, &l));
  add(TBListRepereTroisIndicesSousObjet(d, p, 1, 2, 0, 100, &l));
  add(TBListRepereByTypeObject(d, p, 0, &ind1, &l, &finished));
  add(TBListSymbolByTypeObject(d, "%ES", 2, 1, 1, &l, &finished, 3));
  add(TBExportSymbol(d, "%ES", 3, &position, &l, &finished));
  add(TBNumberObjectByType(d, "%ES", 3, &position));
  add(TBListRepereAllBaseSymbol(d, &position, &l, &finished));
  add(TBExportSymbol(d, "", 0, &position, &l, &finished));
  return out;
}

class ListGuards : public lists_test::ListsTest {};

TEST_F(ListGuards, ALockedBaseListsNothingAndWritesNothing) {
  Create("%I3.2", "In", "comment");
  Create("%IW3.2:X0");
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_EQ(RunAll(base, list, "%VI"), Texts(11, "0 1/1/7"));
  EXPECT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(Entries(TBListRepere(base, "%VIX", 0, 9, 100, &list)),
              ::testing::ElementsAre("%I3.2|In|comment|3|-1"));
}

// Every file-system call of a listing scenario fails in turn: a failure is
// never silent, a run that noticed nothing hands out what a clean run does,
// and no run hands out an entry twice in a row.
TEST_F(ListGuards, EveryFailedCallIsReportedOrChangesNothing) {
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(i);
    Create(("%MW" + n).c_str(), i % 3 == 0 ? "" : ("W" + n).c_str(),
           i % 4 == 0 ? ("comment " + n).c_str() : "");
  }
  for (const char* address :
       {"%MW2:X1", "%MW2:X5", "%XM1", "%X1.IN", "%X1.0", "%X1.0.T", "%I3.1", "%QW3.0:X2"}) {
    Create(address, "", "c");
  }
  Delete("%MW7");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  auto run = [this](xbase::FileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    Texts out{"open " + std::to_string(TBOpenBaseSymbol(data, dir.slash().c_str()))};
    for (const char* prefix : {"%MW", "%XM", "%VQW"}) {
      if (!HostErrorReports().empty()) break;
      for (const std::string& line : RunAll(data, list, prefix)) out.push_back(line);
    }
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return out;
  };
  testing_support::FaultFileSystem counting(xbase::FileSystem::Posix());
  const Texts clean = run(&counting);
  ASSERT_THAT(HostErrorReports(), ::testing::IsEmpty());
  ASSERT_GT(clean.size(), 200u);
  ASSERT_GT(counting.calls(), 10);
  for (long n = 1; n <= counting.calls(); ++n) {
    testing_support::FaultFileSystem faulty(xbase::FileSystem::Posix());
    faulty.FailAt(n);
    const Texts got = run(&faulty);
    const bool reported = !HostErrorReports().empty();
    HostClearErrorReports();
    // Even a listing that fails hands out only rows it read: never the row
    // it stands on a second time.
    for (std::size_t i = 1; i < got.size(); ++i) {
      if (got[i].find('|') != std::string::npos) {
        ASSERT_NE(got[i], got[i - 1]) << "call " << n;
      }
    }
    if (faulty.injected() && !reported) {
      EXPECT_EQ(got, clean) << "call " << n << " failed silently";
    }
  }
  EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

class IoLists : public testing_support::HostTest {
 protected:
  Texts Through(void (*function)(CTBData*, CStringList*), const Texts& input) {
    CStringList list;
    for (const std::string& text : input) list.AddTail(text.c_str());
    function(&data_, &list);
    Texts texts;
    for (POSITION p = list.GetHeadPosition(); p != nullptr;) texts.emplace_back(list.GetNext(p));
    return texts;
  }
  Texts Sorted(const Texts& input) { return Through(TBTriListeRepereES, input); }

  CTBData data_;
};

TEST_F(IoLists, TheFilterKeepsPlainInputsAndOutputsInOrder) {
  const struct {
    Texts input, kept;
  } cases[] = {
      {{}, {}},
      {{"%QW1.1", "%I1.2", "%MW10", "%IW1.3", "%KW3", "%Q1.0", "%QD1.2", "%IF1.0", "%I1.2:X3",
        "%Q"},
       {"%QW1.1", "%I1.2", "%IW1.3", "%Q1.0", "%QD1.2", "%IF1.0", "%I1.2:X3", "%Q"}},
      // Errors go, even on inputs.
      {{"%I1.2.ERR", "%I1.MOD.ERR", "%I1.2", "%QERR", "%Q1.ERR"}, {"%I1.2"}},
      // The first "I" or "Q" of the first three characters must be the
      // second character: "%II1" has it first, "%XI1" third, "%M1.I" none.
      {{"II1", "%XI1", "%M1.I", "%CH1.MOD", "", "%", "Q", "%X1.IN", "%QI2"}, {"%QI2"}},
      // A removed run at both ends leaves the middle.
      {{"%MW1", "%MW2", "%I1.0", "%I1.1", "%KW1", "%KW2"}, {"%I1.0", "%I1.1"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Through(TBFiltrerListeRepereES, c.input), c.kept);
}

TEST_F(IoLists, TheSortFollowsClassThenIndexes) {
  // Every class of IND2 2, shuffled, with the two fixed-key module elements,
  // one element of IND2 1, one of a letter outside the table and one whose
  // key is past 2^31 (keys compare unsigned).
  const Texts ordered = {"%CH1.MOD",  "%I1.MOD.ERR", "%QW1.1", "%M1.2",    "%CH1.2",
                         "%I1.2.ERR", "%I1.2",       "%IW1.2", "%ID1.2",   "%IF1.2",
                         "%Q1.2",     "%QW1.2",      "%QD1.2", "%QF1.2",   "%MB1.2",
                         "%MW1.2",    "%MD1.2",      "%MF1.2", "%KB1.2",   "%KW1.2",
                         "%KD1.2",    "%KF1.2",      "%S5",    "%IW1.100", "%IW1.4294"};
  Texts shuffled = ordered;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
  EXPECT_EQ(Sorted(shuffled), ordered);
  // IND2 first; then IND3 "0" (part 0), absent (part 10), 2 (part 20), 11
  // (part 110); then IND4.
  EXPECT_EQ(Sorted({"%IW1.3.11", "%IW1.3.2", "%IW1:X3", "%IW1.3", "%IW3.1:X4", "%IW3.1:X2"}),
            Texts({"%IW3.1:X2", "%IW3.1:X4", "%IW1.3", "%IW1:X3", "%IW1.3.2", "%IW1.3.11"}));
  EXPECT_EQ(Sorted({}), Texts());
}

}  // namespace
