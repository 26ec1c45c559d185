#ifndef SYMBASE_OBJECTS_FOUND_ROWS_H
#define SYMBASE_OBJECTS_FOUND_ROWS_H

#include <vector>

#include "storage/tb_data.h"

namespace symbase {

// The order the addresses a text search found are listed in: as found, by
// the symbol field, or by the address key (both as stored, then by record).
enum class FoundOrder { kAsFound, kBySymbol, kByKey };

// Reads the main-table rows found (record numbers, in the order found) and
// appends their addresses, trailing blanks cut, to `list` in `order`; with
// `commentedOnly`, rows not marked "O" in ISCMT are left out. The rows are
// read without moving the table, in one pass over it when they are many.
// Returns how many addresses were listed; a failing read is reported and
// the rows read before it are listed.
long ListFoundRows(CTBData& base, const std::vector<long>& records, FoundOrder order,
                   bool commentedOnly, CStringList& list);

}  // namespace symbase

#endif
