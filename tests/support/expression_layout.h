#ifndef SYMBASE_TESTS_SUPPORT_EXPRESSION_LAYOUT_H
#define SYMBASE_TESTS_SUPPORT_EXPRESSION_LAYOUT_H

#include <string>
#include <vector>

#include "xbase/expression.h"

// The main symbol table's record layout, for expression tests and the
// expression fuzz target: byte 0 is the deletion flag, then the eight fields.

namespace testing_support {

constexpr std::size_t kMainRecordLength = 92;

inline std::vector<xbase::ExpressionField> MainLayout() {
  return {{"OBJET", 1, 5}, {"IND1", 6, 5},     {"IND2", 11, 5},     {"IND3", 16, 5},
          {"IND4", 21, 2}, {"REPERE", 23, 36}, {"SYMBOLE", 59, 32}, {"ISCMT", 91, 1}};
}

// The fields of a main row; each text is blank-padded (or cut) to its field's width.
struct MainFields {
  std::string objet, ind1, ind2, ind3, ind4, repere, symbole, iscmt;
  bool deleted = false;
};

inline std::string MainRecord(const MainFields& row) {
  std::string record(kMainRecordLength, ' ');
  record[0] = row.deleted ? '*' : ' ';
  const std::string* values[] = {&row.objet, &row.ind1,   &row.ind2,    &row.ind3,
                                 &row.ind4,  &row.repere, &row.symbole, &row.iscmt};
  const std::vector<xbase::ExpressionField> layout = MainLayout();
  for (std::size_t i = 0; i < layout.size(); ++i) {
    values[i]->copy(&record[layout[i].offset], layout[i].width);
  }
  return record;
}

}  // namespace testing_support

#endif
