// Every listing: by key, in batches, of module I/Os, and counts; also against dbfread.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "storage/tb_data.h"
#include "support/fault_file_system.h"
#include "support/symbol_base.h"
#include "support/xbase_readers.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Texts = std::vector<std::string>;

// Takes out (and deletes) the entries: "address|symbol|comment|type|flag" or the address.
Texts Take(CObList& list, bool whole = true) {
  std::vector<std::string> out;
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBObjetAts> e(static_cast<CTBObjetAts*>(list.RemoveHead()));
    out.push_back(whole ? testing_support::ObjectText(*e) : std::string(e->m_repere));
  }
  return out;
}

class ListsTest : public testing_support::SymbolBaseTest {
 protected:
  void TearDown() override {
    Take(list);
    SymbolBaseTest::TearDown();
  }

  std::vector<std::string> Entries(int result, bool whole = true) {
    EXPECT_EQ(result, 0);
    return Take(list, whole);
  }

  // Calls a batch listing until it finishes: its entries, each call's count in batches.
  std::vector<std::string> Drain(const std::function<int(int* finished)>& call,
                                 std::vector<int>* batches = nullptr, bool whole = true) {
    std::vector<std::string> all;
    for (int calls = 0; calls < 10; ++calls) {
      int finished = -1;
      EXPECT_EQ(call(&finished), 0);
      const std::vector<std::string> batch = Take(list, whole);
      all.insert(all.end(), batch.begin(), batch.end());
      if (batches != nullptr) batches->push_back(static_cast<int>(batch.size()));
      if (finished == 1) return all;
      EXPECT_EQ(finished, 0);
    }
    ADD_FAILURE() << "not finished after 10 calls";
    return all;
  }

  CObList list;
};

// Prints each listing's entries "address|symbol|comment" in Windows-1252 after its name.
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
        sys.stdout.buffer.write(line.encode('cp1252'))
)";

// A listing's entries without type and flag.
Texts WithoutTypeAndFlag(const Texts& listed) {
  Texts out;
  for (const std::string& e : listed) out.push_back(e.substr(0, e.rfind('|', e.rfind('|') - 1)));
  return out;
}

// Two modules of 30 inputs from module kFirst (10, 30: "0000A", "0000U").
template <int kFirst>
std::string Inputs(int i) {
  return "%I" + std::to_string(kFirst + i / 30) + "." + std::to_string(i % 30);
}

class BatchLists : public ListsTest {
 protected:
  // A fresh run of one batch listing of the %MW words or of every row.
  std::function<int(int*)> Listing(const std::string& kind, int mode = 0) {
    counter_ = record_ = 1;
    ind1_ = 0;
    if (kind == "all base") {
      return [this](int* f) { return TBListRepereAllBaseSymbol(base, &record_, &list, f); };
    }
    if (kind == "export") return [this](int* f) { return Export("", f); };
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

// The whole base is listed from a valid record only, each entry its address
// alone, type 0, flag -1.
TEST_F(BatchLists, FiftyLiveRowsFinishInOneCallAndTheFiftyFirstNeedsAnother) {
  int finished = -1;
  EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record_, &list, &finished), 105);  // empty
  // %MW0 .. %MW50, their symbols in the same order: S00000 ...; all live but %MW3.
  Texts live;
  for (int i = 0; i < 51; ++i) {
    const std::string n = std::to_string(i);
    Create(("%MW" + n).c_str(), ("S" + std::string(5 - n.size(), '0') + n).c_str(),
           i == 0 ? "comment" : "");
    if (i != 3) live.push_back("%MW" + n);
  }
  Delete("%MW3");
  for (long bad : {0L, -3L, 52L}) {
    record_ = bad;
    EXPECT_EQ(TBListRepereAllBaseSymbol(base, &record_, &list, &finished), 105) << bad;
  }
  EXPECT_EQ(Drain(Listing("all base")).at(0), "%MW0|||0|-1");
  for (int rows : {50, 51}) {
    if (rows == 51) Create("%MW51", "S00051");
    if (rows == 51) live.push_back("%MW51");
    for (const char* kind : {"all base", "export", "by type", "symbols"}) {
      SCOPED_TRACE(std::string(kind) + ", rows " + std::to_string(rows));
      std::vector<int> batches;
      EXPECT_EQ(Drain(Listing(kind), &batches, false), live);
      EXPECT_EQ(batches, rows == 50 ? std::vector<int>({50}) : std::vector<int>({50, 1}));
    }
  }
}

