#ifndef SYMBASE_RECONF_ROW_RANGE_H
#define SYMBASE_RECONF_ROW_RANGE_H

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

// Walks over runs of rows in address-key order, shared by the deletions of
// the reconfiguration. The comment table is walked in step with the main
// table: each commented main row consumes the comment row current at that
// moment, so no comment row is searched for in the usual case.

namespace symbase {

// The 22-character address key of a current row (OBJET, IND1, IND2, IND3,
// IND4 as stored, blanks included), NUL-ended. Read through fixed buffers.
struct RowKey {
  char text[kCommentKeyLength + 1];
};

void ReadMainRowKey(CTBData& base, RowKey* key);
void ReadCommentRowKey(CTBData& base, RowKey* key);
// True when the main table's current row has "O" in ISCMT.
bool MainRowCommented(CTBData& base);

// The rows from `key` on, in REPCLE_TAG order, whose first `span` key
// characters equal the key's first `span` characters.
struct RowRange {
  CString key;
  int span;
  // Only a seek that finds the key starts the walk; one that stops after it
  // (103) deletes nothing.
  bool exactStart;
  // Rows whose IND2 reads 9998 or 9999 (the IN and OUT steps of a
  // macro-step) stay.
  bool keepInOut;
};

// Selects REPCLE_TAG on the main table and REPCMT_TAG on the comment table,
// seeks both with the range's key and marks deleted every main row of the
// range with its comment row. A comment table found out of step with the
// main row (a base whose pairing was broken elsewhere) is sought again by the
// row's key rather than losing another row's comment.
// Returns 0 once the range is passed (the tags stay selected), or the first
// seek or skip result other than 0, 102 and 103.
int DeleteRowRange(CTBData& base, const RowRange& range);

// Record-number order on both tables.
void SelectRecordOrder(CTBData& base);

// Ends a walk over the current relation: record-number order on the main
// table, the relation freed (its slot emptied). Returns `result`.
int EndRelationWalk(CTBData& base, int result);

// Writes what the operation changed in both tables and frees the write
// locks it took, so that other processes see the change and may write.
// Returns `result` when it is not 0, else the first failed unlock's code.
int ReleaseTables(CTBData& base, int result);

// The result of an engine write: a lock held by another process gives 104.
inline int WriteResult(int result) {
  return result == xbase::kLocked ? TB_LOCKED_BY_OTHER : result;
}

// The comment deletion of the single-object operations, with the result of
// its deletion mark, which it does not look at itself: the mark is the last
// engine call it makes, so the session still holds that call's result.
int DeleteCommentRow(CTBData& base, const char* key);

// Results that only tell where a seek or walk stands: 0, 102, 103.
inline bool IsPosition(int result) {
  return result == 0 || result == TB_NO_ROW || result == TB_KEY_NOT_FOUND;
}

}  // namespace symbase

#endif
