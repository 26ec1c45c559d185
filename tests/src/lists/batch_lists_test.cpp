// The listings in batches of 50 (whole base in record order, export, symbol
// order, one object kind by key) and the count of live rows.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "src/lists/lists_test.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BatchLists : public lists_test::ListsTest {
 protected:
  // A fresh run of one batch listing of the %MW words (or of every row),
  // its position held here.
  std::function<int(int*)> Listing(const std::string& kind) {
    counter_ = record_ = 1;
    ind1_ = 0;
    if (kind == "all base") {
      return [this](int* f) { return TBListRepereAllBaseSymbol(base, &record_, &list, f); };
    }
    if (kind == "export") return [this](int* f) { return Export("", f); };
    if (kind == "export %MW") return [this](int* f) { return Export("%MW", f); };
    if (kind == "by type") {
      return [this](int* f) { return TBListRepereByTypeObject(base, "%MW", 0, &ind1_, &list, f); };
    }
    return [this, first = 1](int* f) mutable {
      return TBListSymbolByTypeObject(base, "%MW", 0, std::exchange(first, 0), 1, &list, f, 0);
    };
  }
  std::vector<std::string> ExportAll(const char* prefix, int module = 0) {
    counter_ = 1;
    return Drain([this, prefix, module](int* f) { return Export(prefix, f, module); });
  }
  int Export(const char* prefix, int* finished, int module = 0) {
    const int result = TBExportSymbol(base, prefix, module, &counter_, &list, finished);
    EXPECT_EQ(counter_, 2);  // set by the first call, then left alone
    return result;
  }

  long counter_ = 1;
  long record_ = 1;
  int ind1_ = 0;
};

const char* const kKinds[] = {"all base", "export", "export %MW", "by type", "symbols"};

TEST_F(BatchLists, FiftyLiveRowsFinishInOneCallAndTheFiftyFirstNeedsAnother) {
  CreateWords(0, 51);
  Delete("%MW3");
  std::vector<std::string> live;
  for (int i = 0; i < 51; ++i) {
    if (i != 3) live.push_back("%MW" + std::to_string(i));
  }
  for (int rows : {50, 51}) {
    if (rows == 51) CreateWords(51, 52);
    if (rows == 51) live.push_back("%MW51");
    for (const char* kind : kKinds) {
      SCOPED_TRACE(std::string(kind) + ", rows " + std::to_string(rows));
      std::vector<int> batches;
      EXPECT_EQ(Drain(Listing(kind), &batches, false), live);
      EXPECT_EQ(batches, rows == 50 ? std::vector<int>({50}) : std::vector<int>({50, 1}));
      EXPECT_EQ(base->m_relation, nullptr);
    }
  }
}

TEST_F(BatchLists, AllBaseInRecordOrderFromAValidRecord) {
  long record = 1;
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, &list, &finished), 105);  // empty
  Create("%MW1", "Sym", "comment");
  for (long bad : {0L, -3L, 2L}) {
    record = bad;
    EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record, &list, &finished), 105) << bad;
  }
  record = 1;
  // Address only: no symbol, no comment.
  EXPECT_THAT(Entries(TBListRepereAllBaseSymbol(base, &record, &list, &finished)),
              ElementsAre("%MW1|||0|-1"));
  EXPECT_EQ(finished, 1);
  // Fifty live rows then a deleted one: the walk stopped on a row, and the
  // next call finds only the deleted one.
  CreateWords(2, 52);
  Delete("%MW51");
  EXPECT_EQ(Entries(TBListRepereAllBaseSymbol(base, &record, &list, &finished), false).size(), 50u);
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(record, 51);
  EXPECT_THAT(Entries(TBListRepereAllBaseSymbol(base, &record, &list, &finished)), IsEmpty());
  EXPECT_EQ(finished, 1);
}

