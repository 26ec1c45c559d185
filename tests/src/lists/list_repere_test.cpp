// Listings by key: one object kind within an IND1 range, the bits of a word
// or of a three-index object, and a whole object kind in batches of 50.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/lists/entry_list.h"
#include "support/symbol_base.h"
#include "symbase/host.h"

namespace {

using lists_test::EntryList;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ListByKey : public testing_support::SymbolBaseTest {
 protected:
  // Both tables are back in record-number order: a seek finds no tag.
  void ExpectRecordOrder() {
    EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);
    EXPECT_EQ(xbase::TableSeek(base->m_commentTable, "MW"), xbase::kErrTag);
  }

  void CreateWords() {
    for (const char* address : {"%MW3", "%MW5", "%MW7", "%MW9", "%MW11"}) Create(address);
  }
};

TEST_F(ListByKey, RangeOfOneObjectKind) {
  Create("%MD5");
  Create("%MW5:X3");
  CreateWords();
  Create("%MX6");
  EntryList list;
  EXPECT_EQ(TBListRepere(base, "%MW", 5, 8, 100, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW5|||5|-1", "%MW7|||7|-1"));
  ExpectRecordOrder();

  // No row at IND1 4: the seek stops after the key and the walk starts there.
  list.Clear();
  EXPECT_EQ(TBListRepere(base, "%MW", 4, 8, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW5", "%MW7"));

  list.Clear();
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 99999, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW3", "%MW5", "%MW7", "%MW9", "%MW11"));
}

TEST_F(ListByKey, MaximumAndEnds) {
  CreateWords();
  EntryList list;
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 100, 0, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 100, 2, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW3", "%MW5"));
  list.Clear();
  // Past the last key (102) and a last IND1 below the first: nothing.
  EXPECT_EQ(TBListRepere(base, "%MW", 12, 100, 100, list.get()), 0);
  EXPECT_EQ(TBListRepere(base, "%MW", 3, -1, 100, list.get()), 0);
  EXPECT_EQ(TBListRepere(base, "%KW", 0, 100, 100, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
  ExpectRecordOrder();
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(ListByKey, CommentsAreReadInStepWithTheRows) {
  const std::string long_comment = std::string(250, 'a') + "    " + "tail   ";
  Create("%MW3", "", "first  ");
  Create("%MW5", "Pump", "");
  Create("%MW7", "", long_comment.c_str());
  Create("%MW8");
  Create("%MW9", "Valve", "last");
  EntryList list;
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 100, 100, list.get()), 0);
  // CMT1 loses its trailing blanks before CMT2 is joined to it.
  EXPECT_THAT(list.Full(), ElementsAre("%MW3||first|3|-1", "%MW5|Pump||5|-1",
                                       "%MW7||" + std::string(250, 'a') + "tail|7|-1",
                                       "%MW8|||8|-1", "%MW9|Valve|last|9|-1"));
  // Starting after a commented row still pairs each row with its own comment.
  list.Clear();
  EXPECT_EQ(TBListRepere(base, "%MW", 8, 100, 100, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW8|||8|-1", "%MW9|Valve|last|9|-1"));
}

TEST_F(ListByKey, DeletedRowsAreNotListed) {
  CreateWords();
  Create("%MW6", "", "gone");
  Create("%MW7:X1");
  CTBObjetAts gone("%MW6", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  CTBObjetAts word("%MW7", "", "", 0, -1);
  ASSERT_EQ(TBModifyObject(base, &word, 1), 0);
  EntryList list;
  EXPECT_EQ(TBListRepere(base, "%MW", 5, 7, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW5", "%MW7"));
}

TEST_F(ListByKey, BitsOfOneWord) {
  Create("%MW5:X10", "B10", "ten");
  Create("%MW5:X3", "B3");
  Create("%MW6:X1");
  Create("%MW5");
  Create("%MW7");
  EntryList list;
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 5, 100, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW5:X3|B3||5|3", "%MW5:X10|B10|ten|5|10"));
  ExpectRecordOrder();

  list.Clear();
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 5, 1, list.get()), 0);
  EXPECT_EQ(list.size(), 1);
  // A word without bits: the seek stops after the key, nothing is listed.
  list.Clear();
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 7, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 4, 100, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
}

TEST_F(ListByKey, BitsOfThreeIndexObjects) {
  Create("%IW1.2:X3", "In3");
  Create("%IW1.2:X4");
  Create("%IW1.2.1:X0");
  Create("%IW1.3:X3");
  Create("%IW1.MOD:X4", "", "status");
  Create("%IW1.2");
  EntryList list;
  // Module objects are named by their object code: %IW1.2:X3 is VIWX.
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%VIW", 1, 2, 0, 100, list.get()), 0);
  // Module bits take their number from IND4; the type word stays 0.
  EXPECT_THAT(list.Full(), ElementsAre("%IW1.2:X3|In3||0|3", "%IW1.2:X4|||0|4"));
  list.Clear();
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%MOIW", 1, 0, 0, 100, list.get()), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%IW1.MOD:X4||status|0|4"));
  list.Clear();
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%VIW", 1, 2, 5, 100, list.get()), 0);
  // Without its third index the key is shorter than the part compared.
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%VIW", 1, 2, -1, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%VIW", 1, 2, 0, 0, list.get()), 0);
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%IW", 1, 2, 0, 100, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
  ExpectRecordOrder();
}

TEST_F(ListByKey, OddPrefixesAndNumbersListNothing) {
  CreateWords();
  Create("%XM1.2.T");
  EntryList list;
  EXPECT_EQ(TBListRepere(base, "%MWMWMW", 0, 100, 100, list.get()), 0);
  EXPECT_EQ(TBListRepere(base, "", 0, 100, 100, list.get()), 0);
  EXPECT_EQ(list.size(), 0);
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 123456, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), IsEmpty());
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%X", 1, -7, 2, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), IsEmpty());
  // A negative first IND1 ("000-5") sorts before every number.
  EXPECT_EQ(TBListRepere(base, "%MW", -5, 4, 100, list.get()), 0);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW3"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

class ListByTypeObject : public ListByKey {
 protected:
  // Calls until finished; fails when a call does not finish within `calls`.
  std::vector<std::string> ListAll(const char* prefix, int subObject, int start, int calls,
                                   std::vector<int>* resumes = nullptr) {
    std::vector<std::string> all;
    int ind1 = start;
    for (int call = 0; call < calls; ++call) {
      EntryList list;
      int finished = -1;
      EXPECT_EQ(TBListRepereByTypeObject(base, prefix, subObject, &ind1, list.get(), &finished), 0);
      for (const std::string& a : list.Addresses()) all.push_back(a);
      if (finished == 1) return all;
      EXPECT_EQ(finished, 0);
      if (resumes != nullptr) resumes->push_back(ind1);
    }
    ADD_FAILURE() << "not finished after " << calls << " calls";
    return all;
  }
};

TEST_F(ListByTypeObject, FiftyRowsFinishInOneCall) {
  for (int i = 0; i < 50; ++i) Create(("%MW" + std::to_string(i)).c_str());
  Create("%MX1");
  EntryList list;
  int ind1 = 0;
  int finished = -1;
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 0, &ind1, list.get(), &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(list.size(), 50);
  EXPECT_EQ(ind1, 0);
  ExpectRecordOrder();
}

TEST_F(ListByTypeObject, FiftyOneRowsResumeAtTheLast) {
  for (int i = 0; i < 51; ++i) Create(("%MW" + std::to_string(i * 2)).c_str());
  EntryList list;
  int ind1 = 0;
  int finished = -1;
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 0, &ind1, list.get(), &finished), 0);
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(list.size(), 50);
  EXPECT_EQ(ind1, 100);
  EXPECT_EQ(list.Full().back(), "%MW98|||98|-1");
  list.Clear();
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 0, &ind1, list.get(), &finished), 0);
  EXPECT_EQ(finished, 1);
  EXPECT_THAT(list.Addresses(), ElementsAre("%MW100"));
}

