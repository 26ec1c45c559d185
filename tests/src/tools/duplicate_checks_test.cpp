// CTBTest: repeated addresses and keys of a base, as the host lists them,
// and as python-dbf finds them in the same files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "support/xbase_readers.h"
#include "symbase/tabis.h"

namespace {

using Check = int (CTBTest::*)(CStringList&);
const Check kChecks[] = {&CTBTest::ListOfDoublonRepSymb, &CTBTest::ListOfDoublonCleSymb,
                         &CTBTest::ListOfDoublonCleCmt};

class DuplicateChecks : public testing_support::SymbolBaseTest {
 protected:
  // Creates each address with a comment; "-" before one deletes it.
  void Rows(const std::vector<std::string>& rows) {
    for (const std::string& row : rows) {
      if (row[0] != '-') Create(row.c_str(), "", "c");
      CTBObjetAts gone(row.c_str() + 1, "", "", 0, -1);
      ASSERT_EQ(row[0] == '-' ? TBDelObject(base, &gone) : 0, 0);
    }
  }

  // What each check appends, as "R|text|", "K|text|" or "C|text|", to a list
  // that already holds "kept", each check's result being 1 when it found one.
  std::vector<std::string> Repeats(CTBData* handle) {
    std::vector<std::string> found;
    CTBTest test(handle);
    for (std::size_t c = 0; c < 3; ++c) {
      CStringList list;
      list.AddTail("kept");
      const int result = (test.*kChecks[c])(list);
      EXPECT_EQ(std::string(list.RemoveHead()), "kept") << "the list was emptied first";
      EXPECT_EQ(result, list.IsEmpty() ? 0 : 1);
      while (!list.IsEmpty())
        found.push_back(std::string(1, "RKC"[c]) + "|" + std::string(list.RemoveHead()) + "|");
    }
    return found;
  }
};

TEST_F(DuplicateChecks, NothingIsReadWithoutAnOpenUnlockedBase) {
  Rows({"%MW10", "%MW10"});
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_THAT(Repeats(base), ::testing::IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(Repeats(base), ::testing::SizeIs(3));
  EXPECT_THAT(Repeats(nullptr), ::testing::IsEmpty());
  CTBData* closed = nullptr;
  TBInitTabisDll(&closed);
  EXPECT_THAT(Repeats(closed), ::testing::IsEmpty());
  TBFreeTabisDll(closed);
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
  Rows({"%MW10", "%IW3.1:X4", "%MW010", "%MW10", "%mw10", "%IW3.1:X5", "%X4.TMAX", "%MW10",
        "%IW3.1:X4", "%NW{1.2}5:X3", "%X4.TMAX", "%KD7", "-%KD7", "%KD7"});
  // Enough rows for the lookup to hold many texts: words repeating every
  // 37 rows, half of them commented, and bits of a few input words.
  for (int i = 0; i < 400; ++i) {
    Create(("%MW" + std::to_string(1000 + i % 37)).c_str(), "", i % 2 != 0 ? "odd" : "");
    Create(("%IW2." + std::to_string(i % 5) + ":X" + std::to_string(i % 16)).c_str());
  }
  const std::vector<std::string> ours = Repeats(base);
  const std::string script = dir.file("checks.py");
  ASSERT_TRUE(testing_support::WriteFileBytes(script, kPythonChecks));
  EXPECT_EQ(testing_support::CommandLines("/usr/bin/python3 " + script + " " + dir.slash()), ours);
  // 5 repeats above, 400 - 37 words and 400 - 80 bits (5 words x 16 bits).
  EXPECT_EQ(
      std::count_if(ours.begin(), ours.end(), [](const std::string& t) { return t[0] == 'R'; }),
      5 + 363 + 320);
}

}  // namespace
