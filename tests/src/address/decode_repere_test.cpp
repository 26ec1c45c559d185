// Splitting address texts: the worked results and the quirks callers rely on.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "storage/tb_data.h"
#include "symbase/host.h"

namespace {

struct Split {
  std::string objet, ind1, ind2, ind3, ind4;
};

// Decodes with ind2..ind4 starting as "-" so that untouched parts show.
Split Decode(const char* address) {
  CTBData data;
  CString objet, ind1, ind2("-"), ind3("-"), ind4("-");
  data.DecodeRepere(address, objet, ind1, ind2, ind3, ind4);
  return {std::string(objet), std::string(ind1), std::string(ind2), std::string(ind3),
          std::string(ind4)};
}

struct Case {
  const char* address;
  Split expected;
};

// Names each case by its address: the default would print the case's bytes,
// pointers included, and the test names would change from run to run.
void PrintTo(const Case& c, std::ostream* out) { *out << '"' << c.address << '"'; }

class DecodeRepere : public ::testing::TestWithParam<Case> {};

TEST_P(DecodeRepere, SplitsAsTheListingsExpect) {
  const Case& c = GetParam();
  const Split got = Decode(c.address);
  EXPECT_EQ(got.objet, c.expected.objet) << c.address;
  EXPECT_EQ(got.ind1, c.expected.ind1) << c.address;
  EXPECT_EQ(got.ind2, c.expected.ind2) << c.address;
  EXPECT_EQ(got.ind3, c.expected.ind3) << c.address;
  EXPECT_EQ(got.ind4, c.expected.ind4) << c.address;
}

INSTANTIATE_TEST_SUITE_P(WorkedResults, DecodeRepere,
                         ::testing::Values(Case{"%MW10", {"MW", "10", "-", "-", "-"}},
                                           Case{"%MW10:X5", {"MWX", "10", "5", "-", "-"}},
                                           Case{"%M7", {"MX", "7", "-", "-", "-"}},
                                           Case{"%I1.2", {"VIX", "1", "2", "0", "-"}},
                                           Case{"%IW3.1.2", {"VIW", "3", "1", "2", "-"}},
                                           Case{"%IW3.1:X4", {"VIWX", "3", "1", "0", "4"}},
                                           Case{"%IW3.MOD.2:X1", {"MOIWX", "3", "2", "0", "1"}},
                                           Case{"%X4", {"X", "4", "-", "-", "-"}},
                                           Case{"%X4.TMAX", {"XX", "4", "2", "-", "-"}},
                                           Case{"%X1.IN", {"XM", "1", "9998", "-", "-"}},
                                           Case{"%X1.OUT", {"XM", "1", "9999", "-", "-"}},
                                           Case{"%X1.3.ERR", {"XM", "1", "3", "3", "-"}},
                                           Case{"%T2.D", {"TIX", "2", "2", "-", "-"}},
                                           Case{"%C5.F", {"CX", "5", "4", "-", "-"}},
                                           Case{"%DR1.6", {"DRX", "1", "9", "-", "-"}},
                                           Case{"%NW{2}5", {"NW", "0", "2", "5", "-"}},
                                           Case{"%NW{1.2}5:X3", {"NWX", "1", "2", "5", "3"}},
                                           Case{"%NW{4}2:X1", {"NWX", "0", "4", "2", "1"}}));

INSTANTIATE_TEST_SUITE_P(
    Quirks, DecodeRepere,
    ::testing::Values(
        Case{"%DR1.", {"DRX", "1", "3", "-", "-"}}, Case{"%DR2.5", {"DRX", "2", "8", "-", "-"}},
        Case{"%X2.5", {"XM", "2", "5", "-", "-"}}, Case{"%X2.T", {"XX", "2", "0", "-", "-"}},
        Case{"%X3.BAD", {"XX", "3", "-", "-", "-"}}, Case{"%XM3", {"XM", "3", "-", "-", "-"}},
        Case{"%XM3.T", {"XM", "3", "T", "-", "-"}}, Case{"%I1.W2", {"VIX", "1", "2", "0", "-"}},
        Case{"%IW1.2.3.4", {"VIW", "1", "2", "34", "-"}},
        Case{"%TM1.Q", {"TMX", "1", "2", "-", "-"}}, Case{"%TM1.QX", {"TMX", "1", "2", "-", "-"}},
        Case{"%T1.Z", {"TIX", "1", "-", "-", "-"}}, Case{"%R3.E", {"RX", "3", "3", "-", "-"}},
        Case{"%MN2.R", {"MNX", "2", "2", "-", "-"}}, Case{"%S4", {"SX", "4", "-", "-", "-"}},
        Case{"%Q2.MOD", {"MOQX", "2", "0", "0", "-"}}));

INSTANTIATE_TEST_SUITE_P(HostileTexts, DecodeRepere,
                         ::testing::Values(Case{"", {"", "", "-", "-", "-"}},
                                           Case{"%", {"", "", "-", "-", "-"}},
                                           Case{"%MW", {"MW", "", "-", "-", "-"}},
                                           Case{"%MW10:", {"MWX", "10", "", "-", "-"}},
                                           Case{"%IW3.", {"VIW", "3", "", "0", "-"}},
                                           Case{"%NW{", {"NW", "", "-", "-", "-"}}));

TEST(DecodeRepereAppends, ObjetAndInd1AreAppendedTo) {
  CTBData data;
  CString objet("A"), ind1("9"), ind2, ind3, ind4;
  data.DecodeRepere("%MW10", objet, ind1, ind2, ind3, ind4);
  EXPECT_STREQ(objet, "AMW");
  EXPECT_STREQ(ind1, "910");
}

TEST(DecodeRepereBus, BusModuleAddressGivesThePackedValue) {
  const Split got = Decode("%I\\1.0.5\\0.2");
  EXPECT_EQ(got.objet, "VIX");
  EXPECT_EQ(got.ind1, "4058");
  EXPECT_EQ(got.ind2, "2");
  EXPECT_EQ(got.ind3, "0");
}

TEST(DecodeRepereBus, OutOfRangeBusAddressGivesZero) {
  const Split got = Decode("%I\\1024.0.0\\0.2");
  EXPECT_EQ(got.objet, "VIX");
  EXPECT_EQ(got.ind1, "0");
}

}  // namespace
