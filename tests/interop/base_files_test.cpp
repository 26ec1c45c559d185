// The six files of a base written by the library, read by independent
// readers: python's dbfread and dbf for the tables, Perl's XBase::Index for
// the index files.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "support/xbase_readers.h"
#include "symbase/tabis.h"

namespace {

using testing_support::CommandLines;

class BaseFiles : public testing_support::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    if (!testing_support::XBaseReadersAvailable()) {
      GTEST_SKIP() << "python3-dbfread, python3-dbf or libdbd-xbase-perl is not installed";
    }
    TBInitTabisDll(&base);
    ASSERT_EQ(TBCreateBaseSymbol(base, dir.slash().c_str(), 0), 0);
    const struct {
      const char *repere, *symbole, *comment;
    } objects[] = {
        {"%MW10", "Pump_1", "pompe principale"},
        {"%I1.2", "\xC9t\xE9_in", ""},          // "Été_in"
        {"%MW10:X3", "Bit_3", "\xE9tat haut"},  // "état haut"
        {"%X2.TMAX", "", "d\xE9lai"},
        {"%Q2.1", "Lamp", ""},
    };
    for (const auto& o : objects) {
      CTBObjetAts object(o.repere, o.symbole, "", 0, -1);
      object.m_commentaire = o.comment;
      ASSERT_EQ(TBCreateObject(base, &object), 0);
    }
    CTBObjetAts gone("%Q2.1", "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0);
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_TRUE(HostErrorReports().empty());
  }

  void TearDown() override {
    if (base != nullptr) TBFreeTabisDll(base);
    HostTest::TearDown();
  }

  std::vector<std::string> Table(const char* reader, const char* file) {
    return CommandLines(std::string("/usr/bin/python3 ") + SYMBASE_SOURCE_DIR +
                        "/tests/interop/base_dump.py " + reader + " '" + dir.file(file) + "'");
  }

  testing_support::TempDir dir;
  CTBData* base = nullptr;
};

// Both python readers: same fields, code page, rows and deletion marks.
TEST_F(BaseFiles, TablesReadTheSameWithBothPythonReaders) {
  const std::vector<std::string> main_fields = {
      "FIELD OBJET C 5", "FIELD IND1 C 5",    "FIELD IND2 C 5",     "FIELD IND3 C 5",
      "FIELD IND4 C 2",  "FIELD REPERE C 36", "FIELD SYMBOLE C 32", "FIELD ISCMT C 1"};
  const std::vector<std::string> main_rows = {
      "L|MW|00010||||%MW10|Pump_1|O",
      "L|VIX|00001|00002|00000||%I1.2|\xC3\x89t\xC3\xA9_in|",  // UTF-8 "Été_in"
      "L|MWX|00010|00003|||%MW10:X3|Bit_3|O",
      "L|XX|00002|00002|||%X2.TMAX||O",
      "D|VQX|00002|00001|00000||%Q2.1|Lamp|",
  };
  for (const char* reader : {"dbf", "dbfread"}) {
    std::vector<std::string> lines = Table(reader, "KR9.DBF");
    ASSERT_GE(lines.size(), 9u) << reader;
    EXPECT_TRUE(lines[0] == "ENCODING cp1252" || lines[0] == "ENCODING Windows ANSI")
        << reader << ": " << lines[0];
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 9), main_fields)
        << reader;
    std::vector<std::string> rows(lines.begin() + 9, lines.end());
    std::vector<std::string> expected = main_rows;
    if (std::string(reader) == "dbfread") {  // it lists the deleted rows last
      std::stable_partition(expected.begin(), expected.end(),
                            [](const std::string& r) { return r[0] == 'L'; });
    }
    EXPECT_EQ(rows, expected) << reader;

    lines = Table(reader, "KR9CMT.DBF");
    ASSERT_EQ(lines.size(), 1u + 7u + 3u) << reader;
    EXPECT_EQ(lines[8], "L|MW|00010||||pompe principale|") << reader;
    EXPECT_EQ(lines[9], "L|MWX|00010|00003|||\xC3\xA9tat haut|") << reader;
    EXPECT_EQ(lines[10], "L|XX|00002|00002|||d\xC3\xA9lai|") << reader;
  }
}

// XBase::Index walks each index file's one tag: the live rows' keys in order
// with their record numbers; the deleted row is in none.
TEST_F(BaseFiles, IndexFilesReadByXBaseIndex) {
  const auto pad = [](std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
  };
  const struct {
    const char* file;
    std::vector<std::string> entries;
  } files[] = {
      {"KR9CLER.MDX",
       {"TAG REPCLE_TAG", "MW   00010            |1", "MWX  0001000003       |3",
        "VIX  000010000200000  |2", "XX   0000200002       |4"}},
      {"KR9R.MDX",
       {"TAG REPERE_TAG", pad("%I1.2", 36) + "|2", pad("%MW10", 36) + "|1",
        pad("%MW10:X3", 36) + "|3", pad("%X2.TMAX", 36) + "|4"}},
      {"KR9S.MDX",
       {"TAG SYMBOLE_TA", pad("", 32) + "|4", pad("Bit_3", 32) + "|3", pad("Pump_1", 32) + "|1",
        pad("\xC9t\xE9_in", 32) + "|2"}},
      {"KR9CMTR.MDX",
       {"TAG REPCMT_TAG", "MW   00010            |1", "MWX  0001000003       |2",
        "XX   0000200002       |3"}},
  };
  for (const auto& f : files) {
    EXPECT_EQ(testing_support::ReaderIndexEntries(dir.file(f.file)), f.entries) << f.file;
  }
}

}  // namespace
