// Searches by address, by symbol and by attributes.

#include <gtest/gtest.h>

#include <cstring>

#include "support/symbol_base.h"

namespace {

class Searches : public testing_support::SymbolBaseTest {};

TEST_F(Searches, SymbolOfAnAddress) {
  Create("%MW10", "Pump_1");
  Create("%MW11");
  CTBObjetAts object("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBSearchSymbol(base, &object), 0);
  EXPECT_STREQ(object.m_symbole, "Pump_1");
  EXPECT_EQ(object.m_repere.GetLength(), 36);  // padded in place

  CTBObjetAts bare("%MW11", "stale", "", 0, -1);
  EXPECT_EQ(TBSearchSymbol(base, &bare), 102);
  EXPECT_TRUE(bare.m_symbole.IsEmpty());

  CTBObjetAts missing("%MW12", "", "", 0, -1);
  EXPECT_EQ(TBSearchSymbol(base, &missing), 102);
  CTBObjetAts before("%MW0", "", "", 0, -1);
  EXPECT_EQ(TBSearchSymbol(base, &before), 103);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(Searches, AddressOfASymbol) {
  Create("%MW10", "Pump_1");
  CTBObjetAts object("", "Pump_1", "", 0, -1);
  EXPECT_EQ(TBSearchRepere(base, &object), 0);
  EXPECT_STREQ(object.m_repere, "%MW10");
  EXPECT_EQ(object.m_symbole.GetLength(), 32);
  CTBObjetAts missing("", "Nope", "", 0, -1);
  EXPECT_NE(TBSearchRepere(base, &missing), 0);
}

TEST_F(Searches, AnalexBufferSizes) {
  Create("%MW10", "Pump_1");
  char symbol[64] = "";
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 32), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 33), 0);
  EXPECT_STREQ(symbol, "Pump_1");
  EXPECT_EQ(TBSearchSymbolAnalex(base, std::string(37, 'M').c_str(), symbol, 33), 102);
  // Engine results come back untranslated: 2 after the key, 3 past the end.
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW0", symbol, 33), 2);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW9", symbol, 33), 3);

  char address[64] = "";
  char name[64] = "Pump_1";
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 36), 102);
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 0);
  EXPECT_STREQ(address, "%MW10");
  std::strcpy(name, std::string(33, 'P').c_str());
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 102);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(Searches, AttributesByAddressAndBySymbol) {
  Create("%MW10:X3", "Bit_3", "a bit");
  Create("%IW12.2:X5", "In_5");
  Create("%X1.3.ERR", "Err_step");

  CTBObjetAts by_address("%MW10:X3", "", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &by_address, 0), 0);
  EXPECT_STREQ(by_address.m_repere, "%MW10:X3");  // not padded
  EXPECT_STREQ(by_address.m_symbole, "Bit_3");
  EXPECT_STREQ(by_address.m_commentaire, "a bit");
  EXPECT_EQ(by_address.m_type, 10u);
  EXPECT_EQ(by_address.m_flag, 3);

  CTBObjetAts by_symbol("", "In_5", "kept", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &by_symbol, 1), 0);
  EXPECT_STREQ(by_symbol.m_repere, "%IW12.2:X5");
  EXPECT_EQ(by_symbol.m_type, 0u);  // 0000C reads as its leading digits
  EXPECT_EQ(by_symbol.m_flag, 5);
  EXPECT_STREQ(by_symbol.m_commentaire, "kept");  // no comment row

  CTBObjetAts macro_step("", "Err_step", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &macro_step, 1), 0);
  EXPECT_EQ(macro_step.m_flag, 3);  // IND3 for macro-steps
}

TEST_F(Searches, IsObjectBaseIgnoresDeletedRows) {
  int empty = -1;
  EXPECT_EQ(TBIsObjectBase(base, &empty), 0);
  EXPECT_EQ(empty, 1);
  Create("%MW1", "A");
  Create("%MW2", "B", "comment");
  EXPECT_EQ(TBIsObjectBase(base, &empty), 0);
  EXPECT_EQ(empty, 0);
  for (const char* repere : {"%MW1", "%MW2"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &object), 0);
  }
  EXPECT_EQ(TBIsObjectBase(base, &empty), 0);
  EXPECT_EQ(empty, 1);
}

}  // namespace
