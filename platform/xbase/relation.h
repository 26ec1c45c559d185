#ifndef SYMBASE_XBASE_RELATION_H
#define SYMBASE_XBASE_RELATION_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/engine.h"
#include "xbase/expression.h"

// A relation over one table: the rows its query admits, in the table's
// selected order or by a sort expression, fixed when RelationTop runs.

namespace xbase {

class Relation {
 public:
  Table* table = nullptr;
  std::unique_ptr<Expression> query;  // null: every row
  std::unique_ptr<Expression> sort;   // null: the table's order
  int query_error = kOk;              // a malformed query or sort keeps its code here
  int sort_error = kOk;
  std::vector<std::uint32_t> rows;  // record numbers, in walk order
  std::string sort_keys;            // rows.size() keys of sort->width() bytes
  long position = -1;               // index into rows; rows.size() past the end
  std::string scratch;              // one record image
};

}  // namespace xbase

#endif
