#ifndef SYMBASE_TESTS_PLATFORM_XBASE_TABLE_TEST_UTIL_H
#define SYMBASE_TESTS_PLATFORM_XBASE_TABLE_TEST_UTIL_H

// Helpers of the table-engine tests: the main table of a symbol base with its
// three index files, rows built from short texts, and walks of an order.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "xbase/engine.h"

namespace xbase {
namespace testing_tables {

inline const FieldDefinition kMainFields[] = {
    {"OBJET", 'C', 5, 0},    {"IND1", 'C', 5, 0},  {"IND2", 'C', 5, 0},
    {"IND3", 'C', 5, 0},     {"IND4", 'C', 2, 0},  {"REPERE", 'C', 36, 0},
    {"SYMBOLE", 'C', 32, 0}, {"ISCMT", 'C', 1, 0}, {nullptr, 0, 0, 0}};

inline const TagDefinition kCleTag[] = {
    {"REPCLE_TAG", "OBJET+IND1+IND2+IND3+IND4", ".NOT. DELETED()", 0, 0},
    {nullptr, nullptr, nullptr, 0, 0}};
inline const TagDefinition kRepereTag[] = {{"REPERE_TAG", "REPERE", ".NOT. DELETED()", 0, 0},
                                           {nullptr, nullptr, nullptr, 0, 0}};
inline const TagDefinition kSymboleTag[] = {{"SYMBOLE_TAG", "SYMBOLE", ".NOT. DELETED()", 0, 0},
                                            {nullptr, nullptr, nullptr, 0, 0}};

struct Row {
  std::string objet, ind1, repere, symbole;
};

// The text of a field of the current row without its trailing blanks.
inline std::string Trimmed(Table* table, const char* field) {
  char buffer[300];
  FieldCopy(FieldGet(table, field), buffer, sizeof buffer);
  std::string s(buffer);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// A session holding the main table "KR9.DBF" of a directory and its three
// index files, created or opened.
struct MainTable {
  Session session;
  Table* table = nullptr;
  Tag* cle = nullptr;
  Tag* repere = nullptr;
  Tag* symbole = nullptr;

  explicit MainTable(const std::string& dir, bool create = true, FileSystem* fs = nullptr) {
    session.file_system = fs;
    EngineInit(&session, 0, 6300);
    session.auto_open = 0;
    session.safety = 0;
    const std::string dbf = dir + "/KR9.DBF";
    table = create ? TableCreate(&session, dbf.c_str(), kMainFields, nullptr)
                   : TableOpen(&session, dbf.c_str());
    if (table == nullptr) return;
    for (auto [file, tags] :
         {std::make_pair("KR9CLER.MDX", kCleTag), std::make_pair("KR9R.MDX", kRepereTag),
          std::make_pair("KR9S.MDX", kSymboleTag)}) {
      const std::string mdx = dir + "/" + file;
      create ? IndexCreate(table, mdx.c_str(), tags) : IndexOpen(table, mdx.c_str());
    }
    cle = TagGet(table, "REPCLE_TAG");
    repere = TagGet(table, "REPERE_TAG");
    symbole = TagGet(table, "SYMBOLE_TAG");
  }
  ~MainTable() { EngineEnd(&session); }

  bool ok() const { return table && cle && repere && symbole; }

  int Append(const Row& row) {
    int r = AppendStart(table, 0);
    if (r != kOk) return r;
    RecordBlank(table);
    Set("OBJET", row.objet);
    Set("IND1", row.ind1);
    Set("REPERE", row.repere);
    Set("SYMBOLE", row.symbole);
    return RecordAppend(table);
  }
  int Set(const char* field, const std::string& text) {
    return FieldAssign(FieldGet(table, field), text.c_str());
  }
  std::string Get(const char* field) { return Trimmed(table, field); }
  // Record numbers of the whole order of `tag` (null: record order), from
  // the top down or, `back`, from the bottom up.
  std::vector<long> Walk(Tag* tag, bool back = false) {
    std::vector<long> rows;
    TagSelect(table, tag);
    for (int r = back ? TableBottom(table) : TableTop(table); r == kOk;
         r = TableSkip(table, back ? -1 : 1)) {
      rows.push_back(TableRecordNumber(table));
    }
    return rows;
  }
  int Check(std::vector<std::string>* problems = nullptr) {
    return IntegrityCheck(table, [problems](const std::string& p) {
      if (problems) {
        problems->push_back(p);
      } else {
        ADD_FAILURE() << p;
      }
    });
  }
};

// "%MW<i>" rows: OBJET "MW", IND1 the number zero-padded to 5, symbol
// "S<i>" unless given.
inline Row NumberedRow(int i, const std::string& symbol = "") {
  const std::string n = std::to_string(i);
  const std::string ind1 = std::string(n.size() < 5 ? 5 - n.size() : 0, '0') + n;
  return Row{"MW", ind1, "%MW" + n, symbol.empty() ? "S" + n : symbol};
}

// Appends rows 1..`rows` (NumberedRow), each unlocked in turn, then deletes
// the rows `deleted`.
inline void Fill(MainTable& t, int rows, std::initializer_list<long> deleted = {}) {
  ASSERT_TRUE(t.ok());
  for (int i = 1; i <= rows; ++i) {
    ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
    ASSERT_EQ(kOk, TableUnlock(t.table));
  }
  for (long n : deleted) {
    ASSERT_EQ(kOk, TableGo(t.table, n));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  ASSERT_EQ(kOk, TableUnlock(t.table));
}

// Creates the main table of `dir` (on `fs`) filled as above, and closes it.
inline void Store(const std::string& dir, int rows, std::initializer_list<long> deleted = {},
                  FileSystem* fs = nullptr) {
  MainTable t(dir, true, fs);
  Fill(t, rows, deleted);
}

}  // namespace testing_tables
}  // namespace xbase

#endif