TEST_F(ListByTypeObject, BitsOfACutWordComeTwice) {
  for (int word = 1; word <= 3; ++word) {
    for (int bit = 0; bit < 16; ++bit) {
      Create(("%MW" + std::to_string(word) + ":X" + std::to_string(bit)).c_str());
    }
  }
  for (int bit = 0; bit < 4; ++bit) Create(("%MW4:X" + std::to_string(bit)).c_str());
  Create("%MW4", "", "the word itself");
  std::vector<int> resumes;
  const std::vector<std::string> all = ListAll("%MW", 1, 0, 3, &resumes);
  EXPECT_THAT(resumes, ElementsAre(4));
  ASSERT_EQ(all.size(), 54u);
  EXPECT_EQ(all[49], "%MW4:X1");
  EXPECT_EQ(all[50], "%MW4:X0");  // the next call starts again at IND1 4
  EXPECT_EQ(all[53], "%MW4:X3");
}

TEST_F(ListByTypeObject, ABatchThatStartsOnAnIndexTakesAllOfIt) {
  for (int bit = 0; bit < 60; ++bit) Create(("%MW1:X" + std::to_string(bit)).c_str());
  Create("%MW2:X0");
  // From IND1 1 the batch would otherwise resume at 1 for ever.
  std::vector<std::string> all = ListAll("%MW", 1, 1, 2);
  EXPECT_EQ(all.size(), 61u);
  all = ListAll("%MW", 1, 0, 3);
  EXPECT_EQ(all.size(), 111u);  // 50, then the 60 bits of %MW1 again and %MW2:X0
}

