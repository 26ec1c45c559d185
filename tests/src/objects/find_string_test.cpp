// Finding the addresses whose symbol or comment holds a text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/objects/objects_test.h"

namespace {

using objects_test::Texts;

Texts Strings(const CStringList& list) {
  Texts texts;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
    texts.emplace_back(list.GetNext(pos));
  return texts;
}

class FindString : public objects_test::ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    CreateAll({"%MW3|motor_b|Starts the MOTOR", "%MW1|MOTOR_a|", "%MW2|Pump_mot|no match here",
               "%MW4|Valve|motor in comment", "%MW5|\xC9t\xE9_mode|", "%MW6|old_motor|"});
    Create("%MW7", "", ("l'ab" + std::string(247, 'y') + " b  cd ef").c_str());
    CTBObjetAts gone("%MW6", "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
  }

  Texts Find(int symbol_order, int field, const char* text, int match) {
    CStringList list;
    last_result = TBFindStringInBase(base, list, symbol_order, field, text, match);
    return Strings(list);
  }

  int last_result = -1;
};

// Match 0 contains, 1 ends with, 2 begins with, case ignored; symbol order
// is the byte order of the symbols ("MOTOR_a" < "Pump_mot" < "motor_b").
TEST_F(FindString, SymbolsAndCommentsByMatchKindAndOrder) {
  const struct {
    int order, field;
    const char* text;
    int match, result;
    Texts found;
  } cases[] = {
      {0, 0, "mot", 2, 0, {"%MW1", "%MW3"}},
      {1, 0, "mot", 0, 0, {"%MW1", "%MW2", "%MW3"}},
      {0, 0, "MOT", 1, 0, {"%MW2"}},
      // Accented letters regardless of case: "été", "ÉTÉ_MODE".
      {0, 0, "\xE9t\xE9", 2, 0, {"%MW5"}},
      {0, 0, "\xC9T\xC9_MODE", 0, 0, {"%MW5"}},
      {0, 1, "motor", 0, 0, {"%MW3", "%MW4"}},
      {1, 1, "motor", 0, 0, {"%MW4", "%MW3"}},
      {0, 1, "MOTOR", 1, 0, {"%MW3"}},
      {0, 1, "motor", 2, 0, {"%MW4"}},
      {0, 1, "zzz", 2, 0, {}},
      // A comment over both fields: the blanks ending the first are dropped.
      {0, 1, "Y B CD E", 0, 0, {"%MW7"}},
      {0, 1, "B  CD", 0, 0, {}},
      {0, 1, "L'A", 2, 0, {"%MW7"}},
      {0, 0, "zzz", 0, 108, {}},
      {0, 0, "mot", 7, 0, {}},  // an unknown match kind
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.order, c.field, c.text, c.match), c.found) << c.text << " " << c.match;
    EXPECT_EQ(last_result, c.result) << c.text;
  }
  // Results accumulate.
  CStringList list;
  EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, "Valve", 0), 0);
  EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, "Valve", 0), 0);
  EXPECT_EQ(Strings(list), Texts({"%MW4", "%MW4"}));
  // An apostrophe does not break the base: the malformed filter is reported.
  EXPECT_EQ(Find(0, 0, "it's", 0), Texts());
  EXPECT_EQ(last_result, 108);
  HostClearErrorReports();
  EXPECT_EQ(Find(0, 0, "Valve", 0), Texts({"%MW4"}));
}

}  // namespace
