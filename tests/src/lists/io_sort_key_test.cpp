// Sort keys of I/O list elements, worked out by hand from the key rules.

#include <gtest/gtest.h>

#include <ostream>

#include "lists/io_sort_key.h"
#include "support/host_reports.h"

namespace {

using symbase::DecodedRepere;
using symbase::IndexNumber;
using symbase::IoSortKey;

struct KeyCase {
  const char* element;
  DWORD key;
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << '"' << c.element << '"'; }

class IoSortKeys : public testing_support::HostTest,
                   public ::testing::WithParamInterface<KeyCase> {};

TEST_P(IoSortKeys, FollowTheKeyRules) {
  DecodedRepere work;
  EXPECT_EQ(IoSortKey(GetParam().element, work), GetParam().key);
  EXPECT_TRUE(HostErrorReports().empty());
}

INSTANTIATE_TEST_SUITE_P(ModuleElements, IoSortKeys,
                         ::testing::Values(KeyCase{"%CH1.MOD", 1}, KeyCase{"%CH1.MOD.2", 1},
                                           KeyCase{"%I1.MOD.ERR", 2},
                                           // IND2 "0" and IND3 "0" give 0, which becomes 3.
                                           KeyCase{"%MW1.MOD", 3}, KeyCase{"%MW1.MOD:X5", 3},
                                           // IND2 x 100 + IND3 x 10; IND4 takes no part.
                                           KeyCase{"%MW1.MOD.2", 200},
                                           KeyCase{"%MW1.MOD.2:X5", 200},
                                           // Neither index decoded: 100 + 10.
                                           KeyCase{"%MWMOD", 110},
                                           // "MOD" on another word size is an ordinary %MD element.
                                           KeyCase{"%MD1.MOD", 13000},
                                           // "%CH" without "MOD" is an ordinary channel element.
                                           KeyCase{"%CH1.2", 2001000}));

INSTANTIATE_TEST_SUITE_P(ClassOffsets, IoSortKeys,
                         ::testing::Values(KeyCase{"%I1.2.ERR", 2002000}, KeyCase{"%I1.2", 2003000},
                                           KeyCase{"%IB1.2", 2003000}, KeyCase{"%IW1.2", 2004000},
                                           KeyCase{"%ID1.2", 2005000}, KeyCase{"%IF1.2", 2006000},
                                           KeyCase{"%Q1.2", 2007000}, KeyCase{"%QW1.2", 2008000},
                                           KeyCase{"%QD1.2", 2009000}, KeyCase{"%QF1.2", 2010000},
                                           KeyCase{"%MB1.2", 2011000}, KeyCase{"%MW1.2", 2012000},
                                           KeyCase{"%MD1.2", 2013000}, KeyCase{"%MF1.2", 2014000},
                                           KeyCase{"%M1.2", 2000000}, KeyCase{"%KB1.2", 2015000},
                                           KeyCase{"%KW1.2", 2016000}, KeyCase{"%KD1.2", 2017000},
                                           KeyCase{"%KF1.2", 2018000}, KeyCase{"%K1.2", 2000000}));

INSTANTIATE_TEST_SUITE_P(
    IndexParts, IoSortKeys,
    ::testing::Values(KeyCase{"%IW1.2.3", 2004030}, KeyCase{"%IW3.1:X4", 1004004},
                      // No IND2 and no IND3: 0 + offset + 10.
                      KeyCase{"%MW10", 12010}, KeyCase{"%IW", 4010},
                      // The bit number lands in IND2; IND3 stays empty.
                      KeyCase{"%MW10:X5", 5012010},
                      // Leading blanks of an index are skipped.
                      KeyCase{"%I1. 7", 7003000},
                      // Other letters: 99,999,999 + IND3 part + IND4 part.
                      KeyCase{"%S5", 100000009}, KeyCase{"%X4.TMAX", 100000009},
                      KeyCase{"%", 100000009}, KeyCase{"", 100000009},
                      // 4294 x 1,000,000 still fits; 4295 x 1,000,000 wraps.
                      KeyCase{"%IW1.4294", 4294004000u}, KeyCase{"%IW1.4295", 36704}));

TEST(IoIndexNumber, ReadsLeadingDigitsAndWraps) {
  EXPECT_EQ(IndexNumber(""), 0u);
  EXPECT_EQ(IndexNumber("  42x7"), 42u);
  EXPECT_EQ(IndexNumber("-5"), 0u);  // a sign is not a digit
  EXPECT_EQ(IndexNumber("ERR"), 0u);
  EXPECT_EQ(IndexNumber("4294967295"), 4294967295u);
  EXPECT_EQ(IndexNumber("4294967296"), 0u);
  EXPECT_EQ(IndexNumber("99999999999"), 1215752191u);  // modulo 2^32
}

TEST(IoSortKey, DecoderOutputsStartEmptyForEachElement) {
  DecodedRepere work;
  // %IW3.1:X4 leaves IND4 "4"; %MW10 has none and must not inherit it.
  EXPECT_EQ(IoSortKey("%IW3.1:X4", work), 1004004u);
  EXPECT_EQ(IoSortKey("%MW10", work), 12010u);
  EXPECT_STREQ(work.objet, "MW");
  EXPECT_STREQ(work.ind1, "10");
  EXPECT_TRUE(work.ind4.IsEmpty());
}

}  // namespace
