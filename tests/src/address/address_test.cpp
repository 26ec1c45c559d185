// The address codec: splitting address texts, bus module addresses.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "address/decode_repere.h"
#include "address/module_address.h"
#include "symbase/host.h"

namespace {

// "objet|ind1|ind2|ind3|ind4"; untouched parts show as "-".
std::string Decode(const char* address) {
  CString objet, ind1, ind2("-"), ind3("-"), ind4("-");
  symbase::DecodeRepere(address, objet, ind1, ind2, ind3, ind4);
  return std::string(objet) + "|" + std::string(ind1) + "|" + std::string(ind2) + "|" +
         std::string(ind3) + "|" + std::string(ind4);
}

// Worked results, then quirks and hostile texts. The bus module address is
// packed by the host's analyser; out of range it gives 0 and the scan stays
// on the second backslash: d and the channel become IND2 and IND3.
TEST(DecodeRepere, SplitsAndAppendsObjetAndInd1) {
  // "address>split" separated by blanks.
  std::istringstream cases(
      "%MW10>MW|10|-|-|- %MW10:X5>MWX|10|5|-|- %M7>MX|7|-|-|- %I1.2>VIX|1|2|0|- "
      "%IW3.1.2>VIW|3|1|2|- %IW3.1:X4>VIWX|3|1|0|4 %IW3.MOD.2:X1>MOIWX|3|2|0|1 %X4>X|4|-|-|- "
      "%X4.TMAX>XX|4|2|-|- %X1.IN>XM|1|9998|-|- %X1.OUT>XM|1|9999|-|- %X1.3.ERR>XM|1|3|3|- "
      "%T2.D>TIX|2|2|-|- %C5.F>CX|5|4|-|- %DR1.6>DRX|1|9|-|- %NW{2}5>NW|0|2|5|- "
      "%NW{1.2}5:X3>NWX|1|2|5|3 %NW{4}2:X1>NWX|0|4|2|1 %I\\1.0.5\\0.2>VIX|4058|2|0|- "
      "%I\\1024.0.0\\0.2>VIX|0|0|2|- %DR1.>DRX|1|3|-|- %DR2.5>DRX|2|8|-|- %X2.5>XM|2|5|-|- "
      "%X2.T>XX|2|0|-|- %X3.BAD>XX|3|-|-|- %XM3>XM|3|-|-|- %XM3.T>XM|3|T|-|- %I1.W2>VIX|1|2|0|- "
      "%IW1.2.3.4>VIW|1|2|34|- %TM1.Q>TMX|1|2|-|- %TM1.QX>TMX|1|2|-|- %T1.Z>TIX|1|-|-|- "
      "%R3.E>RX|3|3|-|- %MN2.R>MNX|2|2|-|- %S4>SX|4|-|-|- %Q2.MOD>MOQX|2|0|0|- >||-|-|- "
      "%>||-|-|- %MW>MW||-|-|- %MW10:>MWX|10||-|- %IW3.>VIW|3||0|- %NW{>NW||-|-|-");
  for (std::string c; cases >> c;) {
    EXPECT_EQ(Decode(c.substr(0, c.find('>')).c_str()), c.substr(c.find('>') + 1)) << c;
  }
  CString objet("A"), ind1("9"), ind2, ind3, ind4;
  symbase::DecodeRepere("%MW10", objet, ind1, ind2, ind3, ind4);
  EXPECT_STREQ(objet, "AMW");
  EXPECT_STREQ(ind1, "910");
}

using namespace symbase;

// Kind 343 with components a, b, c and value d is the bus module address
// \a.b.c\d: packed or 1, the position moved past it only when packed, and
// the value back to text.
TEST(ModuleAddress, PackAndUnpack) {
  const struct {
    std::int32_t kind;
    std::uint32_t count, abc[3], d;
    int result;
    unsigned value;
    int advance;
    const char* text;
  } cases[] = {
      {343, 3, {1, 0, 5}, 0, 0, 4058, 2, "\\1.0.5\\0"},
      {343, 3, {0, 0, 0}, 0, 0, 2000, 2, "2000"},
      {343, 3, {0, 0, 0}, 1, 0, 2001, 2, "\\0.0.0\\1"},
      {343, 3, {1023, 3, 255}, 1, 0, 2099151, 2, "\\1023.3.255\\1"},
      {343, 3, {1024, 0, 0}, 0, 1, 0, 0, "0"},
      {343, 3, {0, 4, 0}, 0, 1, 0, 0, "0"},
      {343, 3, {0, 0, 256}, 0, 1, 0, 0, "0"},
      {343, 3, {0, 0, 0}, 2, 1, 0, 0, "0"},
      {340, 0, {0, 0, 0}, 7, 0, 7, 0, "7"},     // a plain value
      {343, 2, {12, 0, 0}, 0, 0, 12, 0, "12"},  // a module position
  };
  for (const auto& c : cases) {
    UsAts analysed{};
    analysed.kindCode = c.kind;
    analysed.components.count = c.count;
    for (int i = 0; i < 3; ++i) analysed.components.item[i] = c.abc[i];
    analysed.value.number = c.d;
    unsigned value = 99;
    int position = 10;
    EXPECT_EQ(CodeChaineAdrModule(&analysed, &value, &position), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(position, 10 + c.advance) << c.text;
    CString text;
    EXPECT_EQ(DecodeValeurAdrModule(value, text), 0);
    EXPECT_STREQ(text, c.text);
  }
}

}  // namespace