class ModuleBatches : public ListByTypeObject {
 protected:
  void CreateTwoModules() {
    for (int module = 10; module <= 11; ++module) {
      for (int channel = 0; channel < 30; ++channel) {
        Create(("%I" + std::to_string(module) + "." + std::to_string(channel)).c_str());
      }
    }
  }
  void TearDown() override {
    HostSetAddressingMode(0);
    ListByTypeObject::TearDown();
  }
};

TEST_F(ModuleBatches, ResumeInBase32) {
  CreateTwoModules();  // %I10.0 is stored as VIX, IND1 "0000A"
  std::vector<int> resumes;
  const std::vector<std::string> all = ListAll("%VI", 1, 0, 3, &resumes);
  EXPECT_THAT(resumes, ElementsAre(11));  // "0000B"
  EXPECT_EQ(all.size(), 80u);
  EXPECT_EQ(all.back(), "%I11.29");
}

TEST_F(ModuleBatches, ResumeInDecimal) {
  HostSetAddressingMode(1);
  CreateTwoModules();
  std::vector<int> resumes;
  EXPECT_EQ(ListAll("%VI", 1, 0, 3, &resumes).size(), 80u);
  EXPECT_THAT(resumes, ElementsAre(11));
}

TEST_F(ModuleBatches, AnIndexThatDoesNotReadBackEndsInOneBatch) {
  CreateTwoModules();
  // Read in decimal, "0000B" would send the next call back to the start.
  HostSetAddressingMode(1);
  EXPECT_EQ(ListAll("%VI", 1, 0, 1).size(), 60u);
}

TEST_F(ListByTypeObject, TypeWordsAndBitNumbers) {
  Create("%MW2:X3", "", "c");
  Create("%MW2:X4");
  Create("%MW2");
  EntryList list;
  int ind1 = 0;
  int finished = 0;
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 1, &ind1, list.get(), &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW2:X3||c|2|3", "%MW2:X4|||2|4"));
  list.Clear();
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 0, &ind1, list.get(), &finished), 0);
  EXPECT_THAT(list.Full(), ElementsAre("%MW2|||2|-1"));
  EXPECT_EQ(finished, 1);
}

TEST_F(ListByKey, LockedBaseListsNothingAndWritesNothing) {
  CreateWords();
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EntryList list;
  int ind1 = 3;
  int finished = 7;
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 100, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereSousObjet(base, "%MW", 5, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereTroisIndicesSousObjet(base, "%IW", 1, 2, 0, 100, list.get()), 0);
  EXPECT_EQ(TBListRepereByTypeObject(base, "%MW", 0, &ind1, list.get(), &finished), 0);
  EXPECT_EQ(ind1, 3);
  EXPECT_EQ(finished, 7);
  EXPECT_EQ(list.size(), 0);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(TBListRepere(base, "%MW", 0, 100, 100, list.get()), 0);
  EXPECT_EQ(list.size(), 5);
}

}  // namespace
