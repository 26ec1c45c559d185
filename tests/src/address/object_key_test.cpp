// Key fields of addresses, base-32 module numbers and seek keys from types.

#include <gtest/gtest.h>

#include <string>

#include "storage/tb_data.h"
#include "symbase/host.h"

namespace {

class ObjectKey : public ::testing::Test {
 protected:
  void SetUp() override { HostSetAddressingMode(0); }
  void TearDown() override { HostSetAddressingMode(0); }

  std::string Key(const char* address) {
    AddressKey key;
    data.EncodeRepere(address, &key);
    return std::string(key.objet) + "|" + std::string(key.ind1) + "|" + std::string(key.ind2) +
           "|" + std::string(key.ind3) + "|" + std::string(key.ind4);
  }

  CTBData data;
};

TEST_F(ObjectKey, AddressesBecomePaddedKeyFields) {
  EXPECT_EQ(Key("%MW10"), "MW|00010|||");
  EXPECT_EQ(Key("%MW10:X5"), "MWX|00010|00005||");
  EXPECT_EQ(Key("%I1.2"), "VIX|00001|00002|00000|");
  EXPECT_EQ(Key("%IW1.2:X3"), "VIWX|00001|00002|00000|03");
  EXPECT_EQ(Key("%X3.T"), "XX|00003|00000||");
  EXPECT_EQ(Key("%X1.IN"), "XM|00001|09998||");
  EXPECT_EQ(Key("%DR2.5"), "DRX|00002|00008||");
  EXPECT_EQ(Key("%NW{4}2:X1"), "NWX|00000|00004|00002|01");
  EXPECT_EQ(Key("%MW"), "MW|00000|||");
}

TEST_F(ObjectKey, ModuleNumbersAreBase32UnlessDecimalNumberingIsOn) {
  EXPECT_EQ(Key("%I12.2"), "VIX|0000C|00002|00000|");
  EXPECT_EQ(Key("%I\\1.0.5\\0.2"), "VIX|003UQ|00002|00000|");
  EXPECT_EQ(Key("%IW3.MOD.2:X1"), "MOIWX|00003|00002|00000|01");
  HostSetAddressingMode(1);  // asked afresh at each encoding
  EXPECT_EQ(Key("%I12.2"), "VIX|00012|00002|00000|");
  EXPECT_EQ(Key("%I\\1.0.5\\0.2"), "VIX|04058|00002|00000|");
  HostSetAddressingMode(2);  // only 1 means decimal
  EXPECT_EQ(Key("%I12.2"), "VIX|0000C|00002|00000|");
}

TEST_F(ObjectKey, OverlongModuleNumberGivesZeros) {
  EXPECT_EQ(Key("%I99999999.2"), "VIX|00000|00002|00000|");
}

TEST(EncodeIndex32, FiveDigitsOrFailure) {
  char out[6] = "xxxxx";
  EXPECT_EQ(CTBData::EncodeIndex32(0, out), 0);
  EXPECT_STREQ(out, "00000");
  EXPECT_EQ(CTBData::EncodeIndex32(10, out), 0);
  EXPECT_STREQ(out, "0000A");
  EXPECT_EQ(CTBData::EncodeIndex32(32, out), 0);
  EXPECT_STREQ(out, "00010");
  EXPECT_EQ(CTBData::EncodeIndex32(4058, out), 0);
  EXPECT_STREQ(out, "003UQ");
  EXPECT_EQ(CTBData::EncodeIndex32(33554431, out), 0);
  EXPECT_STREQ(out, "VVVVV");
  EXPECT_EQ(CTBData::EncodeIndex32(33554432, out), 1);
  EXPECT_STREQ(out, "");
}

TEST_F(ObjectKey, BuildObjectKeyFromPrefixAndNumbers) {
  struct Case {
    const char* prefix;
    int bit, ind1, ind2, ind3;
    const char* key;
    const char* objet;
  };
  const Case cases[] = {
      {"%MW", 0, 10, -1, -1, "MW   00010", "MW   "},
      {"%M", 0, 7, -1, -1, "MX   00007", "MX   "},
      {"%S", 0, 5, -1, -1, "SX   00005", "SX   "},
      {"%MW", 1, 10, 3, -1, "MWX  0001000003", "MWX  "},
      {"%XM", 0, -1, 4, -1, "XM   000-100004", "XM   "},
      {"%I", 0, 12, 2, 0, "I    000120000200000", "I    "},
      {"", 0, 5, -1, -1, "     00005", "     "},
  };
  for (const Case& c : cases) {
    CString prefix(c.prefix), objet;
    data.BuildObjectKey(prefix, objet, c.bit, c.ind1, c.ind2, c.ind3);
    EXPECT_STREQ(prefix, c.key) << c.prefix;
    EXPECT_STREQ(objet, c.objet) << c.prefix;
  }
}

TEST_F(ObjectKey, BuildObjectKeyWritesModuleNumbersInBase32) {
  CString prefix("%VIW"), objet;
  data.BuildObjectKey(prefix, objet, 0, 12, -1, -1);
  EXPECT_STREQ(prefix, "VIW  0000C");
  HostSetAddressingMode(1);
  prefix = "%VIW";
  data.BuildObjectKey(prefix, objet, 0, 12, -1, -1);
  EXPECT_STREQ(prefix, "VIW  00012");
}

TEST(TypeToPrefix, PrefixesAndFamilies) {
  auto prefix = [](unsigned short type, int module, int bit) {
    CString out("unchanged");
    CTBData::TypeToPrefix(type, module, bit, out);
    return std::string(out);
  };
  EXPECT_EQ(prefix(342, 0, 0), "%MW");
  EXPECT_EQ(prefix(464, 1, 1), "%M");
  EXPECT_EQ(prefix(603, 0, 0), "%XM");
  EXPECT_EQ(prefix(611, 0, 0), "%XM");
  EXPECT_EQ(prefix(434, 0, 1), "VIWX ");
  EXPECT_EQ(prefix(434, 1, 1), "MOIWX");
  EXPECT_EQ(prefix(534, 1, 1), "MOQWX");
  EXPECT_EQ(prefix(434, 0, 0), "unchanged");
  EXPECT_EQ(prefix(501, 0, 1), "NWX  ");
  EXPECT_EQ(prefix(501, 0, 0), "unchanged");
  EXPECT_EQ(prefix(999, 0, 0), "unchanged");
}

TEST(ModuleAddress, PackAndUnpack) {
  CTBData data;
  auto code = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  unsigned* value) {
    UsAts result{};
    result.kindCode = 343;
    result.components.count = 3;
    result.components.item[0] = a;
    result.components.item[1] = b;
    result.components.item[2] = c;
    result.value.number = d;
    int position = 10;
    const int r = data.CodeChaineAdrModule(&result, value, &position);
    EXPECT_EQ(position, r == 0 ? 12 : 10);
    return r;
  };
  unsigned value = 99;
  EXPECT_EQ(code(1, 0, 5, 0, &value), 0);
  EXPECT_EQ(value, 4058u);
  EXPECT_EQ(code(1023, 3, 255, 1, &value), 0);
  EXPECT_EQ(value, 2099151u);
  EXPECT_EQ(code(0, 0, 0, 0, &value), 0);
  EXPECT_EQ(value, 2000u);
  EXPECT_EQ(code(1024, 0, 0, 0, &value), 1);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(code(0, 4, 0, 0, &value), 1);
  EXPECT_EQ(code(0, 0, 256, 0, &value), 1);
  EXPECT_EQ(code(0, 0, 0, 2, &value), 1);

