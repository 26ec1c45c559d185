// CTBTest: repeated addresses and keys of a base, as the host lists them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "support/xbase_readers.h"
#include "symbase/tabis.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A field as stored: left-aligned, blank-padded to its width.
std::string Pad(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

// The five key fields of "OBJET IND1" as the checks list them, joined by
// single blanks: 26 characters.
std::string Key(const std::string& objetInd1) {
  const std::size_t blank = objetInd1.find(' ');
  return Pad(objetInd1.substr(0, blank), 5) + " " + Pad(objetInd1.substr(blank + 1), 5) + " " +
         std::string(5, ' ') + " " + std::string(5, ' ') + " " + std::string(2, ' ');
}

std::vector<std::string> Texts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) texts.emplace_back(list.GetNext(p));
  return texts;
}

using Check = int (CTBTest::*)(CStringList&);
const Check kChecks[] = {&CTBTest::ListOfDoublonRepSymb, &CTBTest::ListOfDoublonCleSymb,
                         &CTBTest::ListOfDoublonCleCmt};

// Rows created in order ("-" before an address deletes it), and what each
// check appends: repeated addresses, keys of main rows, keys of comment rows.
struct Case {
  const char* what;
  std::vector<std::string> rows;
  std::vector<std::string> addresses, keys, commentKeys;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }

class DuplicateChecks : public testing_support::SymbolBaseTest,
                        public ::testing::WithParamInterface<Case> {
 protected:
  // The three checks on a list that already holds "kept": what each added.
  std::vector<std::vector<std::string>> RunChecks(CTBData* handle) {
    std::vector<std::vector<std::string>> added;
    CTBTest test(handle);
    for (Check check : kChecks) {
      CStringList list;
      list.AddTail("kept");
      const int result = (test.*check)(list);
      std::vector<std::string> texts = Texts(list);
      EXPECT_EQ(texts.front(), "kept") << "the list was emptied first";
      texts.erase(texts.begin());
      EXPECT_EQ(result, texts.empty() ? 0 : 1);
      added.push_back(texts);
    }
    return added;
  }
};