TEST_F(BatchLists, ExportOfTheWholeBaseInKeyOrderAndOfAKindInRecordOrder) {
  int finished = -1;
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter_, &list, &finished), 105);  // empty table
  Create("%MW9", "Nine", "last word");
  Create("%MD1", "Dbl");
  Create("%MW10:X2", "", "bit");
  Create("%I1.2", "In");
  Create("%MW3");
  Create("%MW7:X0");
  Delete("%MD1");
  Delete("%MW7:X0");
  // Key order: MW before MWX before VIX; each entry type 0, flag -1.
  EXPECT_THAT(Drain(Listing("export")), ElementsAre("%MW3|||0|-1", "%MW9|Nine|last word|0|-1",
                                                    "%MW10:X2||bit|0|-1", "%I1.2|In||0|-1"));
  // The counter past the record count, or below 1.
  for (long bad : {7L, 0L, -1L}) {
    counter_ = bad;
    EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter_, &list, &finished), 105) << bad;
  }
  // One kind: words and their bits together in record order; %M only
  // exists as bits.
  EXPECT_THAT(Drain(Listing("export %MW"), nullptr, false),
              ElementsAre("%MW9", "%MW10:X2", "%MW3"));
  Create("%M3", "Flag");
  Create("%MB2");
  EXPECT_THAT(ExportAll("%M"), ElementsAre("%M3|Flag||0|-1"));
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(BatchLists, InputsAndOutputsOfOneModule) {
  Create("%I12.1", "Door");
  Create("%MW12");
  Create("%QW12.0:X3", "Lamp");
  Create("%IW12.MOD:X2", "Status", "status");
  Create("%I1.1", "Other");
  Create("%I120.1");
  EXPECT_THAT(ExportAll("%ES", 12), ElementsAre("%I12.1|Door||0|-1", "%QW12.0:X3|Lamp||0|-1",
                                                "%IW12.MOD:X2|Status|status|0|-1"));
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%ES", 12, &count), 0);
  EXPECT_EQ(count, 3);
  int finished = -1;
  EXPECT_EQ(Entries(TBListSymbolByTypeObject(base, "%ES", 0, 1, 1, &list, &finished, 12), false),
            (std::vector<std::string>{"%I12.1", "%QW12.0:X3", "%IW12.MOD:X2"}));
}

// Comments follow the walk across batches; rows whose keys are equal
// (indexes cut to five digits) each get the first comment row of the key.
TEST_F(BatchLists, ExportCommentsAcrossBatchesAndEqualKeys) {
  std::vector<std::string> expected;
  for (int i = 0; i < 120; ++i) {
    const std::string n = std::to_string(i);
    const std::string comment = i % 3 == 0 ? "" : "c" + n;
    Create(("%MW" + n).c_str(), ("S" + n).c_str(), comment.c_str());
    expected.push_back("%MW" + n + "|S" + n + "|" + comment + "|0|-1");
  }
  Create("%MW10000", "", "first");
  Create("%MW100000", "", "second");
  Create("%MW10001", "", "next");
  for (const char* e : {"%MW10000||first|0|-1", "%MW100000||first|0|-1", "%MW10001||next|0|-1"}) {
    expected.push_back(e);
  }
  std::vector<int> batches;
  EXPECT_EQ(Drain(Listing("export"), &batches), expected);
  EXPECT_THAT(batches, ElementsAre(50, 50, 23));
}

TEST_F(BatchLists, SymbolOrderOfOneKindInEachMode) {
  Create("%MW1", "Zeta");
  Create("%MW2", "Alpha", "first letter");
  Create("%MW3", "Mid");
  Create("%MW4");
  Create("%MW5:X1", "Bit", "a bit");
  Create("%MW5:X2");
  Create("%MD1", "Double");
  struct {
    int mode, withSymbol;
    std::vector<std::string> expected;
  } const cases[] = {
      {0, 1, {"%MW2|Alpha|first letter|2|-1", "%MW3|Mid||3|-1", "%MW1|Zeta||1|-1"}},
      {0, 0, {"%MW4|||4|-1"}},
      {1, 1, {"%MW5:X1|Bit|a bit|5|1"}},
      {1, 0, {"%MW5:X2|||5|2"}},
      // Mode 2: words and bits together; the flag is the bit number (-1 blank).
      {2,
       1,
       {"%MW2|Alpha|first letter|2|-1", "%MW5:X1|Bit|a bit|5|1", "%MW3|Mid||3|-1",
        "%MW1|Zeta||1|-1"}},
  };
  for (const auto& c : cases) {
    int finished = -1;
    EXPECT_EQ(Entries(TBListSymbolByTypeObject(base, "%MW", c.mode, 1, c.withSymbol, &list,
                                               &finished, 0)),
              c.expected)
        << c.mode << " " << c.withSymbol;
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);  // record order
  }
  // No listing in progress any more: a later call finishes at once.
  int finished = 0;
  EXPECT_THAT(Entries(TBListSymbolByTypeObject(base, "%MW", 0, 0, 1, &list, &finished, 0)),
              IsEmpty());
  EXPECT_EQ(finished, 1);
}