  CString text;
  EXPECT_EQ(data.DecodeValeurAdrModule(4058, text), 0);
  EXPECT_STREQ(text, "\\1.0.5\\0");
  data.DecodeValeurAdrModule(2000, text);
  EXPECT_STREQ(text, "2000");
  data.DecodeValeurAdrModule(2001, text);
  EXPECT_STREQ(text, "\\0.0.0\\1");
  data.DecodeValeurAdrModule(2099151, text);
  EXPECT_STREQ(text, "\\1023.3.255\\1");
  for (unsigned v = 2001; v <= 2099151; v += 997) {
    data.DecodeValeurAdrModule(v, text);
    unsigned a, b, c, d;
    ASSERT_EQ(std::sscanf(text, "\\%u.%u.%u\\%u", &a, &b, &c, &d), 4);
    unsigned back = 0;
    ASSERT_EQ(code(a, b, c, d, &back), 0);
    EXPECT_EQ(back, v);
  }
}

TEST(ModuleAddress, PlainAndTwoComponentResults) {
  CTBData data;
  UsAts plain{};
  plain.kindCode = 340;
  plain.value.number = 7;
  unsigned value = 0;
  int position = 3;
  EXPECT_EQ(data.CodeChaineAdrModule(&plain, &value, &position), 0);
  EXPECT_EQ(value, 7u);
  UsAts two{};
  two.kindCode = 343;
  two.components.count = 2;
  two.components.item[0] = 12;
  EXPECT_EQ(data.CodeChaineAdrModule(&two, &value, &position), 0);
  EXPECT_EQ(value, 12u);
  EXPECT_EQ(position, 3);
  UsAts none{};
  none.kindCode = 343;
  EXPECT_EQ(data.CodeChaineAdrModule(&none, &value, &position), 0);
  EXPECT_EQ(value, 0u);
}

}  // namespace
