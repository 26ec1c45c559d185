#ifndef SYMBASE_LISTS_IO_QUICKSORT_H
#define SYMBASE_LISTS_IO_QUICKSORT_H

#include "symbase/afx.h"

namespace symbase {

// Sorts texts[lo..hi] and keys[lo..hi] together by ascending key with the
// workshop's quicksort: the first element of a range is its pivot and the
// partition walks from both ends. Not stable: the order of equal keys is the
// one these steps give, which hosts have always seen, so it is kept exactly.
// Nothing happens when hi <= lo. Stack depth stays logarithmic; already
// ordered or all-equal keys take quadratic time, as they always have.
void SortByKey(CString* texts, DWORD* keys, INT_PTR lo, INT_PTR hi);

}  // namespace symbase

#endif
