// The last index of a main row, read by the field its family keeps it in.

#include <gtest/gtest.h>

#include "storage/base_files.h"
#include "support/symbol_base.h"

namespace {

class RowFields : public testing_support::SymbolBaseTest {};

TEST_F(RowFields, RowSubIndexReadsTheFamilysLastIndex) {
  const struct {
    const char* address;
    short index;  // -1: blank
  } cases[] = {
      {"%MW10:X5", 5},   {"%MW10", -1},   {"%IW3.1:X4", 4}, {"%I1.2", -1},
      {"%NW{2}5:X3", 3}, {"%NW{2}5", -1}, {"%X1.2.ERR", 3}, {"%X1.IN", -1},
  };
  for (const auto& c : cases) Create(c.address);
  xbase::TagSelect(base->m_mainTable, nullptr);
  long record = 1;
  for (const auto& c : cases) {
    ASSERT_EQ(xbase::TableGo(base->m_mainTable, record++), 0);
    EXPECT_EQ(base->RowSubIndex(base->FieldRaw(base->m_fieldObjet, symbase::kObjetWidth)), c.index)
        << c.address;
  }
}

}  // namespace
