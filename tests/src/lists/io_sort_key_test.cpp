// Sort keys of I/O list elements, worked out by hand from the key rules.

#include <gtest/gtest.h>

#include <string>

#include "lists/io_sort_key.h"

namespace {

// Each case "text=expected number", split at its last '='.
void CheckCases(std::initializer_list<std::string> cases, DWORD (*function)(const CString&)) {
  for (const std::string& c : cases) {
    const std::size_t at = c.rfind('=');
    EXPECT_EQ(function(c.substr(0, at).c_str()), std::stoul(c.substr(at + 1))) << c;
  }
}

// The decoder's outputs start empty for each element: one work area serves
// every case, so %MW10 must not inherit the IND4 of %IW3.1:X4 before it.
symbase::DecodedRepere work;
DWORD Key(const CString& element) { return symbase::IoSortKey(element, work); }

// In order: the module's own elements (IND2 "0" and IND3 "0" give 0, which
// becomes 3; otherwise IND2 x 100 + IND3 x 10, IND4 taking no part); "MOD"
// on another word size, or "%CH" without it, as ordinary elements; the class
// offsets by letter and size; IND3 x 10 (absent: 10) and IND4; the bit
// number in IND2; leading blanks of an index skipped; other letters at
// 99,999,999 + IND3 part + IND4 part; 4294 x 1,000,000 still fits, 4295
// x 1,000,000 wraps.
TEST(IoSortKey, FollowsTheKeyRules) {
  CheckCases({"%CH1.MOD=1",       "%CH1.MOD.2=1",      "%I1.MOD.ERR=2",        "%MW1.MOD=3",
              "%MW1.MOD:X5=3",    "%MW1.MOD.2=200",    "%MW1.MOD.2:X5=200",    "%MWMOD=110",
              "%MD1.MOD=13000",   "%CH1.2=2001000",    "%C1.MOD=1010",         "%I1.2.ERR=2002000",
              "%I1.2=2003000",    "%IB1.2=2003000",    "%IW1.2=2004000",       "%ID1.2=2005000",
              "%IF1.2=2006000",   "%Q1.2=2007000",     "%QB1.2=2007000",       "%QW1.2=2008000",
              "%QD1.2=2009000",   "%QF1.2=2010000",    "%MB1.2=2011000",       "%MW1.2=2012000",
              "%MD1.2=2013000",   "%MF1.2=2014000",    "%M1.2=2000000",        "%KB1.2=2015000",
              "%KW1.2=2016000",   "%KD1.2=2017000",    "%KF1.2=2018000",       "%K1.2=2000000",
              "%IW1.2.3=2004030", "%IW3.1:X4=1004004", "%MW10=12010",          "%IW=4010",
              "%MW10:X5=5012010", "%I1. 7=7003000",    "%S5=100000009",        "%X4.TMAX=100000009",
              "%=100000009",      "=100000009",        "%IW1.4294=4294004000", "%IW1.4295=36704"},
             Key);
}

// Leading blanks (space, \t to \r) skipped, digits read up to the first
// other character, a sign not a digit, modulo 2^32.
TEST(IoSortKey, IndexNumbersReadLeadingDigitsAndWrap) {
  CheckCases({"=0", "  42x7=42", "\t\r 9019=9019", "\b5=0", "\0165=0", "-5=0", "ERR=0",
              "4294967295=4294967295", "4294967296=0", "99999999999=1215752191"},
             symbase::IndexNumber);
}

}  // namespace
