// Files passed between us and independent xBase tools: ours read by python's
// dbfread and dbf (tables) and Perl's XBase::Index (index files); tables
// written by python-dbf and the peer engine's files read by us.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/symbol_base.h"
#include "support/xbase_readers.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace {

std::string Padded(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

// The six files of a base of four objects, a fifth one deleted.
class BaseFiles : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    if (!testing_support::XBaseReadersAvailable()) {
      GTEST_SKIP() << "python3-dbfread, python3-dbf or libdbd-xbase-perl is not installed";
    }
    Create("%MW10", "Pump_1", "pompe principale");
    Create("%I1.2", "\xC9t\xE9_in");              // "Été_in"
    Create("%MW10:X3", "Bit_3", "\xE9tat haut");  // "état haut"
    Create("%X2.TMAX", "", "d\xE9lai");
    Create("%Q2.1", "Lamp");
    Delete("%Q2.1");
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  }

  std::vector<std::string> Table(const char* reader, const char* file) {
    return testing_support::CommandLines(std::string("/usr/bin/python3 ") + SYMBASE_SOURCE_DIR +
                                         "/tests/interop/base_dump.py " + reader + " '" +
                                         dir.file(file) + "'");
  }
};

TEST_F(BaseFiles, TablesReadTheSameWithBothPythonReaders) {
  const std::vector<std::string> main_fields = {
      "FIELD OBJET C 5", "FIELD IND1 C 5",    "FIELD IND2 C 5",     "FIELD IND3 C 5",
      "FIELD IND4 C 2",  "FIELD REPERE C 36", "FIELD SYMBOLE C 32", "FIELD ISCMT C 1"};
  const std::vector<std::string> main_rows = {
      // the deleted one last, as dbfread lists it
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
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.end()), main_rows) << reader;

    lines = Table(reader, "KR9CMT.DBF");
    ASSERT_EQ(lines.size(), 1u + 7u + 3u) << reader;
    EXPECT_EQ(lines[8], "L|MW|00010||||pompe principale|") << reader;
    EXPECT_EQ(lines[9], "L|MWX|00010|00003|||\xC3\xA9tat haut|") << reader;
    EXPECT_EQ(lines[10], "L|XX|00002|00002|||d\xC3\xA9lai|") << reader;
  }
}

// An index file's tags as XBase::Index walks them (it lists the tags in an
// order of its own): tag -> "key|record" per entry, in order.
using Listing = std::map<std::string, std::vector<std::string>>;

