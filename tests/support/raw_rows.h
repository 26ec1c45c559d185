#ifndef SYMBASE_TESTS_SUPPORT_RAW_ROWS_H
#define SYMBASE_TESTS_SUPPORT_RAW_ROWS_H

// Rows written and read straight through the engine, past the library's key
// encoding: rows of an older base, a base whose comment rows were lost, and
// the live comment rows as they are stored.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/tb_data.h"
#include "support/expression_layout.h"
#include "xbase/engine.h"

namespace testing_support {

// A 22-character address key from its five fields, each blank-padded to its
// width (5, 5, 5, 5, 2): the bytes of a main row after its deletion flag.
inline std::string Key(const std::string& objet, const std::string& ind1,
                       const std::string& ind2 = "", const std::string& ind3 = "",
                       const std::string& ind4 = "") {
  return MainRecord({objet, ind1, ind2, ind3, ind4, "", "", "", false}).substr(1, 22);
}

// Appends a main row with the key of `key` (a Key() text), the address and
// the symbol; with a comment row under the same key and "O" in ISCMT when
// the comment is not empty.
inline void AppendRawObject(CTBData* base, const std::string& key, const char* repere,
                            const char* symbole = "", const char* comment = "") {
  ASSERT_EQ(key.size(), 22u);
  const std::string parts[5] = {key.substr(0, 5), key.substr(5, 5), key.substr(10, 5),
                                key.substr(15, 5), key.substr(20, 2)};
  if (*comment != '\0') {
    ASSERT_EQ(base->AppendComment(comment, parts[0].c_str(), parts[1].c_str(), parts[2].c_str(),
                                  parts[3].c_str(), parts[4].c_str()),
              0);
  }
  xbase::Table* table = base->m_mainTable;
  ASSERT_EQ(xbase::AppendStart(table, 0), 0);
  xbase::RecordBlank(table);
  xbase::Field* const fields[5] = {base->m_fieldObjet, base->m_fieldInd1, base->m_fieldInd2,
                                   base->m_fieldInd3, base->m_fieldInd4};
  for (int i = 0; i < 5; ++i) ASSERT_GE(xbase::FieldAssign(fields[i], parts[i].c_str()), 0);
  xbase::FieldAssign(base->m_fieldRepere, repere);
  xbase::FieldAssign(base->m_fieldSymbole, symbole);
  if (*comment != '\0') xbase::FieldAssign(base->m_fieldIsCmt, "O");
  ASSERT_EQ(xbase::RecordAppend(table), 0);
  ASSERT_EQ(xbase::TableUnlock(table), 0);
}

// The keys of the live comment rows, in record order.
inline std::vector<std::string> LiveCommentKeys(CTBData* base) {
  std::vector<std::string> keys;
  xbase::Table* table = base->m_commentTable;
  xbase::TagSelect(table, nullptr);
  for (int r = xbase::TableTop(table); r == 0; r = xbase::TableSkip(table, 1)) {
    if (xbase::RecordIsDeleted(table) != 0) continue;
    keys.push_back(std::string(base->FieldRaw(base->m_fieldCmtObjet, 5)) +
                   std::string(base->FieldRaw(base->m_fieldCmtInd1, 5)) +
                   std::string(base->FieldRaw(base->m_fieldCmtInd2, 5)) +
                   std::string(base->FieldRaw(base->m_fieldCmtInd3, 5)) +
                   std::string(base->FieldRaw(base->m_fieldCmtInd4, 2)));
  }
  return keys;
}

}  // namespace testing_support

#endif
