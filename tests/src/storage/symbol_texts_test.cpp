// The symbols held in memory for the text searches follow what another
// handle on the same base writes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace {

class SymbolTexts : public testing_support::SymbolBaseTest {
 protected:
  std::vector<std::string> Containing(const char* text) {
    CStringList list;
    EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, text, 0), 0);
    std::vector<std::string> found;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
      found.emplace_back(list.GetNext(pos));
    return found;
  }
};

TEST_F(SymbolTexts, AnotherHandlesWriteIsSeen) {
  Create("%MW1", "motor_a");
  EXPECT_EQ(Containing("motor"), std::vector<std::string>{"%MW1"});
  CTBData* other = nullptr;
  TBInitTabisDll(&other);
  ASSERT_EQ(TBOpenBaseSymbol(other, dir.slash().c_str()), 0);
  CTBObjetAts object("%MW2", "big_motor", "", 0, -1);
  ASSERT_EQ(TBCreateObject(other, &object), 0);
  TBCloseBaseSymbol(other);
  TBFreeTabisDll(other);
  EXPECT_EQ(Containing("motor"), (std::vector<std::string>{"%MW1", "%MW2"}));
}

}  // namespace
