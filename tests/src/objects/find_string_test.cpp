// Finding the addresses whose symbol or comment holds a text.

#include <gtest/gtest.h>
#include <cstring>

#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace {

std::vector<std::string> Texts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
    texts.emplace_back(list.GetNext(pos));
  return texts;
}

class FindString : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    Create("%MW3", "motor_b", "Starts the MOTOR");
    Create("%MW1", "MOTOR_a", "");
    Create("%MW2", "Pump_mot", "no match here");
    Create("%MW4", "Valve", "motor in comment");
    Create("%MW5", "\xC9t\xE9_mode");  // "Été_mode"
    Create("%MW6", "old_motor");
    CTBObjetAts gone("%MW6", "", "", 0, -1);
    TBDelObject(base, &gone);
  }

  std::vector<std::string> Find(int symbol_order, int field, const char* text, int match) {
    CStringList list;
    last_result = TBFindStringInBase(base, list, symbol_order, field, text, match);
    return Texts(list);
  }

  int last_result = -1;
};

using Strings = std::vector<std::string>;

TEST_F(FindString, SymbolsAndCommentsByMatchKindAndOrder) {
  const struct {
    int order, field;
    const char* text;
    int match, result;
    Strings found;
  } cases[] = {
      {0, 0, "mot", 2, 0, {"%MW1", "%MW3"}},
      // Byte order of the symbols: "MOTOR_a" < "Pump_mot" < "motor_b".
      {1, 0, "mot", 0, 0, {"%MW1", "%MW2", "%MW3"}},
      {0, 0, "MOT", 1, 0, {"%MW2"}},
      // Accented letters regardless of case: "été", "ÉTÉ_MODE".
      {0, 0, "\xE9t\xE9", 2, 0, {"%MW5"}},
      {0, 0, "\xC9T\xC9_MODE", 0, 0, {"%MW5"}},
      // Comments are searched whole.
      {0, 1, "motor", 0, 0, {"%MW3", "%MW4"}},
      {0, 1, "MOTOR", 1, 0, {"%MW3"}},
      {0, 1, "motor", 2, 0, {"%MW4"}},
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
  EXPECT_EQ(Texts(list), (Strings{"%MW4", "%MW4"}));
  // An apostrophe does not break the base: the malformed filter is reported.
  EXPECT_EQ(Find(0, 0, "it's", 0), Strings{});
  EXPECT_EQ(last_result, 108);
  HostClearErrorReports();
  EXPECT_EQ(Find(0, 0, "Valve", 0), (Strings{"%MW4"}));
}

}  // namespace

// The fast searches against the general walk of the text filter over every
// row: the same addresses in the same order, and the same result, for
// texts that begin, end or sit inside symbols and comments in every case,
// texts found nowhere or only inside, texts with blanks and apostrophes,
// a comment over both fields, on a base with deleted rows, equal
// symbols in several cases and a comment row that is not the first for its
// key.
class FindStringAgainstWalk : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    const char* symbols[] = {"ab12",       "AB12x", "aB7", "Ab12",  "zAb1", "x_ab", "\xE9t\xE9",
                             "\xC9T\xC9z", "b1",    "AB",  "mab12", "q",    "ab1_Z"};
    for (int i = 0; i < 40; ++i) {
      const std::string address = "%MW" + std::to_string(i);
      const std::string symbol = std::string(symbols[i % 13]) + (i < 13 ? "" : std::to_string(i));
      std::string comment = i % 3 == 0 ? "" : std::string("Ab cd ") + symbols[(i * 7) % 13];
      // A comment over both comment fields, with an apostrophe and blanks
      // where the first field ends.
      if (i == 4) comment = "l'ab" + std::string(247, 'y') + " b  cd ef";
      Create(address.c_str(), symbol.c_str(), comment.c_str());
    }
    for (const char* gone : {"%MW5", "%MW14", "%MW22"}) {
      CTBObjetAts object(gone, "", "", 0, -1);
      ASSERT_EQ(TBDelObject(base, &object), 0);
    }
  }
};

TEST_F(FindStringAgainstWalk, SameAnswersAsTheFilterWalk) {
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
          const int walk_result = base->FindByWalk(walked, order, field, text, match);
          const std::string where = std::string(text) + " field " + std::to_string(field) +
                                    " match " + std::to_string(match) + " order " +
                                    std::to_string(order);
          EXPECT_EQ(fast_result, walk_result) << where;
          EXPECT_EQ(Texts(fast), Texts(walked)) << where;
        }
      }
    }
  }
}
