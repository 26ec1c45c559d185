#ifndef SYMBASE_LISTS_IO_SORT_KEY_H
#define SYMBASE_LISTS_IO_SORT_KEY_H

#include "symbase/afx.h"

// The key by which the I/O list of a module is ordered: the module's own
// elements first ("%CH..MOD" 1, "%I..MOD.ERR" 2, "%MW..MOD" by their IND2 and
// IND3), then by the number in IND2, for one number by object class and size
// letter, then by IND3 and IND4. Unsigned 32-bit arithmetic that wraps.

namespace symbase {

// What the address decoder gives for one element; emptied before each one.
struct DecodedRepere {
  CString objet;
  CString ind1;
  CString ind2;
  CString ind3;
  CString ind4;
};

// The number of an index text: leading blanks skipped, decimal digits read up
// to the first other character (none: 0); wraps past 4294967295.
DWORD IndexNumber(const CString& text);

// The key of one element. `work` holds the decoder's output afterwards.
DWORD IoSortKey(const CString& element, DecodedRepere& work);

}  // namespace symbase

#endif