// %M only as bits, the inputs and outputs of one module; each entry type 0,
// flag -1. Rows whose keys are equal (indexes cut to five digits) each get
// the first comment of the key. Key order itself is checked against dbfread.
TEST_F(BatchLists, ExportOfTheWholeBaseOfAKindAndOfAModule) {
  int finished = -1;
  EXPECT_EQ(TBExportSymbol(base, "", 0, &counter_, &list, &finished), 105);  // empty table
  CreateAll({"%MW10000||first", "%MW100000||second", "%MW10001||next"});
  EXPECT_EQ(ExportAll(""),
            Texts({"%MW10000||first|0|-1", "%MW100000||first|0|-1", "%MW10001||next|0|-1"}));
  // The counter past the record count, below 1, or at the count with no export running.
  for (long counter : {4L, 0L, -1L, 3L}) {
    counter_ = counter;
    EXPECT_EQ(TBExportSymbol(base, "%MW", 0, &counter_, &list, &finished), counter == 3 ? 0 : 105)
        << counter;
  }
  EXPECT_EQ(finished, 1);
  CreateAll({"%M3|Flag", "%MB2", "%I12.1", "%MW12", "%QW12.0:X3", "%IW12.MOD:X2", "%I120.1"});
  EXPECT_THAT(ExportAll("%M"), ElementsAre("%M3|Flag||0|-1"));
  EXPECT_THAT(ExportAll("%KW"), IsEmpty());  // a kind without rows: nothing, and no error
  EXPECT_THAT(ExportAll("%ES", 12),
              ElementsAre("%I12.1|||0|-1", "%QW12.0:X3|||0|-1", "%IW12.MOD:X2|||0|-1"));
  EXPECT_EQ(Count("%ES", 12), 3);
}

// One object kind by key, 50 per call: the IND1 each unfinished call resumes
// at, the rows of an IND1 cut by a batch coming again in the next one, a
// batch that starts on an IND1 taking all of it (else it would resume there
// for ever), module numbers resuming in their own coding, from 10 ("A") to
// 31 ("V"). %I10.0 is stored as VIX, IND1 "0000A"; read in decimal, "0000B"
// would send the next call back to the start: the rest comes in one batch.
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
      {"%VI", Inputs<9>, 60, 1, 0, 0, 0, 80, {10}, "%I10.0"},
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

// As dbfread reads: key order for the base, record order for one kind, symbol order.
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
  EXPECT_EQ(WithoutTypeAndFlag(ExportAll("")), read["base"]);
  EXPECT_EQ(Count(""), static_cast<long>(read["base"].size()));
  EXPECT_EQ(WithoutTypeAndFlag(ExportAll("%MW")), read["words"]);
  EXPECT_EQ(Count("%MW"), static_cast<long>(read["words"].size()));
  std::vector<int> batches;
  EXPECT_EQ(WithoutTypeAndFlag(Drain(Listing("symbols", 2), &batches)), read["named"]);
  EXPECT_GT(batches.size(), 2u);
}

enum Listing { kRange, kBits, kThreeIndexBits, kModule, kModuleSub };

struct KeyCase {
  const char* what;
  Listing listing;
  const char* prefix;
  std::string numbers;   // the listing's numbers after the prefix
  std::string expected;  // entries joined by ';', whole when they hold a '|'
};

