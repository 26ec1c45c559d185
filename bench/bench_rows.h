#ifndef SYMBASE_BENCH_BENCH_ROWS_H
#define SYMBASE_BENCH_BENCH_ROWS_H

// The rows of the benchmark: main-table rows of a symbol base with distinct
// addresses of four families (%MW<k>, %M<k>, %MW<w>:X<b>, %IW<m>.<c>:X<b>) and
// distinct symbols "SYM_<n>", in an order unrelated to any key.

#include <vector>

#include "storage/base_files.h"

namespace bench {

using symbase::kInd4Width;
using symbase::kIndWidth;
using symbase::kObjetWidth;
using symbase::kRepereWidth;
using symbase::kSymboleWidth;
constexpr int kCleKeyLength = symbase::kCommentKeyLength;

// Four families of 100 000 numbers each keep every index within its field.
constexpr long kMaxRows = 400000;

struct BenchRow {
  // Field texts as a caller writes them (no padding; empty when absent).
  char objet[kObjetWidth + 1];
  char ind1[kIndWidth + 1];
  char ind2[kIndWidth + 1];
  char ind3[kIndWidth + 1];
  char ind4[kInd4Width + 1];
  char repere[kRepereWidth + 1];
  char symbole[kSymboleWidth + 1];
  // Seek keys of the three tags, blank-padded to the full key length.
  char cle_key[kCleKeyLength + 1];
  char repere_key[kRepereWidth + 1];
  char symbole_key[kSymboleWidth + 1];
};

// Copies `length` bytes of `text` (at most `width`) to out and pads it with
// blanks to `width` bytes, then a NUL: a field as the table stores it.
void PadField(const char* text, int length, int width, char* out);

// `count` rows (1..kMaxRows) in a shuffled, reproducible insertion order.
std::vector<BenchRow> MakeRows(long count);

// A reproducible permutation of 0..count-1, unrelated to the insertion order:
// the order in which the seeks visit the rows.
std::vector<long> MakeSeekOrder(long count);

}  // namespace bench

#endif
