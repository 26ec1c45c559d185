// Searches by address, by symbol, by attributes, and by text in symbols or comments.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace {

using Texts = std::vector<std::string>;

class Searches : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    Create("%MW10", "Pump_1");
    Create("%MW11");
    Create("%MW10:X3", "Bit_3", "a bit");
    Create("%IW12.2:X5", "In_5");
    Create("%X1.3.ERR", "Err_step");
  }
};

// The symbol of an address (the address padded in place; none: 102, the
// symbol emptied), the address of a symbol (the symbol padded); 102 past the
// last key, 103 when the seek stops after the key.
TEST_F(Searches, SymbolOfAnAddressAndAddressOfASymbol) {
  const struct {
    const char* address;
    int result;
    const char* symbol;
  } cases[] = {
      {"%MW10", 0, "Pump_1"}, {"%MW11", 102, ""}, {"%Z1", 102, "stale"}, {"%MW0", 103, "stale"}};
  for (const auto& c : cases) {
    CTBObjetAts object(c.address, "stale", "", 0, -1);
    EXPECT_EQ(TBSearchSymbol(base, &object), c.result) << c.address;
    EXPECT_STREQ(object.m_symbole, c.symbol) << c.address;
    EXPECT_EQ(object.m_repere.GetLength(), 36);
  }
  CTBObjetAts object("", "Pump_1", "", 0, -1);
  EXPECT_EQ(TBSearchRepere(base, &object), 0);
  EXPECT_STREQ(object.m_repere, "%MW10");
  EXPECT_EQ(object.m_symbole.GetLength(), 32);
  CTBObjetAts missing("", "Nope", "", 0, -1);
  EXPECT_EQ(TBSearchRepere(base, &missing), 103);
}

// Buffers must hold the field and its end; engine results come back
// untranslated: 2 after the key, 3 past the end.
TEST_F(Searches, AnalexBufferSizes) {
  char symbol[64] = "";
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 32), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 33), 0);
  EXPECT_STREQ(symbol, "Pump_1");
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW11", symbol, 33), 102);  // no symbol
  EXPECT_EQ(TBSearchSymbolAnalex(base, nullptr, symbol, 33), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", nullptr, 33), 102);
  Create("%MW12", std::string(32, 'L').c_str());
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW12", symbol, 33), 0);
  EXPECT_EQ(symbol, std::string(32, 'L'));
  EXPECT_EQ(TBSearchSymbolAnalex(base, std::string(37, 'M').c_str(), symbol, 33), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, std::string(36, '%').c_str(), symbol, 33), 2);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW0", symbol, 33), 2);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%X9", symbol, 33), 3);

  char address[64] = "";
  char name[64] = "Pump_1";
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 36), 102);
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 0);
  EXPECT_STREQ(address, "%MW10");
  EXPECT_EQ(TBSearchRepereAnalex(base, nullptr, address, 37), 102);
  EXPECT_EQ(TBSearchRepereAnalex(base, name, nullptr, 37), 102);
  std::strcpy(name, std::string(33, 'P').c_str());
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 102);
  std::strcpy(name, std::string(32, 'P').c_str());
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 2);
  std::strcpy(name, "zz");
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 3);
}

// By address (not padded) or by symbol (its comment kept when there is no
// comment row): the type word is IND1 read as decimal digits ("0000C" reads
// 0), the flag the bit number, for macro-steps IND3.
TEST_F(Searches, AttributesByAddressAndBySymbol) {
  CTBObjetAts by_address("%MW10:X3", "", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &by_address, 0), 0);
  EXPECT_STREQ(by_address.m_repere, "%MW10:X3");
  EXPECT_STREQ(by_address.m_symbole, "Bit_3");
  EXPECT_STREQ(by_address.m_commentaire, "a bit");
  EXPECT_EQ(by_address.m_type, 10u);
  EXPECT_EQ(by_address.m_flag, 3);
  CTBObjetAts by_symbol("", "In_5", "kept", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &by_symbol, 1), 0);
  EXPECT_STREQ(by_symbol.m_repere, "%IW12.2:X5");
  EXPECT_EQ(by_symbol.m_type, 0u);
  EXPECT_EQ(by_symbol.m_flag, 5);
  EXPECT_STREQ(by_symbol.m_commentaire, "kept");
  CTBObjetAts macro_step("", "Err_step", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &macro_step, 1), 0);
  EXPECT_EQ(macro_step.m_flag, 3);
}

TEST_F(Searches, IsObjectBaseIgnoresDeletedRows) {
  int empty = -1;
  EXPECT_EQ(TBIsObjectBase(base, &empty), 0);
  EXPECT_EQ(empty, 0);
  for (const char* repere : {"%MW10", "%MW11", "%MW10:X3", "%IW12.2:X5", "%X1.3.ERR"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &object), 0);
  }
  EXPECT_EQ(TBIsObjectBase(base, &empty), 0);
  EXPECT_EQ(empty, 1);
}

Texts Strings(const CStringList& list) {
  Texts texts;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
    texts.emplace_back(list.GetNext(pos));
  return texts;
}

class FindString : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    Create("%MW3", "motor_b", "Starts the MOTOR");
    Create("%MW1", "MOTOR_a");
    Create("%MW2", "Pump_mot", "no match here");
    Create("%MW4", "Valve", "motor in comment");
    Create("%MW5", "\xC9t\xE9_mode");
    Create("%MW6", "old_motor");
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
