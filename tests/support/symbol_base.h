#ifndef SYMBASE_TESTS_SUPPORT_SYMBOL_BASE_H
#define SYMBASE_TESTS_SUPPORT_SYMBOL_BASE_H

// A fresh symbol base for each test, with helpers to fill it and to read its
// rows back through the engine (for the library's test folders: they link it).

#include <sstream>
#include <string>
#include <vector>

#include "storage/tb_data.h"
#include "support/host_reports.h"
#include "support/temp_dir.h"
#include "symbase/tabis.h"
#include "xbase/engine.h"

namespace testing_support {

// One main row as stored, trailing blanks removed except in `key`.
struct MainRow {
  bool deleted;
  std::string key;  // OBJET+IND1+IND2+IND3+IND4, 22 characters
  std::string repere;
  std::string symbole;
  std::string iscmt;
};

// A string list's texts, in order.
inline std::vector<std::string> ListTexts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION at = list.GetHeadPosition(); at != nullptr;) texts.emplace_back(list.GetNext(at));
  return texts;
}

// An object's members as "address|symbol|comment|type|flag".
inline std::string ObjectText(const CTBObjetAts& o) {
  return std::string(o.m_repere) + "|" + std::string(o.m_symbole) + "|" +
         std::string(o.m_commentaire) + "|" + std::to_string(o.m_type) + "|" +
         std::to_string(o.m_flag);
}

// The object of "address|symbol|comment", missing fields empty, the comment whole.
inline CTBObjetAts ObjectFrom(const std::string& text) {
  std::vector<std::string> f;
  std::stringstream stream(text);
  for (std::string field; std::getline(stream, field, '|');) f.push_back(field);
  f.resize(3);
  CTBObjetAts object(f[0].c_str(), f[1].c_str(), "", 0, -1);
  object.m_commentaire = f[2].c_str();
  return object;
}

class SymbolBaseTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    TBInitTabisDll(&base);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(TBCreateBaseSymbol(base, dir.slash().c_str(), 0), 0);
    ASSERT_TRUE(HostErrorReports().empty());
  }

  // Every failure the library reports reaches the host's error service; a
  // test that expects one checks and clears it, so none may be left here.
  void TearDown() override {
    EXPECT_THAT(HostErrorReports(), ::testing::IsEmpty());
    CheckIntegrity();
    TBCloseBaseSymbol(base);
    TBFreeTabisDll(base);
    HostTest::TearDown();
  }

  // Creates an object; fails the test unless that succeeds.
  void Create(const char* repere, const char* symbole = "", const char* comment = "") {
    CTBObjetAts object(repere, symbole, comment, 0, -1);
    object.m_commentaire = comment;  // kept whole, blanks included
    ASSERT_EQ(TBCreateObject(base, &object), 0) << repere;
  }
  // Creates each "address|symbol|comment" as ObjectFrom reads it.
  void CreateAll(const std::vector<std::string>& objects) {
    for (const std::string& text : objects) {
      CTBObjetAts object = ObjectFrom(text);
      ASSERT_EQ(TBCreateObject(base, &object), 0) << text;
    }
  }
  void Delete(const std::string& repere) {
    CTBObjetAts gone(repere.c_str(), "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0) << repere;
  }

  // Every main row in record order.
  std::vector<MainRow> MainRows() {
    std::vector<MainRow> rows;
    xbase::Table* table = base->m_mainTable;
    xbase::TagSelect(table, nullptr);
    for (int r = xbase::TableTop(table); r == 0; r = xbase::TableSkip(table, 1)) {
      rows.push_back({xbase::RecordIsDeleted(table) != 0, std::string(base->MainRowCommentKey()),
                      std::string(base->FieldText(base->m_fieldRepere, 36)),
                      std::string(base->FieldText(base->m_fieldSymbole, 32)),
                      std::string(base->FieldText(base->m_fieldIsCmt, 1))});
    }
    return rows;
  }

  // The live main row of an address; fails the test when there is not one.
  MainRow LiveRow(const std::string& repere) {
    std::vector<MainRow> found;
    for (const MainRow& row : MainRows()) {
      if (!row.deleted && row.repere == repere) found.push_back(row);
    }
    EXPECT_EQ(found.size(), 1u) << repere;
    return found.empty() ? MainRow{} : found[0];
  }

  int LiveRowCount() {
    int count = 0;
    for (const MainRow& row : MainRows()) count += row.deleted ? 0 : 1;
    return count;
  }

  // The comment stored under a 22-character key; "<none>" without a live row.
  std::string CommentOf(const std::string& key) {
    CString comment;
    if (base->ReadCommentByKey(comment, key.c_str()) != 0) return "<none>";
    return std::string(comment);
  }

  // Both tables and their index files agree with each other.
  void CheckIntegrity() {
    for (xbase::Table* table : {base->m_mainTable, base->m_commentTable}) {
      if (table == nullptr) continue;
      std::string problems;
      xbase::IntegrityCheck(table, [&](const std::string& p) { problems += p + "\n"; });
      EXPECT_EQ(problems, "");
    }
  }

  TempDir dir;
  CTBData* base = nullptr;
};

}  // namespace testing_support

#endif