Listing PerlListing(const std::string& path) {
  Listing out;
  std::string tag;
  for (const std::string& line : testing_support::CommandLines(
           "/usr/bin/perl " SYMBASE_SOURCE_DIR "/tests/interop/mdx_dump.pl '" + path + "'")) {
    if (line.compare(0, 4, "TAG ") == 0) {
      tag = line.substr(4);
      out[tag];
      continue;
    }
    // "<key in hex> <record>"; a line of any other form is kept as it is.
    const std::size_t space = line.find(' ');
    std::string key;
    for (std::size_t i = 0; space != std::string::npos && i + 1 < space; i += 2) {
      key += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    out[tag].push_back(space == std::string::npos ? line : key + "|" + line.substr(space + 1));
  }
  return out;
}

// XBase::Index walks each index file's one tag: the live rows' keys in order
// with their record numbers; the deleted row is in none.
TEST_F(BaseFiles, IndexFilesReadByXBaseIndex) {
  const struct {
    const char* file;
    Listing tags;
  } files[] = {
      {"KR9CLER.MDX",
       {{"REPCLE_TAG",
         {"MW   00010            |1", "MWX  0001000003       |3", "VIX  000010000200000  |2",
          "XX   0000200002       |4"}}}},
      {"KR9R.MDX",
       {{"REPERE_TAG",
         {Padded("%I1.2", 36) + "|2", Padded("%MW10", 36) + "|1", Padded("%MW10:X3", 36) + "|3",
          Padded("%X2.TMAX", 36) + "|4"}}}},
      {"KR9S.MDX",
       {{"SYMBOLE_TA",
         {Padded("", 32) + "|4", Padded("Bit_3", 32) + "|3", Padded("Pump_1", 32) + "|1",
          Padded("\xC9t\xE9_in", 32) + "|2"}}}},
      {"KR9CMTR.MDX",
       {{"REPCMT_TAG",
         {"MW   00010            |1", "MWX  0001000003       |2", "XX   0000200002       |3"}}}},
  };
  for (const auto& f : files) EXPECT_EQ(PerlListing(dir.file(f.file)), f.tags) << f.file;
}

// An index file written by our engine: XBase::Index lists exactly our
// entries, in our order, for every tag.
Listing OurListing(MdxFile* mdx) {
  Listing out;
  for (int t = 0; t < mdx->tag_count(); ++t) {
    auto& lines = out[mdx->tag(t).name];
    const std::size_t kl = static_cast<std::size_t>(mdx->tag(t).key_length);
    EXPECT_EQ(kOk, mdx->ForEach(t, [&](const char* key, std::uint32_t r) {
      lines.push_back(std::string(key, kl) + "|" + std::to_string(r));
      return 0;
    }));
  }
  return out;
}

MdxTagInfo Tag(const char* name, const char* expr, int key_length) {
  return MdxTagInfo{name, expr, ".NOT. DELETED()", key_length, false, false};
}

// One file: three tags filled by inserts into multi-level trees, a fourth
// rebuilt from a sorted run, a fifth left empty, a sixth filled by runs of
// addresses numbered in order.
TEST_F(BaseFiles, InsertedRebuiltAndEmptyTagsReadTheSame) {
  std::unique_ptr<File> file;
  ASSERT_EQ(kOk, FileSystem::Posix()->Open(dir.file("OURS.MDX"), OpenMode::kCreate, &file));
  std::unique_ptr<MdxFile> mdx;
  ASSERT_EQ(kOk,
            MdxFile::Create(std::move(file), "KR9",
                            {Tag("REPCLE_TAG", "OBJET+IND1+IND2+IND3+IND4", 22),
                             Tag("SYMBOLE_TAG", "SYMBOLE", 32), Tag("REPERE_TAG", "REPERE", 36),
                             Tag("REPCMT_TAG", "OBJET+IND1+IND2+IND3+IND4", 22),
                             Tag("EMPTY", "CMT1", 10), Tag("RUNS_TAG", "REPERE", 36)},
                            &mdx));
  const auto cle = [](std::uint32_t r) {
    return Padded("%MW", 5) + Padded(std::to_string(r), 5) + std::string(12, ' ');
  };
  std::mt19937 rng(31);
  std::vector<std::uint32_t> records;
  for (std::uint32_t r = 1; r <= 6000; ++r) records.push_back(r);
  std::shuffle(records.begin(), records.end(), rng);
  for (std::uint32_t r : records) {
    ASSERT_EQ(kOk, mdx->Insert(0, cle(r).data(), r));
    // Every third address has no symbol: a long run of equal blank keys.
    const std::string symbol = Padded(r % 3 ? "SYM_" + std::to_string(r % 997) : "", 32);
    ASSERT_EQ(kOk, mdx->Insert(1, symbol.data(), r));
    const std::string repere = Padded("%MW" + std::to_string(r) + (r % 2 ? "" : "\xE9"), 36);
    ASSERT_EQ(kOk, mdx->Insert(2, repere.data(), r));
  }
  for (std::uint32_t r = 1; r <= 6000; r += 5) ASSERT_EQ(kOk, mdx->Remove(0, cle(r).data(), r));
  // Addresses of three kinds numbered in order, taken in turn: runs that
  // fill their leaves.
  for (std::uint32_t n = 0; n < 2000; ++n) {
    for (const char* kind : {"%KW", "%MW", "%I1."}) {
      const std::string repere = Padded(kind + std::to_string(n), 36);
      ASSERT_EQ(kOk, mdx->Insert(5, repere.data(), n + 1));
    }
  }
  KeyRun entries(22);
  for (std::uint32_t r = 1; r <= 20000; ++r) {
    char key[23];
    std::snprintf(key, sizeof key, "%%I   %05u%12s", r % 9000, "");
    entries.Add(key, r);
  }
  entries.Sort();
  ASSERT_EQ(kOk, mdx->Rebuild(3, entries));
  ASSERT_EQ(kOk, mdx->Flush());
  for (int t : {0, 1, 2, 3, 5}) EXPECT_EQ(kOk, mdx->Check(t, nullptr));

  Listing ours = OurListing(mdx.get());
  EXPECT_EQ(4800u, ours["REPCLE_TAG"].size());
  EXPECT_EQ(6000u, ours["SYMBOLE_TA"].size());
  EXPECT_EQ(20000u, ours["REPCMT_TAG"].size());
  EXPECT_TRUE(ours["EMPTY"].empty());
  EXPECT_EQ(6000u, ours["RUNS_TAG"].size());
  EXPECT_EQ(ours, PerlListing(dir.file("OURS.MDX")));
}

// Runs a Python script on PY.DBF with the system interpreter; the lines it
// prints, errors included.
std::vector<std::string> RunPython(const testing_support::TempDir& dir, const std::string& script) {
  return testing_support::CommandLines(
      "/usr/bin/python3 - 2>&1 <<'EOF'\nimport dbf\nt = dbf.Table('" + dir.file("PY.DBF") + "'" +
      script + "EOF");
}

TEST(DbfWrittenByPython, WeReadWhatPythonDbfWrote) {
  testing_support::TempDir dir;
  ASSERT_EQ(std::vector<std::string>{}, RunPython(dir, R"(, 'NAME C(10); CITY C(20)',
              codepage='cp1252', dbf_type='db3')
t.open(dbf.READ_WRITE)
for name, city in (('Anne', 'Paris'), ('Bob', 'Orl\u00e9ans'), ('Carl', 'Lyon')):
    t.append((name, city))
dbf.delete(t[2])
t.close()
)"));
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, dir.file("PY.DBF").c_str());
  ASSERT_NE(nullptr, t) << s.error;
  EXPECT_EQ(3, TableRecordCount(t));
  Field *name = FieldGet(t, "NAME"), *city = FieldGet(t, "CITY");
  ASSERT_TRUE(name != nullptr && city != nullptr);
  EXPECT_EQ(20, FieldWidth(city));
  std::vector<std::string> rows;
  for (int r = TableTop(t); r == kOk; r = TableSkip(t, 1)) {
    char a[11], b[21];
    FieldCopy(name, a, sizeof a);
    FieldCopy(city, b, sizeof b);
    rows.push_back(std::string(a) + "|" + b + "|" + std::to_string(RecordIsDeleted(t)));
  }
  EXPECT_EQ((std::vector<std::string>{"Anne      |Paris               |0",
                                      "Bob       |Orl\351ans             |0",
                                      "Carl      |Lyon                |1"}),
            rows);
  // And we can write to it: an append keeps the file readable by python-dbf.
  ASSERT_EQ(kOk, AppendStart(t, 0));
  RecordBlank(t);
  ASSERT_EQ(kOk, FieldAssign(name, "Dora"));
  ASSERT_EQ(kOk, RecordAppend(t));
  ASSERT_EQ(kOk, EngineEnd(&s));
  EXPECT_EQ((std::vector<std::string>{"4 Dora"}), RunPython(dir, R"()
t.open(dbf.READ_ONLY)
print(len(t), t[3].name.rstrip())
)"));
}

// A table of the peer engine's files, opened with its production index
// or, `index` given, with that index file alone; its tags walked with
// TagSelect/TableTop/TableSkip and its keys held against its rows. The
// engine opens a copy, so the committed files stay as the peer wrote them.
struct PeerTable {
  PeerTable(const std::string& folder, const char* dbf, const char* index = nullptr) {
    std::filesystem::copy(std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + folder, copy.path());
    const std::string path = copy.slash();
    EngineInit(&session, 0, 0);
    session.auto_open = index == nullptr;
    table = TableOpen(&session, (path + dbf).c_str());
    if (table != nullptr && index != nullptr) IndexOpen(table, (path + index).c_str());
  }
  ~PeerTable() { EngineEnd(&session); }
  std::vector<long> Walk(const char* name) {
    std::vector<long> rows;
    TagSelect(table, TagGet(table, name));
    for (int r = TableTop(table); r == kOk; r = TableSkip(table, 1)) {
      rows.push_back(TableRecordNumber(table));
    }
    return rows;
  }
  int Check() {
    return IntegrityCheck(table, [](const std::string& p) { ADD_FAILURE() << p; });
  }
  testing_support::TempDir copy;
  Session session;
  Table* table = nullptr;
};

TEST(PeerFixtures, SmallTablesListTheReadmeOrders) {
  const std::vector<long> by_key{6, 1, 5, 2, 4, 7};
  const std::vector<long> by_symbol{4, 7, 1, 5, 2, 6};
  const struct {
    const char* folder;
    const char* tag;
    std::vector<long> order;
  } cases[] = {{"objet", "OBJKEY", by_key},
               {"repere", "REPKEY", by_key},
               {"symbole", "SYMKEY", by_symbol},
               {"combined", "OBJKEY", by_key},
               {"combined", "REPKEY", by_key},
               {"combined", "SYMKEY", by_symbol},
               {"nofilter", "SYMKEY", {4, 7, 1, 3, 5, 2, 6}}};
  for (const auto& c : cases) {
    PeerTable peer(c.folder, "SYMTAB.DBF", "SYMTAB.MDX");
    ASSERT_NE(nullptr, peer.table) << c.folder;
    EXPECT_EQ(7, TableRecordCount(peer.table));
    EXPECT_EQ(c.order, peer.Walk(c.tag)) << c.folder << " " << c.tag;
    ASSERT_EQ(kOk, TableGo(peer.table, 3));
    EXPECT_EQ(1, RecordIsDeleted(peer.table));
    EXPECT_EQ(kOk, peer.Check());
  }
  // The production flag opens the index with the table; seeks work on it.
  PeerTable peer("combined", "SYMTAB.DBF");
  ASSERT_NE(nullptr, peer.table);
  TagSelect(peer.table, TagGet(peer.table, "symkey"));
  const struct {
    const char* seek;
    int result;
    long record;
  } seeks[] = {
      {"\xC9t\xE9", kOk, 6}, {"Mo", kOk, 1}, {"Mz", kAfter, 5}};  // Mo: "Motor_on"; Mz: "Zeta"
  for (const auto& s : seeks) {
    EXPECT_EQ(s.result, TableSeek(peer.table, s.seek)) << s.seek;
    EXPECT_EQ(s.record, TableRecordNumber(peer.table)) << s.seek;
  }
}

// Each tag: its first entries and last one; every tenth row deleted.
TEST(PeerFixtures, BigTableTagsAreWalkedInFull) {
  PeerTable peer("big", "BIGTAB.DBF");
  ASSERT_NE(nullptr, peer.table) << peer.session.error;
  EXPECT_EQ(300, TableRecordCount(peer.table));
  const struct {
    const char* tag;
    std::vector<long> first;
    long last;
  } tags[] = {{"OBJKEY", {1, 101, 102, 103, 104, 105, 106, 107, 108, 109, 11, 111}, 99},
              {"REPKEY", {273, 246, 219, 192, 165}, 27},
              {"SYMKEY", {168, 29, 197, 58, 226}, 139}};
  for (const auto& t : tags) {
    const std::vector<long> rows = peer.Walk(t.tag);
    ASSERT_EQ(270u, rows.size()) << t.tag;
    for (long n : rows) EXPECT_NE(0, n % 10) << t.tag;
    EXPECT_EQ(t.first, std::vector<long>(rows.begin(), rows.begin() + t.first.size())) << t.tag;
    EXPECT_EQ(t.last, rows.back()) << t.tag;
  }
  EXPECT_EQ(kOk, peer.Check());
}

}  // namespace
}  // namespace xbase
