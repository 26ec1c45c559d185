#ifndef SYMBASE_LISTS_KEYED_WALK_H
#define SYMBASE_LISTS_KEYED_WALK_H

#include "lists/listed_row.h"

namespace symbase {

// Selects REPCLE_TAG and REPCMT_TAG and seeks both tables with `text`.
// *found receives the main table's result. 0 when both seeks ended quietly
// (a hit, 102 or 103), else the failing seek's code.
int SeekBothTables(CTBData& base, const char* text, int* found);

// The walk that the listings by key share: both tables positioned by one key,
// then the main rows listed in key order while they pass, each row marked
// "O" taking the comment row that is current on the comment table (the two
// tables are read in step, never searched).
class KeyedWalk {
 public:
  // Which rows pass, how many, and what their entries carry.
  struct Rule {
    // Leading characters of the key that a row's key must share: OBJET
    // alone (5), or the whole key of a sub-object listing.
    int matchLength = kObjetWidth;
    // A seek that stopped after the key (103) lists nothing.
    bool exactStart = false;
    // Rows up to this IND1 number only (signed comparison).
    bool hasLast = false;
    int lastInd1 = 0;
    unsigned int maximum = 0;
    // Type word: the IND1 number, or 0. Flag: the row's bit number, or -1.
    bool typeIsInd1 = true;
    bool flagIsBit = false;
  };

  KeyedWalk(CTBData& base, CObList* list) : base_(base), list_(list) {}

  // Builds the key text from the prefix and the numbers as BuildObjectKey
  // does (-1: absent), selects the tags and seeks both tables. 0, or the
  // failing seek's code.
  int Start(CString prefix, int bitFlag, int ind1, int ind2, int ind3);
  // Lists the rows that pass, from the current row on; each call adds to
  // listed(). 0, or the code of a failing move.
  int Run(const Rule& rule);

  // The main table's last seek or skip result: 0 when on a row.
  int position() const { return position_; }
  unsigned int listed() const { return listed_; }
  // The main table's current row, read after each move.
  const ListedRow& row() const { return row_; }
  const CString& key() const { return key_; }

 private:
  bool Passes(const Rule& rule) const;

  CTBData& base_;
  CObList* list_;
  CString key_;
  CString objet_;
  // False when the prefix or a number cannot appear in a stored key (letters
  // longer than OBJET, a number longer than its field): nothing passes.
  bool storable_ = false;
  ListedRow row_;
  int position_ = 0;
  unsigned int listed_ = 0;
};

}  // namespace symbase

#endif