// Against the calling rules, a count between two calls takes the query slot
// and the main table: the listing then ends without a made-up entry. A new
// first call starts over.
TEST_F(BatchLists, ACountBetweenCallsEndsTheListing) {
  CreateWords(0, 70);
  for (const char* kind : {"export", "export %MW", "symbols"}) {
    SCOPED_TRACE(kind);
    std::function<int(int*)> call = Listing(kind);
    int finished = -1;
    EXPECT_EQ(Entries(call(&finished), false).size(), 50u);
    EXPECT_EQ(finished, 0);
    long count = 0;
    EXPECT_EQ(TBNumberObjectByType(base, "%MW", 0, &count), 0);
    EXPECT_EQ(count, 70);
    EXPECT_THAT(Entries(call(&finished)), IsEmpty());
    EXPECT_EQ(finished, 1);
  }
  int finished = -1;
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(TBListSymbolByTypeObject(base, "%MW", 0, 1, 1, &list, &finished, 0), 0);
  }
  EXPECT_EQ(Entries(0, false).size(), 100u);
  EXPECT_EQ(finished, 0);
}

// A row marked commented whose comment row is gone: the listing stops there
// with the seek's result, nothing reported.
TEST_F(BatchLists, CommentedRowWithoutCommentRowStopsTheListing) {
  Create("%MW1", "A", "kept");
  Create("%MW2", "B", "lost");
  Create("%MW3", "C");
  ASSERT_EQ(base->DeleteComment(("MW   00002" + std::string(12, ' ')).c_str()), 0);
  for (const char* kind : {"export", "export %MW", "symbols"}) {
    std::function<int(int*)> call = Listing(kind);
    int finished = -1;
    const int result = call(&finished);
    EXPECT_TRUE(result == 102 || result == 103) << kind << " " << result;
    EXPECT_EQ(finished, 0) << kind;
    EXPECT_THAT(lists_test::Take(list, false), ElementsAre("%MW1")) << kind;
  }
}

class ByTypeObject : public BatchLists {
 protected:
  // Calls until finished; the IND1 each unfinished call resumes at.
  std::vector<std::string> ListAll(const char* prefix, int subObject, int start,
                                   std::vector<int>* resumes = nullptr) {
    ind1_ = start;
    return Drain(
        [this, prefix, subObject, resumes](int* f) {
          const int result = TBListRepereByTypeObject(base, prefix, subObject, &ind1_, &list, f);
          if (*f == 0 && resumes != nullptr) resumes->push_back(ind1_);
          return result;
        },
        nullptr, false);
  }
  void CreateTwoModules() {
    for (int module = 10; module <= 11; ++module) {
      for (int channel = 0; channel < 30; ++channel) {
        Create(("%I" + std::to_string(module) + "." + std::to_string(channel)).c_str());
      }
    }
  }
};

TEST_F(ByTypeObject, TypeWordsBitNumbersAndTheResumingIndex) {
  Create("%MW2:X3", "", "c");
  Create("%MW2:X4");
  int finished = 0;
  EXPECT_THAT(Entries(TBListRepereByTypeObject(base, "%MW", 1, &ind1_, &list, &finished)),
              ElementsAre("%MW2:X3||c|2|3", "%MW2:X4|||2|4"));
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(ind1_, 0);
  for (int i = 0; i < 51; ++i) Create(("%MW" + std::to_string(i * 2)).c_str());
  std::vector<int> resumes;
  const std::vector<std::string> all = ListAll("%MW", 0, 0, &resumes);
  EXPECT_THAT(resumes, ElementsAre(100));
  EXPECT_EQ(all[49], "%MW98");
  EXPECT_EQ(all[50], "%MW100");
}

