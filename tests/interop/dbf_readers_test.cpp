// Tables written by python-dbf read and appended to by us, and the peer
// engine's tables and .MDX files walked with our operations.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Runs a Python script with the system interpreter; its standard output.
std::string RunPython(const TempDir& dir, const std::string& script, int* status) {
  std::string path = dir.file("check.py");
  EXPECT_TRUE(WriteFileBytes(path, script));
  FILE* pipe = popen(("/usr/bin/python3 " + path + " 2>&1").c_str(), "r");
  std::string out;
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

TEST(DbfWrittenByPython, WeReadWhatPythonDbfWrote) {
  TempDir dir;
  int status = -1;
  std::string out = RunPython(dir,
                              R"(
import dbf
t = dbf.Table(')" + dir.file("PY.DBF") +
                                  R"(', 'NAME C(10); CITY C(20)', codepage='cp1252',
              dbf_type='db3')
t.open(dbf.READ_WRITE)
for name, city in (('Anne', 'Paris'), ('Bob', 'Orl\u00e9ans'), ('Carl', 'Lyon')):
    t.append((name, city))
dbf.delete(t[2])
t.close()
print('ok')
)",
                              &status);
  ASSERT_EQ(0, status) << out;
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
  out = RunPython(dir,
                  R"(
import dbf
t = dbf.Table(')" + dir.file("PY.DBF") +
                      R"(')
t.open(dbf.READ_ONLY)
print(len(t), t[3].name.rstrip())
)",
                  &status);
  EXPECT_EQ(0, status) << out;
  EXPECT_EQ("4 Dora\n", out);
}

// The peer engine's files: every tag walked with TagSelect/TableTop/TableSkip.
std::vector<long> WalkTag(Table* table, const char* name) {
  std::vector<long> rows;
  Tag* tag = TagGet(table, name);
  if (tag == nullptr) return rows;
  TagSelect(table, tag);
  for (int r = TableTop(table); r == kOk; r = TableSkip(table, 1)) {
    rows.push_back(TableRecordNumber(table));
  }
  return rows;
}

std::string Fixture(const std::string& folder, const std::string& file) {
  return std::string(SYMBASE_FIXTURE_DIR) + "/peer-mdx/" + folder + "/" + file;
}

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
    Session s;
    EngineInit(&s, 0, 0);
    s.auto_open = 0;
    Table* t = TableOpen(&s, Fixture(c.folder, "SYMTAB.DBF").c_str());
    ASSERT_NE(nullptr, t) << c.folder;
    ASSERT_NE(nullptr, IndexOpen(t, Fixture(c.folder, "SYMTAB.MDX").c_str())) << c.folder;
    EXPECT_EQ(7, TableRecordCount(t));
    EXPECT_EQ(c.order, WalkTag(t, c.tag)) << c.folder << " " << c.tag;
    ASSERT_EQ(kOk, TableGo(t, 3));
    EXPECT_EQ(1, RecordIsDeleted(t));
    EXPECT_EQ(kOk, IntegrityCheck(t, [](const std::string& p) { ADD_FAILURE() << p; }));
  }
  // The production flag opens the index with the table; seeks work on it.
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, Fixture("combined", "SYMTAB.DBF").c_str());
  ASSERT_NE(nullptr, t);
  TagSelect(t, TagGet(t, "symkey"));
  EXPECT_EQ(kOk, TableSeek(t, "\xC9t\xE9"));
  EXPECT_EQ(6, TableRecordNumber(t));
  EXPECT_EQ(kOk, TableSeek(t, "Mo"));  // a prefix of "Motor_on"
  EXPECT_EQ(1, TableRecordNumber(t));
  EXPECT_EQ(kAfter, TableSeek(t, "Mz"));  // lands on "Zeta"
  EXPECT_EQ(5, TableRecordNumber(t));
}

TEST(PeerFixtures, BigTableTagsAreWalkedInFull) {
  Session s;
  EngineInit(&s, 0, 0);
  Table* t = TableOpen(&s, Fixture("big", "BIGTAB.DBF").c_str());
  ASSERT_NE(nullptr, t) << s.error;
  EXPECT_EQ(300, TableRecordCount(t));
  for (const char* tag : {"OBJKEY", "REPKEY", "SYMKEY"}) {
    std::vector<long> forward = WalkTag(t, tag);
    EXPECT_EQ(270u, forward.size()) << tag;
    for (long n : forward) EXPECT_NE(0, n % 10) << tag;
  }
  std::vector<long> objkey = WalkTag(t, "OBJKEY");
  ASSERT_GE(objkey.size(), 12u);
  EXPECT_EQ((std::vector<long>{1, 101, 102, 103, 104, 105, 106, 107, 108, 109, 11, 111}),
            std::vector<long>(objkey.begin(), objkey.begin() + 12));
  EXPECT_EQ(99, objkey.back());
  std::vector<long> repkey = WalkTag(t, "REPKEY");
  EXPECT_EQ((std::vector<long>{273, 246, 219, 192, 165}),
            std::vector<long>(repkey.begin(), repkey.begin() + 5));
  EXPECT_EQ(27, repkey.back());
  std::vector<long> symkey = WalkTag(t, "SYMKEY");
  EXPECT_EQ((std::vector<long>{168, 29, 197, 58, 226}),
            std::vector<long>(symkey.begin(), symkey.begin() + 5));
  EXPECT_EQ(139, symkey.back());
  EXPECT_EQ(kOk, IntegrityCheck(t, [](const std::string& p) { ADD_FAILURE() << p; }));
}

}  // namespace
}  // namespace xbase
