// CTBTest: repeated addresses and keys of a base, as the host lists them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "symbase/tabis.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A field as stored: left-aligned, blank-padded to its width.
std::string Pad(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

// The 36-character address text of a main row.
std::string Address(const std::string& repere) { return Pad(repere, 36); }

// The five key fields as stored, joined by single blanks: 26 characters.
std::string Key(const std::string& objet, const std::string& ind1, const std::string& ind2 = "",
                const std::string& ind3 = "", const std::string& ind4 = "") {
  return Pad(objet, 5) + " " + Pad(ind1, 5) + " " + Pad(ind2, 5) + " " + Pad(ind3, 5) + " " +
         Pad(ind4, 2);
}

std::vector<std::string> Texts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) texts.emplace_back(list.GetNext(p));
  return texts;
}

class DuplicateChecks : public testing_support::SymbolBaseTest {
 protected:
  // Runs one check on a list that already holds "kept"; the list after it.
  std::vector<std::string> Run(int (CTBTest::*check)(CStringList&), int expected) {
    CTBTest test(base);
    CStringList list;
    list.AddTail("kept");
    EXPECT_EQ((test.*check)(list), expected);
    std::vector<std::string> texts = Texts(list);
    EXPECT_FALSE(texts.empty() || texts[0] != "kept") << "the list was emptied first";
    if (!texts.empty()) texts.erase(texts.begin());
    return texts;
  }

  std::vector<std::string> Addresses(int expected) {
    return Run(&CTBTest::ListOfDoublonRepSymb, expected);
  }
  std::vector<std::string> Keys(int expected) {
    return Run(&CTBTest::ListOfDoublonCleSymb, expected);
  }
  std::vector<std::string> CommentKeys(int expected) {
    return Run(&CTBTest::ListOfDoublonCleCmt, expected);
  }
};

TEST_F(DuplicateChecks, IsARuntimeClassOfTheFramework) {
  CTBTest test(base);
  EXPECT_STREQ(test.GetRuntimeClass()->m_lpszClassName, "CTBTest");
  EXPECT_TRUE(test.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(test.IsKindOf(RUNTIME_CLASS(CTBData)));
}

TEST_F(DuplicateChecks, EmptyTablesGiveNothing) {
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(Keys(0), IsEmpty());
  EXPECT_THAT(CommentKeys(0), IsEmpty());
}

TEST_F(DuplicateChecks, AnAddressThreeTimesIsListedTwiceWithItsBlanks) {
  Create("%MW10");
  Create("%MW11");
  Create("%MW10");
  Create("%MW10");
  EXPECT_THAT(Addresses(1), ElementsAre(Address("%MW10"), Address("%MW10")));
  EXPECT_THAT(Keys(1), ElementsAre(Key("MW", "00010"), Key("MW", "00010")));
  EXPECT_EQ(Address("%MW10").size(), 36u);
  EXPECT_EQ(Key("MW", "00010").size(), 26u);
}

TEST_F(DuplicateChecks, LetterCaseMakesTextsDifferent) {
  Create("%MW10");
  Create("%mw10");
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(Keys(0), IsEmpty());
}

TEST_F(DuplicateChecks, RowsDifferingOnlyInTheFourthIndexAreNotDuplicates) {
  Create("%IW3.1:X4", "", "first");
  Create("%IW3.1:X5", "", "second");
  ASSERT_EQ(MainRows().size(), 2u);
  EXPECT_EQ(MainRows()[0].key.substr(0, 20), MainRows()[1].key.substr(0, 20));
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(Keys(0), IsEmpty());
  EXPECT_THAT(CommentKeys(0), IsEmpty());
}

TEST_F(DuplicateChecks, OneKeyUnderTwoAddressesIsAKeyDuplicateOnly) {
  // %MW010 decodes to the key of %MW10 under another address text.
  Create("%MW10", "", "a comment");
  Create("%MW010", "", "another comment");
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(Keys(1), ElementsAre(Key("MW", "00010")));
  EXPECT_THAT(CommentKeys(1), ElementsAre(Key("MW", "00010")));
}

TEST_F(DuplicateChecks, RepeatsAreListedInRecordOrder) {
  Create("%MW2");
  Create("%MW1");
  Create("%MW1");
  Create("%MW2");
  Create("%MW2");
  EXPECT_THAT(Addresses(1), ElementsAre(Address("%MW1"), Address("%MW2"), Address("%MW2")));
}

TEST_F(DuplicateChecks, DeletedRowsAreStillMet) {
  Create("%MW10", "", "c");
  Create("%MW10", "", "c");
  CTBObjetAts object("%MW10", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &object), 0);
  EXPECT_THAT(Addresses(1), ElementsAre(Address("%MW10")));
  EXPECT_THAT(CommentKeys(1), ElementsAre(Key("MW", "00010")));
}