TEST_F(ByTypeObject, BitsOfACutWordComeTwice) {
  for (int word = 1; word <= 3; ++word) {
    for (int bit = 0; bit < 16; ++bit) {
      Create(("%MW" + std::to_string(word) + ":X" + std::to_string(bit)).c_str());
    }
  }
  for (int bit = 0; bit < 4; ++bit) Create(("%MW4:X" + std::to_string(bit)).c_str());
  Create("%MW4", "", "the word itself");
  std::vector<int> resumes;
  const std::vector<std::string> all = ListAll("%MW", 1, 0, &resumes);
  EXPECT_THAT(resumes, ElementsAre(4));
  ASSERT_EQ(all.size(), 54u);
  EXPECT_EQ(all[49], "%MW4:X1");
  EXPECT_EQ(all[50], "%MW4:X0");  // the next call starts again at IND1 4
  EXPECT_EQ(all[53], "%MW4:X3");
}

TEST_F(ByTypeObject, ABatchThatStartsOnAnIndexTakesAllOfIt) {
  for (int bit = 0; bit < 60; ++bit) Create(("%MW1:X" + std::to_string(bit)).c_str());
  Create("%MW2:X0");
  // From IND1 1 the batch would otherwise resume at 1 for ever.
  EXPECT_EQ(ListAll("%MW", 1, 1).size(), 61u);
  EXPECT_EQ(ListAll("%MW", 1, 0).size(), 111u);  // 50, then the 60 bits of %MW1 and %MW2:X0
}

TEST_F(ByTypeObject, ModuleNumbersResumeInTheirOwnCoding) {
  CreateTwoModules();  // %I10.0 is stored as VIX, IND1 "0000A"
  std::vector<int> resumes;
  std::vector<std::string> all = ListAll("%VI", 1, 0, &resumes);
  EXPECT_THAT(resumes, ElementsAre(11));  // "0000B"
  EXPECT_EQ(all.size(), 80u);
  EXPECT_EQ(all.back(), "%I11.29");
  // Read in decimal, "0000B" would send the next call back to the start:
  // the rest comes in one batch.
  HostSetAddressingMode(1);
  EXPECT_EQ(ListAll("%VI", 1, 0, &resumes).size(), 60u);
  EXPECT_THAT(resumes, ElementsAre(11));
  HostSetAddressingMode(0);
}

TEST_F(ByTypeObject, DecimalModuleNumbersResumeInDecimal) {
  HostSetAddressingMode(1);
  CreateTwoModules();
  std::vector<int> resumes;
  EXPECT_EQ(ListAll("%VI", 1, 0, &resumes).size(), 80u);
  EXPECT_THAT(resumes, ElementsAre(11));
  HostSetAddressingMode(0);
}

TEST_F(BatchLists, CountsOfTheBaseAndOfOneKind) {
  for (const char* a : {"%MW1", "%MW1:X4", "%MW2", "%MD1", "%M5", "%MB5"}) Create(a);
  Delete("%MW2");
  struct {
    const char* prefix;
    long count;
  } const cases[] = {{"", 5}, {"%MW", 2}, {"%M", 1}, {"%MD", 1}, {"%KW", 0}};
  for (const auto& c : cases) {
    long count = -1;
    EXPECT_EQ(TBNumberObjectByType(base, c.prefix, 0, &count), 0);
    EXPECT_EQ(count, c.count) << c.prefix;  // deleted rows are not counted
  }
  EXPECT_EQ(base->m_relation, nullptr);
  EXPECT_EQ(xbase::TableSeek(base->m_mainTable, "MW"), xbase::kErrTag);  // record order
  // A quote in the prefix breaks the filter: the engine's refusal is
  // reported and nothing is counted.
  long count = -1;
  EXPECT_EQ(TBNumberObjectByType(base, "%M'W", 0, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
}

}  // namespace
