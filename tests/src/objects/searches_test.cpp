// Searches by address, by symbol and by attributes.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "src/objects/objects_test.h"

namespace {

class Searches : public objects_test::ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    CreateAll({"%MW10|Pump_1|", "%MW11||", "%MW10:X3|Bit_3|a bit", "%IW12.2:X5|In_5|",
               "%X1.3.ERR|Err_step|"});
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

}  // namespace
