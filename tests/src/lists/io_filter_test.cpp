// TBFiltrerListeRepereES: only plain inputs and outputs stay, in order.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_list_util.h"
#include "support/host_reports.h"
#include "symbase/tabis.h"

namespace {

using io_lists_testing::Fill;
using io_lists_testing::Texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class IoFilter : public io_lists_testing::IoListTest {
 protected:
  std::vector<std::string> Filtered(const std::vector<std::string>& input) {
    return Through(TBFiltrerListeRepereES, input);
  }
};

TEST_F(IoFilter, EmptyListStaysEmpty) { EXPECT_THAT(Filtered({}), IsEmpty()); }

TEST_F(IoFilter, KeepsInputsAndOutputsOfEverySizeInOrder) {
  EXPECT_THAT(
      Filtered({"%QW1.1", "%I1.2", "%MW10", "%IW1.3", "%KW3", "%Q1.0", "%QD1.2", "%IF1.0",
                "%I1.2:X3", "%Q"}),
      ElementsAre("%QW1.1", "%I1.2", "%IW1.3", "%Q1.0", "%QD1.2", "%IF1.0", "%I1.2:X3", "%Q"));
}

TEST_F(IoFilter, RemovesErrorsEvenOnInputs) {
  EXPECT_THAT(Filtered({"%I1.2.ERR", "%I1.MOD.ERR", "%I1.2", "%QERR", "%Q1.ERR"}),
              ElementsAre("%I1.2"));
}

TEST_F(IoFilter, LooksOnlyAtTheFirstLetterInTheHead) {
  // The first "I" or "Q" of the first three characters must be the second
  // character: "%II1" has it first, "%XI1" third, "%M1.I" not at all.
  EXPECT_THAT(Filtered({"II1", "%XI1", "%M1.I", "%CH1.MOD", "", "%", "Q", "%X1.IN", "%QI2"}),
              ElementsAre("%QI2"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(IoFilter, ARemovedRunAtBothEndsLeavesTheMiddle) {
  EXPECT_THAT(Filtered({"%MW1", "%MW2", "%I1.0", "%I1.1", "%KW1", "%KW2"}),
              ElementsAre("%I1.0", "%I1.1"));
}

}  // namespace
