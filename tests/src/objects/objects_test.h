#ifndef SYMBASE_TESTS_SRC_OBJECTS_OBJECTS_TEST_H
#define SYMBASE_TESTS_SRC_OBJECTS_OBJECTS_TEST_H

// What the object tests share: objects written as "address|symbol|comment",
// and the live rows of the base read back the same way.

#include <sstream>
#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace objects_test {

using Texts = std::vector<std::string>;

// The three fields of "address|symbol|comment"; missing ones empty.
inline Texts Fields(const std::string& object) {
  Texts fields;
  std::stringstream stream(object);
  for (std::string field; std::getline(stream, field, '|');) fields.push_back(field);
  fields.resize(3);
  return fields;
}

class ObjectsTest : public testing_support::SymbolBaseTest {
 protected:
  void CreateAll(const Texts& objects) {
    for (const std::string& object : objects) {
      const Texts f = Fields(object);
      Create(f[0].c_str(), f[1].c_str(), f[2].c_str());
    }
  }

  // The live rows in record order; a row has a live comment row exactly
  // when it is marked commented, and no other comment row is live.
  Texts Rows() {
    Texts rows;
    int commented = 0;
    for (const testing_support::MainRow& row : MainRows()) {
      if (row.deleted) continue;
      const std::string comment = CommentOf(row.key);
      EXPECT_EQ(comment == "<none>", row.iscmt != "O") << row.repere;
      commented += row.iscmt == "O" ? 1 : 0;
      rows.push_back(row.repere + "|" + row.symbole + "|" + (row.iscmt == "O" ? comment : ""));
    }
    xbase::Table* comments = base->m_commentTable;
    for (int r = xbase::TableTop(comments); r == 0; r = xbase::TableSkip(comments, 1)) {
      commented -= xbase::RecordIsDeleted(comments) == 0 ? 1 : 0;
    }
    EXPECT_EQ(commented, 0) << "live comment rows without their object";
    return rows;
  }
};

}  // namespace objects_test

#endif
