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
using Texts = std::vector<std::string>;

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
  Texts ExportAll(const char* prefix, int module = 0) {
    counter_ = 1;
    return Drain([this, prefix, module](int* f) { return Export(prefix, f, module); });
  }
  int Export(const char* prefix, int* finished, int module = 0) {
    const int result = TBExportSymbol(base, prefix, module, &counter_, &list, finished);
    EXPECT_EQ(counter_, 2);  // set by the first call, then left alone
    return result;
  }
  long Count(const char* prefix, int module = 0) {
    long count = -1;
    EXPECT_EQ(TBNumberObjectByType(base, prefix, module, &count), 0);
    return count;
  }

  long counter_ = 1;
  long record_ = 1;
  int ind1_ = 0;
};

TEST_F(BatchLists, FiftyLiveRowsFinishInOneCallAndTheFiftyFirstNeedsAnother) {
  CreateWords(0, 51);
  Delete("%MW3");
  Texts live;
  for (int i = 0; i < 51; ++i) {
    if (i != 3) live.push_back("%MW" + std::to_string(i));
  }
  for (int rows : {50, 51}) {
    if (rows == 51) CreateWords(51, 52);
    if (rows == 51) live.push_back("%MW51");
    for (const char* kind : {"all base", "export", "export %MW", "by type", "symbols"}) {
      SCOPED_TRACE(std::string(kind) + ", rows " + std::to_string(rows));
      std::vector<int> batches;
      EXPECT_EQ(Drain(Listing(kind), &batches, false), live);
      EXPECT_EQ(batches, rows == 50 ? std::vector<int>({50}) : std::vector<int>({50, 1}));
    }
  }
}

TEST_F(BatchLists, AllBaseInRecordOrderFromAValidRecord) {
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record_, &list, &finished), 105);  // empty
  Create("%MW1", "Sym", "comment");
  for (long bad : {0L, -3L, 2L}) {
    record_ = bad;
    EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record_, &list, &finished), 105) << bad;
  }
  record_ = 1;
  // Address only: no symbol, no comment.
  EXPECT_THAT(Entries(TBListRepereAllBaseSymbol(base, &record_, &list, &finished)),
              ElementsAre("%MW1|||0|-1"));
  EXPECT_EQ(finished, 1);
}

// %M only as bits, the inputs and outputs of one module; each entry type 0,
// flag -1. Rows whose keys are equal (indexes cut to five digits) each get
// the first comment of the key. Key order itself is checked against dbfread.
TEST_F(BatchLists, ExportOfTheWholeBaseOfAKindAndOfAModule) {
  int finished = -1;
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter_, &list, &finished), 105);  // empty table
  Create("%MW10000", "", "first");
  Create("%MW100000", "", "second");
  Create("%MW10001", "", "next");
  EXPECT_EQ(ExportAll(""),
            Texts({"%MW10000||first|0|-1", "%MW100000||first|0|-1", "%MW10001||next|0|-1"}));
  // The counter past the record count, or below 1; at the count, a later
  // call with no export in progress.
  for (long counter : {4L, 0L, -1L, 3L}) {
    counter_ = counter;
    EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter_, &list, &finished), counter == 3 ? 0 : 105)
        << counter;
  }
  EXPECT_EQ(finished, 1);
  Create("%M3", "Flag");
  Create("%MB2");
  EXPECT_THAT(ExportAll("%M"), ElementsAre("%M3|Flag||0|-1"));
  for (const char* a : {"%I12.1", "%MW12", "%QW12.0:X3", "%IW12.MOD:X2", "%I120.1"}) Create(a);
  EXPECT_THAT(ExportAll("%ES", 12),
              ElementsAre("%I12.1|||0|-1", "%QW12.0:X3|||0|-1", "%IW12.MOD:X2|||0|-1"));
  EXPECT_EQ(Count("%ES", 12), 3);
}