TEST_F(DuplicateChecks, CallingTwiceAppendsTwice) {
  Create("%QW4.2");
  Create("%QW4.2");
  CTBTest test(base);
  CStringList list;
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 1);
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 1);
  EXPECT_THAT(Texts(list), ElementsAre(Address("%QW4.2"), Address("%QW4.2")));
}

TEST_F(DuplicateChecks, ALockedBaseIsNotRead) {
  Create("%MW10", "", "c");
  Create("%MW10", "", "c");
  // The flag alone stops the checks, even with the files still open.
  base->m_locked = 1;
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(Keys(0), IsEmpty());
  EXPECT_THAT(CommentKeys(0), IsEmpty());
  base->m_locked = 0;
  EXPECT_THAT(Addresses(1), ElementsAre(Address("%MW10")));

  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_THAT(Addresses(0), IsEmpty());
  EXPECT_THAT(CommentKeys(0), IsEmpty());
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_THAT(Keys(1), ElementsAre(Key("MW", "00010")));
}

TEST_F(DuplicateChecks, ANullHandleGivesNothing) {
  CTBTest test(nullptr);
  CStringList list;
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 0);
  EXPECT_EQ(test.ListOfDoublonCleSymb(list), 0);
  EXPECT_EQ(test.ListOfDoublonCleCmt(list), 0);
  EXPECT_TRUE(list.IsEmpty());
}

TEST_F(DuplicateChecks, NoOpenBaseGivesNothingAndNoReport) {
  CTBData* closed = nullptr;
  TBInitTabisDll(&closed);
  ASSERT_NE(closed, nullptr);
  CTBTest test(closed);
  CStringList list;
  EXPECT_EQ(test.ListOfDoublonRepSymb(list), 0);
  EXPECT_EQ(test.ListOfDoublonCleSymb(list), 0);
  EXPECT_EQ(test.ListOfDoublonCleCmt(list), 0);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_THAT(HostErrorReports(), IsEmpty());
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

std::string RunPythonChecks(const testing_support::TempDir& dir) {
  const std::string script = dir.file("checks.py");
  EXPECT_TRUE(testing_support::WriteFileBytes(script, kPythonChecks));
  FILE* pipe = popen(("/usr/bin/python3 " + script + " " + dir.slash() + " 2>&1").c_str(), "r");
  std::string out;
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << out;
  return out;
}

TEST_F(DuplicateChecks, PythonDbfFindsTheSameRepeats) {
  const char* const addresses[] = {"%MW10",     "%IW3.1:X4",    "%MW010",   "%MW10",
                                   "%mw10",     "%IW3.1:X5",    "%X4.TMAX", "%MW10",
                                   "%IW3.1:X4", "%NW{1.2}5:X3", "%X4.TMAX", "%KD7"};
  for (const char* address : addresses) Create(address, "", "note");
  CTBObjetAts gone("%KD7", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);
  Create("%KD7", "", "again");
  // Enough rows for the lookup to hold many texts: words repeating every
  // 37 rows, half of them commented, and bits of a few input words.
  for (int i = 0; i < 400; ++i) {
    Create(("%MW" + std::to_string(1000 + i % 37)).c_str(), "", i % 2 != 0 ? "odd" : "");
    Create(("%IW2." + std::to_string(i % 5) + ":X" + std::to_string(i % 16)).c_str());
  }

  std::string ours;
  CTBTest test(base);
  const struct {
    char tag;
    int (CTBTest::*check)(CStringList&);
  } checks[] = {{'R', &CTBTest::ListOfDoublonRepSymb},
                {'K', &CTBTest::ListOfDoublonCleSymb},
                {'C', &CTBTest::ListOfDoublonCleCmt}};
  for (const auto& c : checks) {
    CStringList list;
    EXPECT_EQ((test.*c.check)(list), 1) << c.tag;
    for (const std::string& text : Texts(list)) ours += std::string(1, c.tag) + "|" + text + "|\n";
  }
  EXPECT_EQ(RunPythonChecks(dir), ours);
  EXPECT_NE(ours.find("R|" + Address("%KD7") + "|"), std::string::npos);
  // 5 repeats above, 400 - 37 words and 400 - 80 bits (5 words x 16 bits).
  std::size_t address_repeats = 0;
  for (std::size_t at = 0; (at = ours.find("R|", at)) != std::string::npos; ++at) {
    ++address_repeats;
  }
  EXPECT_EQ(address_repeats, 5u + 363u + 320u);
}

}  // namespace
