// The I/O list of a module: the filter that keeps plain inputs and outputs,
// and the sort in module order. Neither reads a base.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lists/io_quicksort.h"
#include "lists/io_sort_key.h"
#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "symbase/host_services.h"
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
  // one element of IND2 1 and one of a letter outside the table.
  const Texts ordered = {"%CH1.MOD", "%I1.MOD.ERR", "%QW1.1", "%M1.2",  "%CH1.2", "%I1.2.ERR",
                         "%I1.2",    "%IW1.2",      "%ID1.2", "%IF1.2", "%Q1.2",  "%QW1.2",
                         "%QD1.2",   "%QF1.2",      "%MB1.2", "%MW1.2", "%MD1.2", "%MF1.2",
                         "%KB1.2",   "%KW1.2",      "%KD1.2", "%KF1.2", "%S5",    "%IW1.100"};
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
  symbase::DecodedRepere work;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    ASSERT_LE(symbase::IoSortKey(sorted[i - 1].c_str(), work),
              symbase::IoSortKey(sorted[i].c_str(), work))
        << sorted[i - 1] << " before " << sorted[i];
  }
  std::sort(input.begin(), input.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, input);
}

// The quicksort on bare keys: keys compare unsigned, and each text stays
// with its key, for ordered, reversed, random and equal keys.
TEST(IoQuicksort, OrdersKeysAndCarriesTheirTexts) {
  std::mt19937 random(7);
  for (int shape = 0; shape < 5; ++shape) {
    std::vector<DWORD> keys(shape == 4 ? 3 : 3000);
    std::vector<CString> texts;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const DWORD n = static_cast<DWORD>(i);
      const DWORD high = n == 0 ? 0x80000000u : n == 1 ? 1 : 0xFFFFFFFFu;
      keys[i] = std::vector<DWORD>{n, 3000 - n, static_cast<DWORD>(random() % 500), 7, high}[shape];
      texts.emplace_back((std::to_string(keys[i]) + "#" + std::to_string(i)).c_str());
    }
    Texts expected(texts.begin(), texts.end());
    symbase::SortByKey(texts.data(), keys.data(), 0, static_cast<INT_PTR>(keys.size()) - 1);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "shape " << shape;
    Texts got(texts.begin(), texts.end());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      ASSERT_EQ(got[i].substr(0, got[i].find('#')), std::to_string(keys[i])) << shape;
    }
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << "shape " << shape;
  }
  symbase::SortByKey(nullptr, nullptr, 0, -1);  // an empty range is left alone
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
