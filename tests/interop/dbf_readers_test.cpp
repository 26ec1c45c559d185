// Tables written by python-dbf read and appended to by us, and the peer
// engine's tables and .MDX files walked with our operations.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/xbase_readers.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Runs a Python script on PY.DBF with the system interpreter; the lines it
// prints, errors included.
std::vector<std::string> RunPython(const TempDir& dir, const std::string& script) {
  const std::string path = dir.file("check.py");
  EXPECT_TRUE(
      WriteFileBytes(path, "import dbf\nt = dbf.Table('" + dir.file("PY.DBF") + "'" + script));
  return testing_support::CommandLines("/usr/bin/python3 " + path + " 2>&1");
}

TEST(DbfWrittenByPython, WeReadWhatPythonDbfWrote) {
  TempDir dir;
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
  Field* name = FieldGet(t, "NAME");
  Field* city = FieldGet(t, "CITY");
  ASSERT_NE(nullptr, name);
  ASSERT_NE(nullptr, city);
  EXPECT_EQ(20, FieldWidth(city));
  std::vector<std::string> rows;
  for (int r = TableTop(t); r == kOk; r = TableSkip(t, 1)) {
    char a[11], b[21];
    FieldCopy(name, a, sizeof a);
    FieldCopy(city, b, sizeof b);
    rows.push_back(std::string(a) + "|" + b + "|" + std::to_string(RecordIsDeleted(t)));
  }
  EXPECT_EQ((std::vector<std::string>{"Anne      |Paris               |0",
                                      "Bob       |Orl\xE9"
                                      "ans             |0",
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
// TagSelect/TableTop/TableSkip and its keys held against its rows.
struct PeerTable {
  PeerTable(const std::string& folder, const char* dbf, const char* index = nullptr) {
    const std::string path = std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + folder + "/";
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
  Session session;
  Table* table = nullptr;
};

TEST(PeerFixtures, SmallTablesListTheReadmeOrders) {
  const std::vector<long> by_key{6, 1, 5, 2, 4, 7};
  const std::vector<long> by_symbol{4, 7, 1, 5, 2, 6};
  struct Case {
    const char* folder;
    const char* tag;
    std::vector<long> order;
  };
  const Case cases[] = {{"objet", "OBJKEY", by_key},
                        {"repere", "REPKEY", by_key},
                        {"symbole", "SYMKEY", by_symbol},
                        {"combined", "OBJKEY", by_key},
                        {"combined", "REPKEY", by_key},
                        {"combined", "SYMKEY", by_symbol},
                        {"nofilter", "SYMKEY", {4, 7, 1, 3, 5, 2, 6}}};
  for (const Case& c : cases) {
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