class KeyListing : public ListsTest {
 protected:
  int Call(const KeyCase& c) {
    std::vector<long long> a;
    std::istringstream stream(c.numbers);
    for (long long n; stream >> n;) a.push_back(n);
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
  CreateAll({"%MD5", "%MW3", "%MW5", "%MW7", "%MW9", "%MW11", "%MW12346", "%MX6", "%MW6:X1",
             "%IW1.2:X4", "%IW1.2.1:X0", "%IW1.3:X3", "%IW1.2", "%XM1.2.T", "%MW5:X10|B10|ten",
             "%MW5:X3|B3", "%IW1.2:X3|In3", "%MW6||gone"});
  Delete("%MW6");
  CreateAll({"%MW13||first", "%MW14|Pump", "%MW15||middle", "%MW16", "%MW17|Valve|last"});
  RunCases({
      {"range", kRange, "%MW", "5 8 100", "%MW5|||5|-1;%MW7|||7|-1"},
      // No row at IND1 4: the seek stops after the key and the walk starts there.
      {"from a gap", kRange, "%MW", "4 7 100", "%MW5;%MW7"},
      {"all", kRange, "%MW", "0 99999 100",
       "%MW3;%MW5;%MW7;%MW9;%MW11;%MW13;%MW14;%MW15;%MW16;%MW17;%MW12346"},
      {"comments in step", kRange, "%MW", "13 15 100",
       "%MW13||first|13|-1;%MW14|Pump||14|-1;%MW15||middle|15|-1"},
      {"after a commented row", kRange, "%MW", "16 100 100",
       "%MW16|||16|-1;%MW17|Valve|last|17|-1"},
      // A first index longer than its field names no stored key.
      {"first index too long", kRange, "%MW", "123456 999999 100", ""},
      {"maximum", kRange, "%MW", "0 100 2", "%MW3;%MW5"},
      {"last below first", kRange, "%MW", "3 -1 100", ""},
      {"prefix too long", kRange, "%MWMWMW", "0 100 100", ""},
      // A negative first IND1 ("000-5") sorts before every number.
      {"negative first", kRange, "%MW", "-5 4 100", "%MW3"},
      {"bits", kBits, "%MW", "5 100", "%MW5:X3|B3||5|3;%MW5:X10|B10|ten|5|10"},
      // Without bits the seek stops after the key: nothing is listed.
      {"word without bits", kBits, "%MW", "7 100", ""},
      {"module bits", kThreeIndexBits, "%VIW", "1 2 0 100", "%IW1.2:X3|In3||0|3;%IW1.2:X4|||0|4"},
      {"no such third index", kThreeIndexBits, "%VIW", "1 2 5 100", ""},
      // Without its third index the key is shorter than the part compared.
      {"no third index", kThreeIndexBits, "%VIW", "1 2 -1 100", ""},
      {"not a module code", kThreeIndexBits, "%IW", "1 2 0 100", ""},
      {"negative index", kThreeIndexBits, "%X", "1 -7 2 100", ""},
  });
}

// Positions: 0 the object, 1 IN, 2 and 3 steps 0 and 1, n - 1 OUT. With
// two positions, position 1 is both IN and n - 1: IN wins. Past IND2 99999
// only OUT can still match; positions 10000 and 10001 number entries 9998
// and 9999. The sub-entries of a position: the flag is IND3; past IND3
// 99999 nothing can match.
TEST_F(KeyListing, ModulePositionsAndTheirSubEntries) {
  CreateAll({"%XM1|Macro|the macro-step", "%X1.IN|In", "%X1.OUT|Out|leaves", "%X1.0", "%X1.1|Step1",
             "%X1.1.T||time", "%X1.1.ERR", "%X1.IN.TMAX", "%IW1.2.0", "%IW1.2.0:X4", "%IW1.2.1"});
  const std::string object = "%XM1|Macro|the macro-step|0|-1;%X1.IN|In||1|-1;%X1.0|||2|-1;";
  const std::string out = "%X1.OUT|Out|leaves|";
  RunCases({
      {"all", kModule, "%XM", "1 5 0 4 100", object + "%X1.1|Step1||3|-1;" + out + "4|-1"},
      {"maximum", kModule, "%XM", "1 5 2 4 2", "%X1.0;%X1.1"},
      {"gaps passed over", kModule, "%XM", "1 9 3 8 100", "%X1.1;%X1.OUT"},
      {"count 2", kModule, "%XM", "1 2 0 1 100", "%XM1;%X1.IN"},
      {"count 1", kModule, "%XM", "1 1 0 0 100", "%XM1"},
      {"huge range", kModule, "%XM", "1 2000000000 0 4294967295 100",
       object + "%X1.1|Step1||3|-1;%X1.IN|In||10000|-1;" + out + "10001|-1;" + out +
           "1999999999|-1"},
      {"sub-entries", kModuleSub, "%XM", "1 5 3 4", "%X1.1.T||time|3|0;%X1.1.ERR|||3|3"},
      {"sub-entries of IN", kModuleSub, "%XM", "1 5 1 4", "%X1.IN.TMAX|||1|2"},
      {"of the object", kModuleSub, "%XM", "1 5 0 4", ""},
      {"negative position", kModuleSub, "%XM", "1 5 -2000000000 4", ""},
      {"huge count", kModuleSub, "%XM", "1 5 3 4294967295", "%X1.1.T;%X1.1.ERR"},
      {"count short of a sub-entry", kModuleSub, "%XM", "1 5 3 3", "%X1.1.T"},
      // %IW1.2.0 is VIW 1 2 0; position 4 of 9 gives IND2 2, a blank IND4.
      {"blank bit index", kModuleSub, "%VIW", "1 9 4 3", "%IW1.2.0;%IW1.2.1"},
  });
}

// Every listing once on `d` for `p` (the inputs and outputs of module 3 for
// those that take a module): each one's result, batch position, IND1 and
// finished flag (they start as 1, 1 and 7), then its entries.
Texts RunAll(CTBData* d, CObList& l, const char* p) {
  Texts out;
  long position = 1;
  int ind1 = 1;
  int finished = 7;
  auto add = [&](int result) {
    out.push_back(std::to_string(result) + " " + std::to_string(position) + "/" +
                  std::to_string(ind1) + "/" + std::to_string(finished));
    for (const std::string& entry : Take(l)) out.push_back(entry);
    position = ind1 = 1;
    finished = 7;
  };
  add(TBListRepere(d, p, 0, 99999, 100, &l));
  add(TBListRepereModule(d, p, 1, 4, 0, 3, 100, &l));
  add(TBListRepereSousObjet(d, p, 2, 100, &l));
  add(TBListRepereModuleSousObjet(d, p, 1, 4, 2, 3, &l));
  add(TBListRepereTroisIndicesSousObjet(d, p, 1, 2, 0, 100, &l));
  add(TBListRepereByTypeObject(d, p, 0, &ind1, &l, &finished));
  add(TBListSymbolByTypeObject(d, "%ES", 2, 1, 1, &l, &finished, 3));
  add(TBExportSymbol(d, "%ES", 3, &position, &l, &finished));
  add(TBNumberObjectByType(d, "%ES", 3, &position));
  add(TBListRepereAllBaseSymbol(d, &position, &l, &finished));
  add(TBExportSymbol(d, "", 0, &position, &l, &finished));
  return out;
}

class ListGuards : public ListsTest {};

// Every file-system call of a listing scenario fails in turn: a failure is
// never silent, a run that noticed nothing hands out what a clean run does,
// and no run hands out an entry twice in a row.
TEST_F(ListGuards, EveryFailedCallIsReportedOrChangesNothing) {
  for (int i = 0; i < 60; ++i) {
    const std::string n = std::to_string(i);
    Create(("%MW" + n).c_str(), i % 3 == 0 ? "" : ("W" + n).c_str(),
           i % 4 == 0 ? ("comment " + n).c_str() : "");
  }
  for (const char* address :
       {"%MW2:X1", "%MW2:X5", "%XM1", "%X1.IN", "%X1.0", "%X1.0.T", "%I3.1", "%QW3.0:X2"}) {
    Create(address, "", "c");
  }
  Delete("%MW7");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  auto run = [this](xbase::FileSystem* files) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    data->m_session.file_system = files;
    Texts out{"open " + std::to_string(TBOpenBaseSymbol(data, dir.slash().c_str()))};
    for (const char* prefix : {"%MW", "%XM", "%VQW"}) {
      if (!HostErrorReports().empty()) break;
      for (const std::string& line : RunAll(data, list, prefix)) out.push_back(line);
    }
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return out;
  };
  Texts clean;
  const long calls =
      testing_support::SweepFailingCalls([&](testing_support::FaultFileSystem* files, long n) {
        const Texts got = run(files);
        const bool reported = !HostErrorReports().empty();
        HostClearErrorReports();
        SCOPED_TRACE("call " + std::to_string(n));
        if (n == 0) {
          clean = got;
          EXPECT_FALSE(reported);
          EXPECT_GT(clean.size(), 200u);
          return !reported;
        }
        for (std::size_t i = 1; i < got.size(); ++i) {
          if (got[i].find('|') != std::string::npos) {
            EXPECT_NE(got[i], got[i - 1]);
          }
        }
        if (files->injected() && !reported) {
          EXPECT_EQ(got, clean) << "failed silently";
        }
        return true;
      });
  EXPECT_GT(calls, 10);
  EXPECT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
}

