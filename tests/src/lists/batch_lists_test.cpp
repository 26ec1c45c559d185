// The listings in batches of 50 and the count of live rows, also against dbfread.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "src/lists/lists_test.h"
#include "support/xbase_readers.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Texts = std::vector<std::string>;

// Prints each expected listing's entries "address|symbol|comment" in UTF-8,
// each line led by the listing's name.
const char* const kReader = R"(
import sys, dbfread
fields = (('OBJET', 5), ('IND1', 5), ('IND2', 5), ('IND3', 5), ('IND4', 2))
key = lambda r: ''.join((r[f] or '').ljust(width) for f, width in fields)
comments = {}
for r in dbfread.DBF(sys.argv[1] + 'KR9CMT.DBF'):
    comments.setdefault(key(r), (r['CMT1'] or '').rstrip() + (r['CMT2'] or '').rstrip())
rows = list(dbfread.DBF(sys.argv[1] + 'KR9.DBF'))
words = [r for r in rows if key(r).startswith('MW')]
named = [r for r in words if r['SYMBOLE']]
named.sort(key=lambda r: (r['SYMBOLE'].encode('cp1252'), key(r)))
for name, part in (('base', sorted(rows, key=key)), ('words', words), ('named', named)):
    for r in part:
        comment = comments[key(r)] if r['ISCMT'] == 'O' else ''
        line = '%s %s|%s|%s\n' % (name, r['REPERE'], r['SYMBOLE'] or '', comment)
        sys.stdout.buffer.write(line.encode('utf-8'))
)";

// A listing's entries without type and flag, Windows-1252 letters in UTF-8.
Texts Utf8(const Texts& listed) {
  Texts out;
  for (const std::string& e : listed) {
    std::string converted;
    for (unsigned char c : e.substr(0, e.rfind('|', e.rfind('|') - 1))) {
      if (c >= 0x80) converted += static_cast<char>(0xC0 | (c >> 6));
      converted += static_cast<char>(c < 0x80 ? c : 0x80 | (c & 0x3F));
    }
    out.push_back(converted);
  }
  return out;
}

// Two modules of 30 inputs from module kFirst: 8, 10 or 30 are "00008",
// "0000A", "0000U".
template <int kFirst>
std::string Inputs(int i) {
  return "%I" + std::to_string(kFirst + i / 30) + "." + std::to_string(i % 30);
}

class BatchLists : public lists_test::ListsTest {
 protected:
  // A fresh run of one batch listing of the %MW words (or of every row),
  // its position held here; the symbol order in `mode`.
  std::function<int(int*)> Listing(const std::string& kind, int mode = 0) {
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
    return [this, mode, first = 1](int* f) mutable {
      return TBListSymbolByTypeObject(base, "%MW", mode, std::exchange(first, 0), 1, &list, f, 0);
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
      {"%VI", Inputs<8>, 60, 1, 0, 0, 0, 80, {9}, "%I9.0"},
      {"%VI", Inputs<10>, 60, 1, 0, 0, 0, 80, {11}, "%I11.0"},
      {"%VI", Inputs<30>, 60, 1, 0, 0, 0, 80, {31}, "%I31.0"},
      {"%VI", Inputs<10>, 60, 1, 0, 0, 1, 60, {}, "%I11.20"},
      {"%VI", Inputs<10>, 60, 1, 0, 1, 1, 80, {11}, "%I11.0"},
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

// The same rows, symbols and comments as dbfread reads, in key order for the
// whole base, in record order for one object kind, in symbol order (ties in
// key order).
TEST_F(BatchLists, ExportCountAndSymbolOrderAsDbfreadReads) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  const char* kinds[] = {"%MW", "%MD", "%KW", "%I", "%QW"};
  const char* stems[] = {"pump", "Pump", "valve", "Alarm", "zone", "_tmp", "Zone", "b2"};
  for (int i = 0; i < 130; ++i) {
    std::string address = kinds[i % 5] + std::to_string(i);
    if (i % 5 == 3) address += "." + std::to_string(i);
    if (i % 5 == 4) address += ".0:X" + std::to_string(i % 16);
    if (i % 7 == 0 && i % 5 == 0) address += ":X" + std::to_string(i % 16);
    const std::string symbol = i % 3 == 0 ? "" : "Sym_" + std::to_string(i);
    const std::string comment = i % 4 == 0 ? "" : "comment \xE9t\xE9 " + std::to_string(i);
    Create(address.c_str(), symbol.c_str(), comment.c_str());
  }
  for (int i = 0; i < 140; ++i) {
    const std::string address = "%MW" + std::to_string(200 + i * 7 % 131) + (i >= 131 ? ":X3" : "");
    const std::string symbol = i % 9 == 0 ? "" : stems[i % 8] + std::to_string(i);
    Create(address.c_str(), symbol.c_str(), i % 5 == 0 ? "note" : "");
  }
  for (const char* gone : {"%MW5", "%KW2", "%I23.23", "%MD21", "%MW70:X6", "%MW214"}) Delete(gone);

  std::map<std::string, Texts> read;
  for (const std::string& line : testing_support::CommandLines("/usr/bin/python3 - " + dir.slash() +
                                                               " <<'END'\n" + kReader + "END\n")) {
    read[line.substr(0, line.find(' '))].push_back(line.substr(line.find(' ') + 1));
  }
  ASSERT_GT(read["base"].size(), 200u);
  EXPECT_EQ(Utf8(ExportAll("")), read["base"]);
  EXPECT_EQ(Count(""), static_cast<long>(read["base"].size()));
  EXPECT_EQ(Utf8(ExportAll("%MW")), read["words"]);
  EXPECT_EQ(Count("%MW"), static_cast<long>(read["words"].size()));
  std::vector<int> batches;
  EXPECT_EQ(Utf8(Drain(Listing("symbols", 2), &batches)), read["named"]);
  EXPECT_GT(batches.size(), 2u);
}

}  // namespace
