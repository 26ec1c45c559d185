#!/bin/sh
# The command-line host against the sqlite3 shell on one CSV file: import
# into an empty base (symbase import) and into an empty table with the same
# three indexes (.import, WAL, synchronous=OFF), then the whole export as CSV.
# Prints the median of RUNS runs of each, in seconds, and the ratios.
# Usage: cli_bench.sh SYMBASE [ROWS] [RUNS]
set -eu
symbase=$1
rows=${2:-100000}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Words %MW0 to %MW<ROWS - 1> (at most 100000: the highest word is %MW99999).
awk -v n="$rows" 'BEGIN {
  print "address,symbol,comment"
  for (i = 0; i < n && i < 100000; i++) printf "%%MW%d,Word_%d,Comment of word %d\n", i, i, i
}' > "$work/in.csv"
cat > "$work/schema.sql" <<SQL
PRAGMA journal_mode=WAL;
PRAGMA synchronous=OFF;
CREATE TABLE objects(address TEXT PRIMARY KEY, symbol TEXT, comment TEXT);
CREATE UNIQUE INDEX by_symbol ON objects(symbol) WHERE symbol <> '';
CREATE INDEX by_kind ON objects(substr(address, 1, 3));
.mode csv
.import --skip 1 $work/in.csv objects
SQL

seconds() {  # runs "$@" once; prints its wall time
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for run in $(seq "$runs"); do
  rm -rf "$work/base" "$work/sq.db" "$work/sq.db-wal" "$work/sq.db-shm"
  "$symbase" -q create "$work/base"
  seconds "$symbase" -q import "$work/base" "$work/in.csv" >> "$work/import.sym"
  seconds sqlite3 "$work/sq.db" ".read $work/schema.sql" >> "$work/import.sql"
  # Each export on a quiet disk: what the imports left dirty is written out
  # first, not while whichever export comes next is timed.
  sync
  seconds "$symbase" export "$work/base" >> "$work/export.sym"
  sync
  seconds sqlite3 -csv -header "$work/sq.db" "SELECT * FROM objects ORDER BY address" \
    >> "$work/export.sql"
done
for phase in import export; do
  mine=$(median < "$work/$phase.sym")
  theirs=$(median < "$work/$phase.sql")
  awk -v p="$phase" -v a="$mine" -v b="$theirs" \
    'BEGIN { printf "%-7s symbase %.3f s  sqlite3 %.3f s  ratio %.2f\n", p, a, b, a / b }'
done