class IoLists : public testing_support::HostTest {
 protected:
  Texts Through(void (*function)(CTBData*, CStringList*), const Texts& input) {
    CStringList list;
    for (const std::string& text : input) list.AddTail(text.c_str());
    function(&data_, &list);
    return testing_support::ListTexts(list);
  }
  Texts Sorted(const Texts& input) { return Through(TBTriListeRepereES, input); }

  CTBData data_;
};

TEST_F(IoLists, TheFilterKeepsPlainInputsAndOutputsInOrder) {
  const struct {
    Texts input, kept;
  } cases[] = {
      {{}, {}},
      {{"%QW1.1", "%I1.2", "%MW10", "%IW1.3", "%KW3", "%Q1.0", "%QD1.2", "%IF1.0", "%I1.2:X3",
        "%Q"},
       {"%QW1.1", "%I1.2", "%IW1.3", "%Q1.0", "%QD1.2", "%IF1.0", "%I1.2:X3", "%Q"}},
      // Errors go, even on inputs.
      {{"%I1.2.ERR", "%I1.MOD.ERR", "%I1.2", "%QERR", "%Q1.ERR"}, {"%I1.2"}},
      // The first "I" or "Q" of the first three characters must be the
      // second character: "%II1" has it first, "%XI1" third, "%M1.I" none.
      {{"II1", "%XI1", "%M1.I", "%CH1.MOD", "", "%", "Q", "%X1.IN", "%QI2"}, {"%QI2"}},
      // A removed run at both ends leaves the middle.
      {{"%MW1", "%MW2", "%I1.0", "%I1.1", "%KW1", "%KW2"}, {"%I1.0", "%I1.1"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Through(TBFiltrerListeRepereES, c.input), c.kept);
}

TEST_F(IoLists, TheSortFollowsClassThenIndexes) {
  // Every class of IND2 2, shuffled, with the two fixed-key module elements,
  // one element of IND2 1, one of a letter outside the table and one whose
  // key is past 2^31 (keys compare unsigned).
  const Texts ordered = {"%CH1.MOD",  "%I1.MOD.ERR", "%QW1.1", "%M1.2",    "%CH1.2",
                         "%I1.2.ERR", "%I1.2",       "%IW1.2", "%ID1.2",   "%IF1.2",
                         "%Q1.2",     "%QW1.2",      "%QD1.2", "%QF1.2",   "%MB1.2",
                         "%MW1.2",    "%MD1.2",      "%MF1.2", "%KB1.2",   "%KW1.2",
                         "%KD1.2",    "%KF1.2",      "%S5",    "%IW1.100", "%IW1.4294"};
  Texts shuffled = ordered;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
  EXPECT_EQ(Sorted(shuffled), ordered);
  // IND2 first; then IND3 "0" (part 0), absent (part 10), 2 (part 20), 11
  // (part 110); then IND4.
  EXPECT_EQ(Sorted({"%IW1.3.11", "%IW1.3.2", "%IW1:X3", "%IW1.3", "%IW3.1:X4", "%IW3.1:X2"}),
            Texts({"%IW3.1:X2", "%IW3.1:X4", "%IW1.3", "%IW1:X3", "%IW1.3.2", "%IW1.3.11"}));
  EXPECT_EQ(Sorted({}), Texts());
  // "%MW..MOD" words go by IND2 and IND3 alone, right after the other module
  // elements; none of either gives key 3, not 0.
  EXPECT_EQ(Sorted({"%QW1.1", "%MW1.MOD.2", "%MW1.MOD", "%I1.MOD.ERR", "%MW1.MOD.1"}),
            Texts({"%I1.MOD.ERR", "%MW1.MOD", "%MW1.MOD.1", "%MW1.MOD.2", "%QW1.1"}));
  // Elements of equal keys (the module's own) come out in the order the
  // quicksort's exchanges give: for this list, the order they came in.
  EXPECT_EQ(Sorted({"%Q1.2", "%CH1.MOD", "%I1.MOD.ERR", "%CH2.MOD", "%IW1.2", "%I2.MOD.ERR",
                    "%CH3.MOD", "%M1.2"}),
            Texts({"%CH1.MOD", "%CH2.MOD", "%CH3.MOD", "%I1.MOD.ERR", "%I2.MOD.ERR", "%M1.2",
                   "%IW1.2", "%Q1.2"}));
}

}  // namespace
