#ifndef SYMBASE_LISTS_LISTED_ROW_H
#define SYMBASE_LISTS_LISTED_ROW_H

#include <memory>

#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

// What the listings share: the main table's current row read into fixed
// buffers (so a listing allocates nothing per row but the entries it hands
// out), the entries themselves, and the comment that goes with a row.

namespace symbase {

// The most entries one call of a batch listing hands out.
constexpr int kBatchSize = 50;

// Seek and walk outcomes that end a listing quietly: a hit, the end of the
// order, or a seek that stopped after its key.
inline bool EndsQuietly(int result) {
  return result == 0 || result == TB_NO_ROW || result == TB_KEY_NOT_FOUND;
}

class ListedRow {
 public:
  // Reads the main table's current row: the five key fields, REPERE,
  // SYMBOLE and ISCMT. A field that cannot be read reads as blanks.
  void Read(CTBData& base);

  // OBJET + IND1 + IND2 + IND3 + IND4 as stored: 22 characters.
  const char* key() const { return key_; }
  const char* objet() const { return objet_; }
  const char* repere() const { return repere_; }
  const char* symbole() const { return symbole_; }
  bool HasComment() const { return iscmt_[0] == 'O'; }
  // True when the row's key begins with the `length` first characters of
  // `text` (length at most 22; a longer text never matches).
  bool KeyBeginsWith(const CString& text, int length) const;
  // IND1 read as a decimal number (leading blanks skipped, up to the first
  // non-digit): what the type word of an entry holds.
  int Ind1Number() const;
  // The number whose IND1 text, as the key builder writes it, is this row's:
  // the decimal number, or for module objects the base-32 value unless
  // decimal module numbering is in force.
  int Ind1Resume() const;

 private:
  char key_[kCommentKeyLength + 1] = {};
  char objet_[kObjetWidth + 1] = {};
  char repere_[kRepereWidth + 1] = {};
  char symbole_[kSymboleWidth + 1] = {};
  char iscmt_[kIsCmtWidth + 1] = {};
};

// A new entry for the row: its address and symbol, cut at their first blank,
// an empty comment, type 0 and flag -1; the caller adjusts type and flag.
std::unique_ptr<CTBObjetAts> NewEntry(const ListedRow& row);
// Hands the entry over to the caller's list.
void Append(CObList* list, std::unique_ptr<CTBObjetAts> entry);

// The comment of a row read in step: the comment table's current row is the
// row's own. When the row has a comment, reads it into the entry and moves
// the comment table on by one. 0, or the failure of that move.
int TakeCommentInStep(CTBData& base, const ListedRow& row, CTBObjetAts* entry);
// The comment of a row sought by its key on REPCMT_TAG (selected by the
// caller). 0, or the seek's result (103 or 102 when the row has no comment
// row) with the entry untouched.
int TakeCommentByKey(CTBData& base, const ListedRow& row, CTBObjetAts* entry);

// The comment of a row of a walk in key order that the comment table, on
// REPCMT_TAG, follows: as TakeCommentByKey, but without the seek when the
// comment table's current row is the row's first comment row (it has the
// row's key, and the comment row before it, taken for `previous`, another
// key). Leaves the comment table on the next comment row and `previous` on
// the key taken; `previous` empty at the start of a walk.
int TakeCommentFollowing(CTBData& base, const ListedRow& row,
                         char (&previous)[kCommentKeyLength + 1], CTBObjetAts* entry);

// Selects REPCLE_TAG on the main table and REPCMT_TAG on the comment table,
// or record-number order on both.
void SelectKeyTags(CTBData& base);
void ClearTags(CTBData& base);

}  // namespace symbase

#endif
