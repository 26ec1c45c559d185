#ifndef SYMBASE_LISTS_RELATION_BATCH_H
#define SYMBASE_LISTS_RELATION_BATCH_H

#include "lists/listed_row.h"
#include "storage/relation.h"

// Listings over the storage object's current relation (the sorted symbol
// listing, the filtered export, the counting) in batches.

namespace symbase {

// Sub-object mode of the export's and the counting's filter: the object and
// its sub-objects together, by letter prefix.
constexpr int kObjectAndSubObjects = 2;

// What each entry of a relation batch carries: the IND1 number or 0 as its
// type word, the row's bit number or -1 as its flag.
struct EntryStyle {
  bool typeIsInd1;
  bool flagIsBit;
};

// Lists up to 50 rows of the current relation from its current row
// (`position`: 0 when the relation is on a row, 102 past its end), each
// with its comment sought by key on the comment table's selected
// REPCMT_TAG. When the relation ends within the batch, sets *finished,
// returns both tables to record order and frees the relation; otherwise
// leaves it open on the next row. 0, or a failing move's or comment seek's
// code (a row marked "O" without its comment row gives 103 or 102, the
// entry not appended).
int ListRelationBatch(CTBData& base, int position, const EntryStyle& style, CObList* list,
                      int* finished);

}  // namespace symbase

#endif
