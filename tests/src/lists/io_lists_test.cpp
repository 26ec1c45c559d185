// The I/O list of a module: the sort keys of its elements, worked out by
// hand from the key rules, the filter that keeps plain inputs and outputs,
// and the sort in key order. None of them reads a base.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "lists/io_sort_key.h"
#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "symbase/host_services.h"
#include "symbase/tabis.h"

namespace {

using Texts = std::vector<std::string>;

// Each case "text=expected number", split at its last '='.
void CheckCases(std::initializer_list<std::string> cases, DWORD (*function)(const CString&)) {
  for (const std::string& c : cases) {
    const std::size_t at = c.rfind('=');
    EXPECT_EQ(function(c.substr(0, at).c_str()), std::stoul(c.substr(at + 1))) << c;
  }
}

// The decoder's outputs start empty for each element: one work area serves
// every case, so %MW10 must not inherit the IND4 of %IW3.1:X4 before it.
symbase::DecodedRepere work;
DWORD Key(const CString& element) { return symbase::IoSortKey(element, work); }

// In order: the module's own elements (IND2 "0" and IND3 "0" give 0, which
// becomes 3; otherwise IND2 x 100 + IND3 x 10, IND4 taking no part); "MOD"
// on another word size, or "%CH" without it, as ordinary elements; the class
// offsets by letter and size; IND3 x 10 (absent: 10) and IND4; the bit
// number in IND2; leading blanks of an index skipped; other letters at
// 99,999,999 + IND3 part + IND4 part; 4294 x 1,000,000 still fits, 4295
// x 1,000,000 wraps.
TEST(IoSortKey, FollowsTheKeyRules) {
  CheckCases({"%CH1.MOD=1",       "%CH1.MOD.2=1",      "%I1.MOD.ERR=2",        "%MW1.MOD=3",
              "%MW1.MOD:X5=3",    "%MW1.MOD.2=200",    "%MW1.MOD.2:X5=200",    "%MWMOD=110",
              "%MD1.MOD=13000",   "%CH1.2=2001000",    "%C1.MOD=1010",         "%I1.2.ERR=2002000",
              "%I1.2=2003000",    "%IB1.2=2003000",    "%IW1.2=2004000",       "%ID1.2=2005000",
              "%IF1.2=2006000",   "%Q1.2=2007000",     "%QB1.2=2007000",       "%QW1.2=2008000",
              "%QD1.2=2009000",   "%QF1.2=2010000",    "%MB1.2=2011000",       "%MW1.2=2012000",
              "%MD1.2=2013000",   "%MF1.2=2014000",    "%M1.2=2000000",        "%KB1.2=2015000",
              "%KW1.2=2016000",   "%KD1.2=2017000",    "%KF1.2=2018000",       "%K1.2=2000000",
              "%IW1.2.3=2004030", "%IW3.1:X4=1004004", "%MW10=12010",          "%IW=4010",
              "%MW10:X5=5012010", "%I1. 7=7003000",    "%S5=100000009",        "%X4.TMAX=100000009",
              "%=100000009",      "=100000009",        "%IW1.4294=4294004000", "%IW1.4295=36704"},
             Key);
}

// Leading blanks (space, \t to \r) skipped, digits read up to the first
// other character, a sign not a digit, modulo 2^32.
TEST(IoSortKey, IndexNumbersReadLeadingDigitsAndWrap) {
  CheckCases({"=0", "  42x7=42", "\t\r 9019=9019", "\b5=0", "\0165=0", "-5=0", "ERR=0",
              "4294967295=4294967295", "4294967296=0", "99999999999=1215752191"},
             symbase::IndexNumber);
}

class IoLists : public testing_support::HostTest {
 protected:
  // The list through one of the two functions.
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

// Texts made of the characters the decoder and the key rules look at, odd
// and repeated ones included, come out whole and in key order.
TEST_F(IoLists, AnyTextsComeOutWholeInKeyOrder) {
  const std::string alphabet = "%%%CHIQMKWDFBX.:{}\\0123456789MODERR ";
  std::mt19937 random(11);
  Texts input = {"%IW1.2", "", "%IW1.2." + std::string(500, '7'), "%IW1.2", "%", "%I\\1.0.5\\0.2"};
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    for (std::size_t length = random() % 14; length > 0; --length) {
      text += alphabet[random() % alphabet.size()];
    }
    input.push_back(text);
  }
  Texts sorted = Sorted(input);
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    ASSERT_LE(Key(sorted[i - 1].c_str()), Key(sorted[i].c_str()))
        << sorted[i - 1] << " before " << sorted[i];
  }
  std::sort(input.begin(), input.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, input);
}

// An analyser that fails once the bus module address is analysed.
class FailingAnalyser : public CHostServices {
 public:
  void AnalyserDestroy(HostAnalyser* analyser) override {
    CHostServices::AnalyserDestroy(analyser);
    AfxThrowMemoryException();
  }
};

TEST_F(IoLists, AMemoryFailureInTheSortLeavesWhatWasNotTakenOut) {
  FailingAnalyser services;
  HostInstallServices(&services);
  const Texts left = Sorted({"%MW1", "%I\\1.0.5\\0.2", "%MW2"});
  HostInstallServices(nullptr);
  EXPECT_THAT(HostErrorReports(), ::testing::ElementsAre(testing_support::ReportIs(
                                      146, 533, 4, 424, "", "Tabisfctex", -1)));
  HostClearErrorReports();
  EXPECT_EQ(left, Texts({"%I\\1.0.5\\0.2", "%MW2"}));
}

}  // namespace