TEST_P(DuplicateChecks, ListEachTextMetBeforeInRecordOrder) {
  for (const std::string& row : GetParam().rows) {
    if (row[0] != '-') {
      Create(row.c_str(), "", "c");
      continue;
    }
    CTBObjetAts gone(row.c_str() + 1, "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
  }
  std::vector<std::string> addresses, keys, commentKeys;
  for (const std::string& a : GetParam().addresses) addresses.push_back(Pad(a, 36));
  for (const std::string& k : GetParam().keys) keys.push_back(Key(k));
  for (const std::string& k : GetParam().commentKeys) commentKeys.push_back(Key(k));
  EXPECT_THAT(RunChecks(base), ElementsAre(addresses, keys, commentKeys));
}

INSTANTIATE_TEST_SUITE_P(
    Bases, DuplicateChecks,
    ::testing::Values(
        Case{"empty", {}, {}, {}, {}},
        Case{"three times: listed twice",
             {"%MW10", "%MW11", "%MW10", "%MW10"},
             {"%MW10", "%MW10"},
             {"MW 00010", "MW 00010"},
             {"MW 00010", "MW 00010"}},
        Case{"letter case makes texts differ", {"%MW10", "%mw10"}, {}, {}, {}},
        // The checks compare the four first key fields only once: the
        // fourth index keeps these apart.
        Case{"fourth index", {"%IW3.1:X4", "%IW3.1:X5"}, {}, {}, {}},
        // %MW010 decodes to the key of %MW10 under another address text.
        Case{"one key, two addresses", {"%MW10", "%MW010"}, {}, {"MW 00010"}, {"MW 00010"}},
        Case{"record order",
             {"%MW2", "%MW1", "%MW1", "%MW2", "%MW2"},
             {"%MW1", "%MW2", "%MW2"},
             {"MW 00001", "MW 00002", "MW 00002"},
             {"MW 00001", "MW 00002", "MW 00002"}},
        Case{"deleted rows are still met",
             {"%MW10", "%MW10", "-%MW10"},
             {"%MW10"},
             {"MW 00010"},
             {"MW 00010"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DuplicateChecks, NothingIsReadWithoutAnOpenUnlockedBase) {
  Create("%MW10", "", "c");
  Create("%MW10", "", "c");
  const std::vector<std::vector<std::string>> none(3);
  // The flag alone stops the checks, even with the files still open.
  base->m_locked = 1;
  EXPECT_EQ(RunChecks(base), none);
  base->m_locked = 0;
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_EQ(RunChecks(base), none);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(RunChecks(base)[0], std::vector<std::string>{Pad("%MW10", 36)});
  EXPECT_EQ(RunChecks(nullptr), none);
  CTBData* closed = nullptr;
  TBInitTabisDll(&closed);
  EXPECT_EQ(RunChecks(closed), none);
  TBFreeTabisDll(closed);
  EXPECT_THAT(HostErrorReports(), IsEmpty());
  // A runtime class of the framework; calling twice appends twice.
  CTBTest test(base);
  EXPECT_STREQ(test.GetRuntimeClass()->m_lpszClassName, "CTBTest");
  EXPECT_TRUE(test.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(test.IsKindOf(RUNTIME_CLASS(CTBData)));
  CStringList list;
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 1);
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 1);
  EXPECT_EQ(list.GetCount(), 2);
}

// The same three checks done by python-dbf on our files: every row in record
// order, fields as stored, a text listed each time it was met before.
const char kPythonChecks[] = R"(
import dbf, sys
def repeated(path, make):
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    seen, out = set(), []
    for record in table:
        text = make(record)
        if text in seen: out.append(text)
        seen.add(text)
    table.close()
    return out
key = lambda r: ' '.join(r[f] for f in ('objet', 'ind1', 'ind2', 'ind3', 'ind4'))
for text in repeated(sys.argv[1] + 'KR9.DBF', lambda r: r['repere']): print('R|' + text + '|')
for text in repeated(sys.argv[1] + 'KR9.DBF', key): print('K|' + text + '|')
for text in repeated(sys.argv[1] + 'KR9CMT.DBF', key): print('C|' + text + '|')
)";

TEST_F(DuplicateChecks, PythonDbfFindsTheSameRepeats) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  for (const char* address :
       {"%MW10", "%IW3.1:X4", "%MW010", "%MW10", "%mw10", "%IW3.1:X5", "%X4.TMAX", "%MW10",
        "%IW3.1:X4", "%NW{1.2}5:X3", "%X4.TMAX", "%KD7"}) {
    Create(address, "", "note");
  }
  CTBObjetAts gone("%KD7", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  Create("%KD7", "", "again");
  // Enough rows for the lookup to hold many texts: words repeating every
  // 37 rows, half of them commented, and bits of a few input words.
  for (int i = 0; i < 400; ++i) {
    Create(("%MW" + std::to_string(1000 + i % 37)).c_str(), "", i % 2 != 0 ? "odd" : "");
    Create(("%IW2." + std::to_string(i % 5) + ":X" + std::to_string(i % 16)).c_str());
  }
  std::vector<std::string> ours;
  CTBTest test(base);
  for (std::size_t c = 0; c < 3; ++c) {
    CStringList list;
    EXPECT_EQ((test.*kChecks[c])(list), 1);
    for (const std::string& text : Texts(list))
      ours.push_back(std::string(1, "RKC"[c]) + "|" + text + "|");
  }
  const std::string script = dir.file("checks.py");
  ASSERT_TRUE(testing_support::WriteFileBytes(script, kPythonChecks));
  EXPECT_EQ(testing_support::CommandLines("/usr/bin/python3 " + script + " " + dir.slash()), ours);
  // 5 repeats above, 400 - 37 words and 400 - 80 bits (5 words x 16 bits).
  EXPECT_EQ(
      std::count_if(ours.begin(), ours.end(), [](const std::string& t) { return t[0] == 'R'; }),
      5 + 363 + 320);
  EXPECT_THAT(ours, ::testing::Contains("R|" + Pad("%KD7", 36) + "|"));
}

}  // namespace
