#ifndef SYMBASE_MAINTENANCE_ROW_RULES_H
#define SYMBASE_MAINTENANCE_ROW_RULES_H

#include "maintenance/findings.h"
#include "xbase/engine.h"

// The rules of a symbol base that no index file holds, checked on the live
// rows of both tables: each row's key fields are those its address gives;
// ISCMT is "O" or blank; no address, key or symbol is carried twice; a
// commented address has exactly one comment row, and every comment row
// belongs to a commented address.

namespace symbase {

struct RowTables {
  xbase::Table* main;
  xbase::Table* comment;  // may be null: only the main table's rules are checked
};

// Key fields are derived from the addresses with the host's analyser and
// addressing mode. Faults become kRows findings. Returns 0, or the engine's failure when the rows
// cannot be read.
int CheckRowRules(const RowTables& tables, Findings* findings);

}  // namespace symbase

#endif