TEST_F(BatchLists, SymbolOrderOfOneKindInEachMode) {
  Create("%MW1", "Zeta");
  Create("%MW2", "Alpha", "first letter");
  Create("%MW3", "Mid");
  Create("%MW4");
  Create("%MW5:X1", "Bit", "a bit");
  Create("%MW5:X2");
  Create("%MD1", "Double");
  Create("%I12.1", "Door");
  Create("%I1.1", "Other");
  const std::string alpha = "%MW2|Alpha|first letter|2|-1", bit = "%MW5:X1|Bit|a bit|5|1";
  // The flag is the bit number (-1 blank); mode 2, words and bits together,
  // is checked against dbfread.
  const struct {
    const char* prefix;
    int mode, withSymbol, module;
    Texts expected;
  } cases[] = {
      {"%MW", 0, 1, 0, {alpha, "%MW3|Mid||3|-1", "%MW1|Zeta||1|-1"}},
      {"%MW", 0, 0, 0, {"%MW4|||4|-1"}},
      {"%MW", 1, 1, 0, {bit}},
      {"%MW", 1, 0, 0, {"%MW5:X2|||5|2"}},
      {"%ES", 0, 1, 12, {"%I12.1|Door||0|-1"}},
  };
  for (const auto& c : cases) {
    int finished = -1;
    EXPECT_EQ(Entries(TBListSymbolByTypeObject(base, c.prefix, c.mode, 1, c.withSymbol, &list,
                                               &finished, c.module)),
              c.expected)
        << c.mode << " " << c.withSymbol;
    EXPECT_EQ(finished, 1);
  }
  // No listing in progress any more: a later call finishes at once.
  int finished = 0;
  EXPECT_THAT(Entries(TBListSymbolByTypeObject(base, "%MW", 0, 0, 1, &list, &finished, 0)),
              IsEmpty());
  EXPECT_EQ(finished, 1);
}

// One object kind by key, 50 per call: the IND1 each unfinished call resumes
// at, the rows of an IND1 cut by a batch coming again in the next one, a
// batch that starts on an IND1 taking all of it (else it would resume there
// for ever), module numbers resuming in their own coding. %I10.0 is stored
// as VIX, IND1 "0000A"; read in decimal, "0000B" would send the next call
// back to the start: the rest comes in one batch.
TEST_F(BatchLists, ByTypeResumesAtTheIndexCutByTheBatch) {
  int finished = -1;
  Create("%MW2:X3", "", "c");
  EXPECT_THAT(Entries(TBListRepereByTypeObject(base, "%MW", 1, &ind1_, &list, &finished)),
              ElementsAre("%MW2:X3||c|2|3"));
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(ind1_, 0);
  Delete("%MW2:X3");
  using Rows = std::string (*)(int);
  const Rows words = [](int i) { return "%MW" + std::to_string(2 * i); };
  const Rows bits = [](int i) {
    return "%MW" + std::to_string(i / 16 + 1) + ":X" + std::to_string(i % 16);
  };
  const Rows wide = [](int i) { return i < 60 ? "%MW1:X" + std::to_string(i) : "%MW2:X0"; };
  // Two modules of 30 inputs from module 8, 10 or 30 ("00008", "0000A", "0000U").
  const Rows nines = [](int i) {
    return "%I" + std::to_string(8 + i / 30) + "." + std::to_string(i % 30);
  };
  const Rows modules = [](int i) {
    return "%I" + std::to_string(10 + i / 30) + "." + std::to_string(i % 30);
  };
  const Rows vees = [](int i) {
    return "%I" + std::to_string(30 + i / 30) + "." + std::to_string(i % 30);
  };
  const struct {
    const char* prefix;
    Rows rows;
    int count, sub, start, createMode, listMode;
    std::size_t listed;
    std::vector<int> resumes;
    const char* fiftyFirst;
  } cases[] = {
      {"%MW", words, 51, 0, 0, 0, 0, 51, {100}, "%MW100"},
      {"%MW", bits, 52, 1, 0, 0, 0, 54, {4}, "%MW4:X0"},
      {"%MW", wide, 61, 1, 1, 0, 0, 61, {2}, "%MW1:X50"},
      {"%MW", wide, 61, 1, 0, 0, 0, 111, {1, 2}, "%MW1:X0"},
      {"%VI", nines, 60, 1, 0, 0, 0, 80, {9}, "%I9.0"},
      {"%VI", modules, 60, 1, 0, 0, 0, 80, {11}, "%I11.0"},
      {"%VI", vees, 60, 1, 0, 0, 0, 80, {31}, "%I31.0"},
      {"%VI", modules, 60, 1, 0, 0, 1, 60, {}, "%I11.20"},
      {"%VI", modules, 60, 1, 0, 1, 1, 80, {11}, "%I11.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows(0) + " from " + std::to_string(c.start));
    HostSetAddressingMode(c.createMode);
    for (int i = 0; i < c.count; ++i) Create(c.rows(i).c_str());
    HostSetAddressingMode(c.listMode);
    std::vector<int> resumes;
    ind1_ = c.start;
    const Texts all = Drain(
        [&](int* f) {
          const int result = TBListRepereByTypeObject(base, c.prefix, c.sub, &ind1_, &list, f);
          if (*f == 0) resumes.push_back(ind1_);
          return result;
        },
        nullptr, false);
    EXPECT_EQ(all.size(), c.listed);
    EXPECT_EQ(resumes, c.resumes);
    EXPECT_EQ(all.size() > 50 ? all[50] : "", c.fiftyFirst);
    HostSetAddressingMode(0);
    for (int i = 0; i < c.count; ++i) Delete(c.rows(i));
  }
}

}  // namespace
