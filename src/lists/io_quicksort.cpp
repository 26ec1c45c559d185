// The quicksort of the I/O list.

#include "lists/io_quicksort.h"

#include <utility>

namespace symbase {
namespace {

void Exchange(CString* texts, DWORD* keys, INT_PTR a, INT_PTR b) {
  std::swap(texts[a], texts[b]);
  std::swap(keys[a], keys[b]);
}

// Elements up to the pivot's key gather on the left, greater ones on the
// right; the pivot then takes the last place of the left part.
INT_PTR Partition(CString* texts, DWORD* keys, INT_PTR lo, INT_PTR hi) {
  const DWORD pivot = keys[lo];
  INT_PTR i = lo + 1;
  INT_PTR j = hi;
  while (i <= j) {
    if (keys[i] <= pivot) {
      ++i;
    } else if (keys[j] > pivot) {
      --j;
    } else {
      Exchange(texts, keys, i, j);
    }
  }
  Exchange(texts, keys, lo, j);
  return j;
}

}  // namespace

void SortByKey(CString* texts, DWORD* keys, INT_PTR lo, INT_PTR hi) {
  // The two sides of a pivot are disjoint, so sorting the smaller one first
  // gives the same result as left-then-right and bounds the recursion.
  while (hi > lo) {
    const INT_PTR p = Partition(texts, keys, lo, hi);
    if (p - lo < hi - p) {
      SortByKey(texts, keys, lo, p - 1);
      lo = p + 1;
    } else {
      SortByKey(texts, keys, p + 1, hi);
      hi = p - 1;
    }
  }
}

}  // namespace symbase
