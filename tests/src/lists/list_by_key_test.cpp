// Listings by key: one object kind within an IND1 range, the bits of a word
// or of a three-index object, the positions of a module object and the
// sub-entries of one position.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "src/lists/lists_test.h"

namespace {

using lists_test::Split;
using ::testing::ElementsAre;

struct KeyCase {
  const char* what;
  std::function<int(CTBData*, CObList*)> call;
  std::string expected;  // entries joined by ';', whole when they hold a '|'
};

class KeyListing : public lists_test::ListsTest {
 protected:
  // Runs each case on the base; both tables are back in record order after.
  void RunCases(const std::vector<KeyCase>& cases) {
    for (const KeyCase& c : cases) {
      SCOPED_TRACE(c.what);
      const bool whole = c.expected.find('|') != std::string::npos;
      EXPECT_EQ(Entries(c.call(base, &list), whole), Split(c.expected, ';'));
      EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);
      EXPECT_EQ(xbase::TableSeek(base->m_commentTable, "MW"), xbase::kErrTag);
    }
  }
};

class ListByKey : public KeyListing {
 protected:
  void SetUp() override {
    KeyListing::SetUp();
    for (const char* a :
         {"%MD5", "%MW3", "%MW5", "%MW7", "%MW9", "%MW11", "%MW12346", "%MX6", "%MW6:X1",
          "%IW1.2:X4", "%IW1.2.1:X0", "%IW1.3:X3", "%IW1.2", "%XM1.2.T"}) {
      Create(a);
    }
    Create("%MW5:X10", "B10", "ten");
    Create("%MW5:X3", "B3");
    Create("%IW1.2:X3", "In3");
    Create("%IW1.MOD:X4", "", "status");
    Create("%MW6", "", "gone");
    Delete("%MW6");
  }
};

