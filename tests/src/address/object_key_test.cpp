// Key fields of addresses, base-32 module numbers, seek keys from types and
// packed bus module addresses.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "address/module_address.h"
#include "address/object_key.h"
#include "symbase/host.h"

namespace {

using namespace symbase;

// Each case runs under an addressing mode: only 1 means decimal module
// numbers, and the mode is asked afresh at each encoding.
class ObjectKey : public ::testing::Test {
 protected:
  void TearDown() override { HostSetAddressingMode(0); }
};

TEST_F(ObjectKey, AddressesBecomePaddedKeyFields) {
  const struct {
    int mode;
    const char* address;
    const char* fields;
  } cases[] = {
      {0, "%MW10", "MW|00010|||"},
      {0, "%MW10:X5", "MWX|00010|00005||"},
      {0, "%I1.2", "VIX|00001|00002|00000|"},
      {0, "%IW1.2:X3", "VIWX|00001|00002|00000|03"},
      {0, "%X3.T", "XX|00003|00000||"},
      {0, "%X1.IN", "XM|00001|09998||"},
      {0, "%DR2.5", "DRX|00002|00008||"},
      {0, "%NW{4}2:X1", "NWX|00000|00004|00002|01"},
      {0, "%MW", "MW|00000|||"},
      {0, "%I12.2", "VIX|0000C|00002|00000|"},
      {0, "%I\\1.0.5\\0.2", "VIX|003UQ|00002|00000|"},
      {0, "%IW3.MOD.2:X1", "MOIWX|00003|00002|00000|01"},
      {0, "%I99999999.2", "VIX|00000|00002|00000|"},  // overlong module number
      {1, "%I12.2", "VIX|00012|00002|00000|"},
      {1, "%I\\1.0.5\\0.2", "VIX|04058|00002|00000|"},
      {1, "%MW10", "MW|00010|||"},
      {2, "%I12.2", "VIX|0000C|00002|00000|"},
  };
  for (const auto& c : cases) {
    HostSetAddressingMode(c.mode);
    const AddressKey key = EncodeRepere(c.address);
    EXPECT_EQ(std::string(key.objet) + "|" + std::string(key.ind1) + "|" + std::string(key.ind2) +
                  "|" + std::string(key.ind3) + "|" + std::string(key.ind4),
              c.fields)
        << c.address << " mode " << c.mode;
  }
}

TEST_F(ObjectKey, BuildObjectKeyFromPrefixAndNumbers) {
  const struct {
    int mode;
    const char* prefix;
    int bit, ind1, ind2, ind3;
    const char* key;
  } cases[] = {
      {0, "%MW", 0, 10, -1, -1, "MW   00010"},     {0, "%M", 0, 7, -1, -1, "MX   00007"},
      {0, "%S", 0, 5, -1, -1, "SX   00005"},       {0, "%MW", 1, 10, 3, -1, "MWX  0001000003"},
      {0, "%XM", 0, -1, 4, -1, "XM   000-100004"}, {0, "%I", 0, 12, 2, 0, "I    000120000200000"},
      {0, "", 0, 5, -1, -1, "     00005"},         {0, "%VIW", 0, 12, -1, -1, "VIW  0000C"},
      {1, "%VIW", 0, 12, -1, -1, "VIW  00012"},
  };
  for (const auto& c : cases) {
    HostSetAddressingMode(c.mode);
    CString prefix(c.prefix), objet;
    BuildObjectKey(prefix, objet, c.bit, c.ind1, c.ind2, c.ind3);
    EXPECT_STREQ(prefix, c.key) << c.prefix;
    EXPECT_STREQ(objet, std::string(c.key, 5).c_str()) << c.prefix;
  }
}

TEST(EncodeIndex32, FiveDigitsOrFailure) {
  const struct {
    unsigned long value;
    int result;
    const char* digits;
  } cases[] = {{0, 0, "00000"},    {10, 0, "0000A"},       {32, 0, "00010"},
               {4058, 0, "003UQ"}, {33554431, 0, "VVVVV"}, {33554432, 1, ""}};
  for (const auto& c : cases) {
    char out[6] = "xxxxx";
    EXPECT_EQ(EncodeIndex32(c.value, out), c.result) << c.value;
    EXPECT_STREQ(out, c.digits) << c.value;
  }
}

TEST(TypeToPrefix, PrefixesAndFamilies) {
  const struct {
    unsigned short type;
    int module, bit;
    const char* prefix;
  } cases[] = {{342, 0, 0, "%MW"},       {464, 1, 1, "%M"},        {603, 0, 0, "%XM"},
               {611, 0, 0, "%XM"},       {434, 0, 1, "VIWX "},     {434, 1, 1, "MOIWX"},
               {534, 1, 1, "MOQWX"},     {434, 0, 0, "unchanged"}, {501, 0, 1, "NWX  "},
               {501, 0, 0, "unchanged"}, {999, 0, 0, "unchanged"}};
  for (const auto& c : cases) {
    CString out("unchanged");
    TypeToPrefix(c.type, c.module, c.bit, out);
    EXPECT_STREQ(out, c.prefix) << c.type;
  }
}

// An analysed address: kind 343 with three components a, b, c and the value
// d is a bus module address \a.b.c\d.
UsAts Analysed(std::int32_t kind, std::uint32_t count, std::uint32_t a, std::uint32_t b,
               std::uint32_t c, std::uint32_t d) {
  UsAts result{};
  result.kindCode = kind;
  result.components.count = count;
  result.components.item[0] = a;
  result.components.item[1] = b;
  result.components.item[2] = c;
  result.value.number = d;
  return result;
}

// The packed value or 1, the position moved past the second backslash only
// when a bus module address was packed, and the value back to text.
TEST(ModuleAddress, PackAndUnpack) {
  const struct {
    UsAts analysed;
    int result;
    unsigned value;
    int advance;
    const char* text;
  } cases[] = {
      {Analysed(343, 3, 1, 0, 5, 0), 0, 4058, 2, "\\1.0.5\\0"},
      {Analysed(343, 3, 0, 0, 0, 0), 0, 2000, 2, "2000"},
      {Analysed(343, 3, 0, 0, 0, 1), 0, 2001, 2, "\\0.0.0\\1"},
      {Analysed(343, 3, 1023, 3, 255, 1), 0, 2099151, 2, "\\1023.3.255\\1"},
      {Analysed(343, 3, 1024, 0, 0, 0), 1, 0, 0, "0"},
      {Analysed(343, 3, 0, 4, 0, 0), 1, 0, 0, "0"},
      {Analysed(343, 3, 0, 0, 256, 0), 1, 0, 0, "0"},
      {Analysed(343, 3, 0, 0, 0, 2), 1, 0, 0, "0"},
      {Analysed(340, 0, 0, 0, 0, 7), 0, 7, 0, "7"},     // a plain value
      {Analysed(343, 2, 12, 0, 0, 0), 0, 12, 0, "12"},  // a module position
      {Analysed(343, 0, 0, 0, 0, 0), 0, 0, 0, "0"},
  };
  for (auto c : cases) {
    unsigned value = 99;
    int position = 10;
    EXPECT_EQ(CodeChaineAdrModule(&c.analysed, &value, &position), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(position, 10 + c.advance) << c.text;
    CString text;
    EXPECT_EQ(DecodeValeurAdrModule(value, text), 0);
    EXPECT_STREQ(text, c.text);
  }
  for (unsigned v = 2001; v <= 2099151; v += 997) {
    CString text;
    DecodeValeurAdrModule(v, text);
    unsigned a, b, c, d, back = 0;
    ASSERT_EQ(std::sscanf(text, "\\%u.%u.%u\\%u", &a, &b, &c, &d), 4);
    UsAts analysed = Analysed(343, 3, a, b, c, d);
    int position = 0;
    ASSERT_EQ(CodeChaineAdrModule(&analysed, &back, &position), 0);
    EXPECT_EQ(back, v);
  }
}

}  // namespace
