// Listings by key: one object kind within an IND1 range, the bits of a word
// or of a three-index object, the positions of a module object and the
// sub-entries of one position.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"

namespace {

enum Listing { kRange, kBits, kThreeIndexBits, kModule, kModuleSub };

struct KeyCase {
  const char* what;
  Listing listing;
  const char* prefix;
  std::vector<long long> args;  // the listing's numbers after the prefix
  std::string expected;         // entries joined by ';', whole when they hold a '|'
};

class KeyListing : public lists_test::ListsTest {
 protected:
  int Call(const KeyCase& c) {
    const std::vector<long long>& a = c.args;
    switch (c.listing) {
      case kRange:
        return TBListRepere(base, c.prefix, a[0], a[1], a[2], &list);
      case kBits:
        return TBListRepereSousObjet(base, c.prefix, a[0], a[1], &list);
      case kThreeIndexBits:
        return TBListRepereTroisIndicesSousObjet(base, c.prefix, a[0], a[1], a[2], a[3], &list);
      case kModule:
        return TBListRepereModule(base, c.prefix, a[0], a[1], a[2], a[3], a[4], &list);
      default:
        return TBListRepereModuleSousObjet(base, c.prefix, a[0], a[1], a[2], a[3], &list);
    }
  }
  // Runs each case on the base.
  void RunCases(const std::vector<KeyCase>& cases) {
    for (const KeyCase& c : cases) {
      SCOPED_TRACE(c.what);
      std::vector<std::string> expected;
      std::stringstream stream(c.expected);
      for (std::string entry; std::getline(stream, entry, ';');) expected.push_back(entry);
      EXPECT_EQ(Entries(Call(c), c.expected.find('|') != std::string::npos), expected);
    }
  }
};

// A comment is taken in step with its row, also when the walk starts after
// a commented row. Module objects are named by their object code: %IW1.2:X3
// is VIWX; their bits take the number from IND4, the type word stays 0.
TEST_F(KeyListing, RangesAndBitsInKeyOrder) {
  for (const char* a : {"%MD5", "%MW3", "%MW5", "%MW7", "%MW9", "%MW11", "%MW12346", "%MX6",
                        "%MW6:X1", "%IW1.2:X4", "%IW1.2.1:X0", "%IW1.3:X3", "%IW1.2", "%XM1.2.T"}) {
    Create(a);
  }
  Create("%MW5:X10", "B10", "ten");
  Create("%MW5:X3", "B3");
  Create("%IW1.2:X3", "In3");
  Create("%IW1.MOD:X4", "", "status");
  Create("%MW6", "", "gone");
  Delete("%MW6");
  Create("%MW13", "", "first");
  Create("%MW14", "Pump");
  Create("%MW15", "", "middle");
  Create("%MW16");
  Create("%MW17", "Valve", "last");
  RunCases({
      {"range", kRange, "%MW", {5, 8, 100}, "%MW5|||5|-1;%MW7|||7|-1"},
      // No row at IND1 4: the seek stops after the key and the walk starts there.
      {"from a gap", kRange, "%MW", {4, 7, 100}, "%MW5;%MW7"},
      {"all",
       kRange,
       "%MW",
       {0, 99999, 100},
       "%MW3;%MW5;%MW7;%MW9;%MW11;%MW13;%MW14;%MW15;%MW16;%MW17;%MW12346"},
      {"comments in step",
       kRange,
       "%MW",
       {13, 17, 100},
       "%MW13||first|13|-1;%MW14|Pump||14|-1;%MW15||middle|15|-1;%MW16|||16|-1;"
       "%MW17|Valve|last|17|-1"},
      {"after a commented row",
       kRange,
       "%MW",
       {16, 100, 100},
       "%MW16|||16|-1;%MW17|Valve|last|17|-1"},
      // A first index longer than its field names no stored key, though the
      // seek stops on a row of the kind.
      {"first index too long", kRange, "%MW", {123456, 999999, 100}, ""},
      {"maximum", kRange, "%MW", {0, 100, 2}, "%MW3;%MW5"},
      {"last below first", kRange, "%MW", {3, -1, 100}, ""},
      {"prefix too long", kRange, "%MWMWMW", {0, 100, 100}, ""},
      // A negative first IND1 ("000-5") sorts before every number.
      {"negative first", kRange, "%MW", {-5, 4, 100}, "%MW3"},
      {"bits", kBits, "%MW", {5, 100}, "%MW5:X3|B3||5|3;%MW5:X10|B10|ten|5|10"},
      {"bits maximum", kBits, "%MW", {5, 1}, "%MW5:X3"},
      // Without bits the seek stops after the key: nothing is listed.
      {"word without bits", kBits, "%MW", {7, 100}, ""},
      {"bits index too long", kBits, "%MW", {123456, 100}, ""},
      {"module bits",
       kThreeIndexBits,
       "%VIW",
       {1, 2, 0, 100},
       "%IW1.2:X3|In3||0|3;%IW1.2:X4|||0|4"},
      {"status bits", kThreeIndexBits, "%MOIW", {1, 0, 0, 100}, "%IW1.MOD:X4||status|0|4"},
      {"no such third index", kThreeIndexBits, "%VIW", {1, 2, 5, 100}, ""},
      // Without its third index the key is shorter than the part compared.
      {"no third index", kThreeIndexBits, "%VIW", {1, 2, -1, 100}, ""},
      {"not a module code", kThreeIndexBits, "%IW", {1, 2, 0, 100}, ""},
      {"negative index", kThreeIndexBits, "%X", {1, -7, 2, 100}, ""},
  });
}

// Positions: 0 the object, 1 IN, 2 and 3 steps 0 and 1, n - 1 OUT. With
// two positions, position 1 is both IN and n - 1: IN wins. Past IND2 99999
// only OUT can still match; positions 10000 and 10001 number entries 9998
// and 9999. The sub-entries of a position: the flag is IND3; past IND3
// 99999 nothing can match.
TEST_F(KeyListing, ModulePositionsAndTheirSubEntries) {
  Create("%XM1", "Macro", "the macro-step");
  Create("%X1.IN", "In");
  Create("%X1.OUT", "Out", "leaves");
  Create("%X1.0");
  Create("%X1.1", "Step1");
  Create("%X1.1.T", "", "time");
  for (const char* a : {"%X1.1.ERR", "%X1.IN.TMAX", "%IW1.2.0", "%IW1.2.0:X4", "%IW1.2.1"}) {
    Create(a);
  }
  const std::string object = "%XM1|Macro|the macro-step|0|-1;%X1.IN|In||1|-1;%X1.0|||2|-1;";
  const std::string out = "%X1.OUT|Out|leaves|";
  RunCases({
      {"all", kModule, "%XM", {1, 5, 0, 4, 100}, object + "%X1.1|Step1||3|-1;" + out + "4|-1"},
      {"maximum", kModule, "%XM", {1, 5, 2, 4, 2}, "%X1.0;%X1.1"},
      {"gaps passed over", kModule, "%XM", {1, 9, 3, 8, 100}, "%X1.1;%X1.OUT"},
      {"count 2", kModule, "%XM", {1, 2, 0, 1, 100}, "%XM1;%X1.IN"},
      {"count 1", kModule, "%XM", {1, 1, 0, 0, 100}, "%XM1"},
      {"huge range",
       kModule,
       "%XM",
       {1, 2000000000, 0, 0xFFFFFFFFu, 100},
       object + "%X1.1|Step1||3|-1;%X1.IN|In||10000|-1;" + out + "10001|-1;" + out +
           "1999999999|-1"},
      {"sub-entries", kModuleSub, "%XM", {1, 5, 3, 4}, "%X1.1.T||time|3|0;%X1.1.ERR|||3|3"},
      {"sub-entries of IN", kModuleSub, "%XM", {1, 5, 1, 4}, "%X1.IN.TMAX|||1|2"},
      {"of the object", kModuleSub, "%XM", {1, 5, 0, 4}, ""},
      {"negative position", kModuleSub, "%XM", {1, 5, -2000000000, 4}, ""},
      {"huge count", kModuleSub, "%XM", {1, 5, 3, 0xFFFFFFFFu}, "%X1.1.T;%X1.1.ERR"},
      // %IW1.2.0 is VIW 1 2 0; position 4 of 9 gives IND2 2, a blank IND4.
      {"blank bit index", kModuleSub, "%VIW", {1, 9, 4, 3}, "%IW1.2.0;%IW1.2.1"},
  });
}

}  // namespace
