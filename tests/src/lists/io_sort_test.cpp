// TBTriListeRepereES: the module order of an I/O list, equal keys included.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "io_list_util.h"
#include "lists/io_sort_key.h"
#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "symbase/host_services.h"
#include "symbase/tabis.h"

namespace {

using io_lists_testing::Fill;
using io_lists_testing::Texts;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// A handle without any base: the sort never reads one.
class IoSort : public io_lists_testing::IoListTest {
 protected:
  std::vector<std::string> Sorted(const std::vector<std::string>& input) {
    return Through(TBTriListeRepereES, input);
  }
};

TEST_F(IoSort, AnEmptyListIsLeftAlone) {
  EXPECT_THAT(Sorted({}), IsEmpty());
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(IoSort, OneIndexNumberInClassOrder) {
  // Every class of IND2 2, shuffled, with the two fixed-key module elements,
  // one element of IND2 1 and one of a letter outside the table.
  const std::vector<std::string> ordered = {
      "%CH1.MOD", "%I1.MOD.ERR", "%QW1.1", "%M1.2",  "%CH1.2", "%I1.2.ERR", "%I1.2",  "%IW1.2",
      "%ID1.2",   "%IF1.2",      "%Q1.2",  "%QW1.2", "%QD1.2", "%QF1.2",    "%MB1.2", "%MW1.2",
      "%MD1.2",   "%MF1.2",      "%KB1.2", "%KW1.2", "%KD1.2", "%KF1.2",    "%S5",    "%IW1.100"};
  std::vector<std::string> shuffled = {
      "%KF1.2", "%IW1.100", "%MW1.2",    "%Q1.2",  "%IF1.2", "%I1.2",  "%QW1.1",      "%KB1.2",
      "%S5",    "%MD1.2",   "%I1.2.ERR", "%QD1.2", "%ID1.2", "%MB1.2", "%I1.MOD.ERR", "%KW1.2",
      "%QF1.2", "%M1.2",    "%CH1.2",    "%MF1.2", "%QW1.2", "%KD1.2", "%CH1.MOD",    "%IW1.2"};
  EXPECT_THAT(Sorted(shuffled), ElementsAreArray(ordered));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(IoSort, ThirdIndexOrdersOneClassAndAnAbsentOneCountsAsOne) {
  // IND3 "0" (part 0), absent (part 10), 2 (part 20), 11 (part 110).
  EXPECT_THAT(Sorted({"%IW1.3.11", "%IW1.3.2", "%IW1:X3", "%IW1.3"}),
              ElementsAre("%IW1.3", "%IW1:X3", "%IW1.3.2", "%IW1.3.11"));
  // The fourth index comes last: %IW3.1:X4 and :X2 share IND2 and IND3.
  EXPECT_THAT(Sorted({"%IW3.1:X4", "%IW3.1:X2", "%IW3.1"}),
              ElementsAre("%IW3.1", "%IW3.1:X2", "%IW3.1:X4"));
}

TEST_F(IoSort, EqualKeysComeOutAsThePartitionLeavesThem) {
  // All three words have key 200, the channel 1. Partition of 0..3 on X1
  // runs i to the end and swaps X1 with X3: [X3, X2, CH, X1]. Then 0..2 on X3
  // swaps it with CH: [CH, X2, X3, X1]; 0..1 leaves it so.
  EXPECT_THAT(Sorted({"%MW1.MOD.2:X1", "%MW1.MOD.2:X2", "%CH1.MOD", "%MW1.MOD.2:X3"}),
              ElementsAre("%CH1.MOD", "%MW1.MOD.2:X2", "%MW1.MOD.2:X3", "%MW1.MOD.2:X1"));
  // Keys 3, 2, 3, 1: the pivot :X1 ends last, behind the plain %MW1.MOD.
  EXPECT_THAT(Sorted({"%MW1.MOD:X1", "%I1.MOD.ERR", "%MW1.MOD", "%CH1.MOD"}),
              ElementsAre("%CH1.MOD", "%I1.MOD.ERR", "%MW1.MOD", "%MW1.MOD:X1"));
}

TEST_F(IoSort, IdenticalAndOddTextsAreKept) {
  const std::string long_text = "%IW1.2." + std::string(500, '7');
  const std::vector<std::string> sorted =
      Sorted({"%IW1.2", "", long_text, "%IW1.2", "%", "garbage", "%I\\1.0.5\\0.2"});
  EXPECT_EQ(sorted.size(), 7u);
  EXPECT_THAT(sorted, ::testing::UnorderedElementsAre("%IW1.2", "", long_text, "%IW1.2", "%",
                                                      "garbage", "%I\\1.0.5\\0.2"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(IoSort, RandomTextsComeOutWholeInKeyOrder) {
  // Texts made of the characters the decoder and the key rules look at.
  const std::string alphabet = "%%%CHIQMKWDFBX.:{}\\0123456789MODERR ";
  std::mt19937 random(11);
  std::vector<std::string> input;
  for (int n = 0; n < 2000; ++n) {
    std::string text;
    for (std::size_t length = random() % 14; length > 0; --length) {
      text += alphabet[random() % alphabet.size()];
    }
    input.push_back(text);
  }
  std::vector<std::string> sorted = Sorted(input);

  symbase::DecodedRepere work;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    ASSERT_LE(symbase::IoSortKey(sorted[i - 1].c_str(), work),
              symbase::IoSortKey(sorted[i].c_str(), work))
        << sorted[i - 1] << " before " << sorted[i];
  }
  std::sort(input.begin(), input.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, input);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

// An analyser that fails once the bus module address is analysed.
class FailingAnalyser : public CHostServices {
 public:
  void AnalyserDestroy(HostAnalyser* analyser) override {
    CHostServices::AnalyserDestroy(analyser);
    AfxThrowMemoryException();
  }
};

TEST_F(IoSort, AMemoryFailureIsReportedUnderItsOperation) {
  FailingAnalyser services;
  HostInstallServices(&services);
  CStringList list;
  Fill(list, {"%MW1", "%I\\1.0.5\\0.2", "%MW2"});
  TBTriListeRepereES(handle_, &list);
  HostInstallServices(nullptr);
  EXPECT_THAT(HostErrorReports(),
              ElementsAre(testing_support::ReportIs(146, 533, 4, 424, "", "Tabisfctex", -1)));
  // What is left is what had not yet been taken out.
  EXPECT_THAT(Texts(list), ElementsAre("%I\\1.0.5\\0.2", "%MW2"));
}

}  // namespace
