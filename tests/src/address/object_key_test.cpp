// Address key fields, base-32 module numbers, packed bus module addresses.

#include <gtest/gtest.h>

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
      {0, "%I1.2", "VIX|00001|00002|00000|"},
      {0, "%IW1.2:X3", "VIWX|00001|00002|00000|03"},
      {0, "%NW{4}2:X1", "NWX|00000|00004|00002|01"},
      {0, "%MW", "MW|00000|||"},
      {0, "%I12.2", "VIX|0000C|00002|00000|"},
      {0, "%I\\1.0.5\\0.2", "VIX|003UQ|00002|00000|"},
      {0, "%IW3.MOD.2:X1", "MOIWX|00003|00002|00000|01"},
      {0, "%I10.2", "VIX|0000A|00002|00000|"},
      {0, "%I32.2", "VIX|00010|00002|00000|"},
      {0, "%I33554431.2", "VIX|VVVVV|00002|00000|"},
      {0, "%I33554432.2", "VIX|00000|00002|00000|"},  // overlong module number
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

// An analysed address of kind 343 with the three components a, b, c and the
// value d is a bus module address \a.b.c\d. The packed value or 1, the
// position moved past the second backslash only when a bus module address was
// packed, and the value back to text.
TEST(ModuleAddress, PackAndUnpack) {
  const struct {
    std::int32_t kind;
    std::uint32_t count, a, b, c, d;
    int result;
    unsigned value;
    int advance;
    const char* text;
  } cases[] = {
      {343, 3, 1, 0, 5, 0, 0, 4058, 2, "\\1.0.5\\0"},
      {343, 3, 0, 0, 0, 0, 0, 2000, 2, "2000"},
      {343, 3, 0, 0, 0, 1, 0, 2001, 2, "\\0.0.0\\1"},
      {343, 3, 1023, 3, 255, 1, 0, 2099151, 2, "\\1023.3.255\\1"},
      {343, 3, 1024, 0, 0, 0, 1, 0, 0, "0"},
      {343, 3, 0, 4, 0, 0, 1, 0, 0, "0"},
      {343, 3, 0, 0, 256, 0, 1, 0, 0, "0"},
      {343, 3, 0, 0, 0, 2, 1, 0, 0, "0"},
      {340, 0, 0, 0, 0, 7, 0, 7, 0, "7"},     // a plain value
      {343, 2, 12, 0, 0, 0, 0, 12, 0, "12"},  // a module position
      {343, 0, 0, 0, 0, 0, 0, 0, 0, "0"},
  };
  for (const auto& c : cases) {
    UsAts analysed{};
    analysed.kindCode = c.kind;
    analysed.components.count = c.count;
    analysed.components.item[0] = c.a;
    analysed.components.item[1] = c.b;
    analysed.components.item[2] = c.c;
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