TEST_F(ListByKey, EachListingTakesItsRowsInKeyOrder) {
  using L = CObList*;
  using B = CTBData*;
  RunCases({
      {"range", [](B b, L l) { return TBListRepere(b, "%MW", 5, 8, 100, l); },
       "%MW5|||5|-1;%MW7|||7|-1"},
      // No row at IND1 4: the seek stops after the key and the walk starts there.
      {"from a gap", [](B b, L l) { return TBListRepere(b, "%MW", 4, 7, 100, l); }, "%MW5;%MW7"},
      {"all", [](B b, L l) { return TBListRepere(b, "%MW", 0, 99999, 100, l); },
       "%MW3;%MW5;%MW7;%MW9;%MW11;%MW12346"},
      // A first index longer than its field names no stored key, though the
      // seek stops on a row of the kind.
      {"first index too long",
       [](B b, L l) { return TBListRepere(b, "%MW", 123456, 999999, 100, l); }, ""},
      {"maximum", [](B b, L l) { return TBListRepere(b, "%MW", 0, 100, 2, l); }, "%MW3;%MW5"},
      {"maximum 0", [](B b, L l) { return TBListRepere(b, "%MW", 0, 100, 0, l); }, ""},
      {"past the end", [](B b, L l) { return TBListRepere(b, "%MW", 12, 100, 100, l); }, ""},
      {"last below first", [](B b, L l) { return TBListRepere(b, "%MW", 3, -1, 100, l); }, ""},
      {"no such kind", [](B b, L l) { return TBListRepere(b, "%KW", 0, 100, 100, l); }, ""},
      {"prefix too long", [](B b, L l) { return TBListRepere(b, "%MWMWMW", 0, 100, 100, l); }, ""},
      {"empty prefix", [](B b, L l) { return TBListRepere(b, "", 0, 100, 100, l); }, ""},
      // A negative first IND1 ("000-5") sorts before every number.
      {"negative first", [](B b, L l) { return TBListRepere(b, "%MW", -5, 4, 100, l); }, "%MW3"},
      {"bits", [](B b, L l) { return TBListRepereSousObjet(b, "%MW", 5, 100, l); },
       "%MW5:X3|B3||5|3;%MW5:X10|B10|ten|5|10"},
      {"bits maximum", [](B b, L l) { return TBListRepereSousObjet(b, "%MW", 5, 1, l); },
       "%MW5:X3"},
      // Without bits the seek stops after the key: nothing is listed.
      {"word without bits", [](B b, L l) { return TBListRepereSousObjet(b, "%MW", 7, 100, l); },
       ""},
      {"no word", [](B b, L l) { return TBListRepereSousObjet(b, "%MW", 4, 100, l); }, ""},
      {"bits index too long",
       [](B b, L l) { return TBListRepereSousObjet(b, "%MW", 123456, 100, l); }, ""},
      // Module objects are named by their object code: %IW1.2:X3 is VIWX;
      // their bits take the number from IND4, the type word stays 0.
      {"module bits",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%VIW", 1, 2, 0, 100, l); },
       "%IW1.2:X3|In3||0|3;%IW1.2:X4|||0|4"},
      {"status bits",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%MOIW", 1, 0, 0, 100, l); },
       "%IW1.MOD:X4||status|0|4"},
      {"no such third index",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%VIW", 1, 2, 5, 100, l); }, ""},
      // Without its third index the key is shorter than the part compared.
      {"no third index",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%VIW", 1, 2, -1, 100, l); }, ""},
      {"three maximum 0",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%VIW", 1, 2, 0, 0, l); }, ""},
      {"not a module code",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%IW", 1, 2, 0, 100, l); }, ""},
      {"negative index",
       [](B b, L l) { return TBListRepereTroisIndicesSousObjet(b, "%X", 1, -7, 2, 100, l); }, ""},
  });
}

TEST_F(ListByKey, CommentsAreReadInStepWithTheRows) {
  const std::string long_comment = std::string(250, 'a') + "    " + "tail   ";
  Create("%MW13", "", "first  ");
  Create("%MW14", "Pump", "");
  Create("%MW15", "", long_comment.c_str());
  Create("%MW16");
  Create("%MW17", "Valve", "last");
  // CMT1 loses its trailing blanks before CMT2 is joined to it.
  EXPECT_THAT(Entries(TBListRepere(base, "%MW", 13, 100, 100, &list)),
              ElementsAre("%MW13||first|13|-1", "%MW14|Pump||14|-1",
                          "%MW15||" + std::string(250, 'a') + "tail|15|-1", "%MW16|||16|-1",
                          "%MW17|Valve|last|17|-1"));
  // Starting after a commented row still pairs each row with its own comment.
  EXPECT_THAT(Entries(TBListRepere(base, "%MW", 16, 100, 100, &list)),
              ElementsAre("%MW16|||16|-1", "%MW17|Valve|last|17|-1"));
}

class ModuleLists : public KeyListing {
 protected:
  // Macro-step 1: the object, IN, OUT, steps 0 and 1 with their fields.
  void SetUp() override {
    KeyListing::SetUp();
    Create("%XM1", "Macro", "the macro-step");
    Create("%X1.IN", "In");
    Create("%X1.OUT", "Out", "leaves");
    Create("%X1.0");
    Create("%X1.1", "Step1");
    Create("%X1.1.T", "", "time");
    for (const char* a : {"%X1.1.ERR", "%X1.IN.TMAX", "%IW1.2.0", "%IW1.2.0:X4", "%IW1.2.1"}) {
      Create(a);
    }
  }
};

TEST_F(ModuleLists, PositionsAndTheirSubEntries) {
  using L = CObList*;
  using B = CTBData*;
  const std::string object = "%XM1|Macro|the macro-step|0|-1;%X1.IN|In||1|-1;%X1.0|||2|-1;";
  const std::string out = "%X1.OUT|Out|leaves|";
  RunCases({
      // Positions: 0 the object, 1 IN, 2 and 3 steps 0 and 1, n - 1 OUT.
      {"all", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 5, 0, 4, 100, l); },
       object + "%X1.1|Step1||3|-1;" + out + "4|-1"},
      {"maximum", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 5, 2, 4, 2, l); },
       "%X1.0;%X1.1"},
      {"gaps passed over",
       [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 9, 3, 8, 100, l); }, "%X1.1;%X1.OUT"},
      // Count 2: position 1 is both IN and n - 1; IN wins. Count 1: the object.
      {"count 2", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 2, 0, 1, 100, l); },
       "%XM1;%X1.IN"},
      {"count 1", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 1, 0, 0, 100, l); },
       "%XM1"},
      {"empty range", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 5, 4, 3, 100, l); },
       ""},
      {"maximum 0", [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 5, 0, 4, 0, l); }, ""},
      {"no such object", [](B b, L l) { return TBListRepereModule(b, "%XM", 2, 5, 0, 4, 100, l); },
       ""},
      // The whole unsigned range ends: past IND2 99999 only OUT can still
      // match; positions 10000 and 10001 number entries 9998 and 9999.
      {"huge range",
       [](B b, L l) { return TBListRepereModule(b, "%XM", 1, 2000000000, 0, 0xFFFFFFFFu, 100, l); },
       object + "%X1.1|Step1||3|-1;%X1.IN|In||10000|-1;" + out + "10001|-1;" + out +
           "1999999999|-1"},
      // Position 3 is step 1: its T (0) and ERR (3); the flag is IND3.
      {"sub-entries", [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, 3, 4, l); },
       "%X1.1.T||time|3|0;%X1.1.ERR|||3|3"},
      {"sub-entries of IN",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, 1, 4, l); },
       "%X1.IN.TMAX|||1|2"},
      {"no sub-entry",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, 3, 0, l); }, ""},
      {"of the object",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, 0, 4, l); }, ""},
      {"negative position",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, -2000000000, 4, l); }, ""},
      // Past IND3 99999 nothing can match: the lookups end there.
      {"huge count",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%XM", 1, 5, 3, 0xFFFFFFFFu, l); },
       "%X1.1.T;%X1.1.ERR"},
      // %IW1.2.0 is VIW 1 2 0; position 4 of 9 gives IND2 2, a blank IND4.
      {"blank bit index",
       [](B b, L l) { return TBListRepereModuleSousObjet(b, "%VIW", 1, 9, 4, 3, l); },
       "%IW1.2.0;%IW1.2.1"},
  });
}

}  // namespace
