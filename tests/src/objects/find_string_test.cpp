// Finding the addresses whose symbol or comment holds a text: exact answers
// on a small base, and the fast searches against the general walk of the
// text filter over every row.

#include <gtest/gtest.h>

#include <cstring>
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

// The same addresses in the same order, and the same result, for texts that
// begin, end or sit inside symbols and comments in every case, texts found
// nowhere or only inside, texts with blanks and apostrophes, a comment over
// both fields, with deleted rows and equal symbols in several cases.
TEST_F(FindString, FastSearchesAnswerAsTheFilterWalk) {
  const char* symbols[] = {"ab12",       "AB12x", "aB7", "Ab12",  "zAb1", "x_ab", "\xE9t\xE9",
                           "\xC9T\xC9z", "b1",    "AB",  "mab12", "q",    "ab1_Z"};
  for (int i = 0; i < 40; ++i) {
    const std::string address = "%MD" + std::to_string(i);
    const std::string symbol = std::string(symbols[i % 13]) + (i < 13 ? "" : std::to_string(i));
    std::string comment = i % 3 == 0 ? "" : std::string("Ab cd ") + symbols[(i * 7) % 13];
    // Over both comment fields, with an apostrophe and blanks where the first ends.
    if (i == 4) comment = "l'ab" + std::string(247, 'y') + " b  cd ef";
    Create(address.c_str(), symbol.c_str(), comment.c_str());
  }
  for (const char* gone : {"%MD5", "%MD14", "%MD22"}) {
    CTBObjetAts object(gone, "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &object), 0);
  }
  const char* texts[] = {"ab",        "AB1",        "ab12",   "b1",   "Z",        "\xE9t",
                         "\xC9T\xC9", "12",         "cd",     "CD A", "nowhere",  "1_",
                         "mAB",       "x",          "AB12X9", "b",    " ",        "Y B",
                         "B  CD",     "'",          "L'A",    "cd ",  "Y B CD E", "zab1",
                         "X_AB",      "\xE9T\xC9z", "ab1_z2", "QQQQ", "mAB12"};
  for (const char* text : texts) {
    for (int field : {0, 1}) {
      // The walk's filter cannot quote an apostrophe in a symbol search.
      if (field == 0 && std::strchr(text, '\'') != nullptr) continue;
      for (int match : {0, 1, 2}) {
        for (int order : {0, 1}) {
          CStringList fast, walked;
          const int fast_result = base->FindStringInBase(fast, order, field, text, match);
          EXPECT_EQ(fast_result, base->FindByWalk(walked, order, field, text, match))
              << text << " field " << field << " match " << match << " order " << order;
          EXPECT_EQ(Strings(fast), Strings(walked))
              << text << " field " << field << " match " << match << " order " << order;
        }
      }
    }
  }
}

}  // namespace
