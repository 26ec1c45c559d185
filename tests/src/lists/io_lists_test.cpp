// The I/O list of a module: the filter that keeps plain inputs and outputs,
// and the sort in key order. None of them reads a base.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "symbase/tabis.h"

namespace {

using Texts = std::vector<std::string>;

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

}  // namespace
