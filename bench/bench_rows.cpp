#include "bench_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>

namespace bench {
namespace {

constexpr unsigned kRowSeed = 20240611;
constexpr unsigned kSeekSeed = 7;

// An index field: `value` in `radix`, zero-padded to `width` digits (module
// numbers are stored in base 32, every other index in decimal).
void Digits(long value, int radix, int width, char* out) {
  static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
  for (int i = width - 1; i >= 0; --i) {
    out[i] = kDigits[value % radix];
    value /= radix;
  }
  out[width] = '\0';
}

void Padded(const char* text, int width, char* out) {
  PadField(text, static_cast<int>(std::strlen(text)), width, out);
}

// Row `i` of the unshuffled list: family i % 4, number i / 4 in that family.
void FillAddress(long i, BenchRow* row) {
  const long k = i / 4;
  std::memset(row, 0, sizeof *row);
  switch (i % 4) {
    case 0:
      std::snprintf(row->objet, sizeof row->objet, "MW");
      Digits(k, 10, kIndWidth, row->ind1);
      std::snprintf(row->repere, sizeof row->repere, "%%MW%ld", k);
      break;
    case 1:
      std::snprintf(row->objet, sizeof row->objet, "MX");
      Digits(k, 10, kIndWidth, row->ind1);
      std::snprintf(row->repere, sizeof row->repere, "%%M%ld", k);
      break;
    case 2:
      std::snprintf(row->objet, sizeof row->objet, "MWX");
      Digits(k / 16, 10, kIndWidth, row->ind1);
      Digits(k % 16, 10, kIndWidth, row->ind2);
      std::snprintf(row->repere, sizeof row->repere, "%%MW%ld:X%ld", k / 16, k % 16);
      break;
    default:
      std::snprintf(row->objet, sizeof row->objet, "VIWX");
      Digits(k / 512, 32, kIndWidth, row->ind1);
      Digits(k / 16 % 32, 10, kIndWidth, row->ind2);
      Digits(0, 10, kIndWidth, row->ind3);
      Digits(k % 16, 10, kInd4Width, row->ind4);
      std::snprintf(row->repere, sizeof row->repere, "%%IW%ld.%ld:X%ld", k / 512, k / 16 % 32,
                    k % 16);
      break;
  }
}

void FillKeys(BenchRow* row) {
  char* key = row->cle_key;
  Padded(row->objet, kObjetWidth, key);
  Padded(row->ind1, kIndWidth, key + kObjetWidth);
  Padded(row->ind2, kIndWidth, key + kObjetWidth + kIndWidth);
  Padded(row->ind3, kIndWidth, key + kObjetWidth + 2 * kIndWidth);
  Padded(row->ind4, kInd4Width, key + kObjetWidth + 3 * kIndWidth);
  Padded(row->repere, kRepereWidth, row->repere_key);
  Padded(row->symbole, kSymboleWidth, row->symbole_key);
}

std::vector<long> Permutation(long count, unsigned seed) {
  std::vector<long> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0L);
  std::mt19937 random(seed);
  std::shuffle(order.begin(), order.end(), random);
  return order;
}

}  // namespace

void PadField(const char* text, int length, int width, char* out) {
  if (length > width) length = width;
  std::memcpy(out, text, static_cast<std::size_t>(length));
  std::memset(out + length, ' ', static_cast<std::size_t>(width - length));
  out[width] = '\0';
}

std::vector<BenchRow> MakeRows(long count) {
  const std::vector<long> symbols = Permutation(count, kRowSeed + 1);
  const std::vector<long> order = Permutation(count, kRowSeed);
  std::vector<BenchRow> rows(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    BenchRow& row = rows[i];
    FillAddress(order[i], &row);
    std::snprintf(row.symbole, sizeof row.symbole, "SYM_%ld", symbols[order[i]]);
    FillKeys(&row);
  }
  return rows;
}

std::vector<long> MakeSeekOrder(long count) { return Permutation(count, kSeekSeed); }

}  // namespace bench
