#!/usr/bin/python3
"""usage: base_consistency.py DIRECTORY: checks a symbol base with readers
independent of symbase. Every tag of the four index files, as Perl's
XBase::Index walks it, must list exactly the live rows of its table, as
python-dbf reads them, under their keys, in key order. Prints "consistent" and
exits 0, or prints each disagreement and exits 1.
"""
import os
import subprocess
import sys

import dbf

KEY = ["OBJET", "IND1", "IND2", "IND3", "IND4"]
TAGS = {
    ("KR9.DBF", "KR9CLER.MDX"): KEY,
    ("KR9.DBF", "KR9R.MDX"): ["REPERE"],
    ("KR9.DBF", "KR9S.MDX"): ["SYMBOLE"],
    ("KR9CMT.DBF", "KR9CMTR.MDX"): KEY,
}


def live_keys(path, fields):
    """(key bytes without trailing blanks, record number) of each live row."""
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    widths = {name.lower(): table.field_info(name).length for name in table.field_names}
    keys = [("".join(str(record[name.lower()]).rstrip().ljust(widths[name.lower()])
                     for name in fields).encode("cp1252").rstrip(b" "), number)
            for number, record in enumerate(table, start=1) if not dbf.is_deleted(record)]
    table.close()
    return keys


def tag_entries(path):
    """(key bytes without trailing blanks, record number) of the file's one tag, in order."""
    lines = subprocess.run(
        ["/usr/bin/perl", os.path.join(os.path.dirname(__file__), "mdx_dump.pl"), path],
        check=True, capture_output=True, text=True).stdout.splitlines()
    return [(bytes.fromhex(key).rstrip(b" \0"), int(record))
            for key, record in (line.split(" ") for line in lines if not line.startswith("TAG "))]


def main(directory):
    faults = []
    for (table, index), fields in TAGS.items():
        expected = set(live_keys(os.path.join(directory, table), fields))
        try:
            entries = tag_entries(os.path.join(directory, index))
        except subprocess.CalledProcessError as error:
            faults.append("%s: unreadable (%s)" % (index, error.stderr.strip()))
            continue
        if entries != sorted(entries):
            faults.append("%s: entries out of order" % index)
        for key, record in sorted(expected - set(entries))[:5]:
            faults.append("%s: record %d (%r) missing" % (index, record, key))
        for key, record in sorted(set(entries) - expected)[:5]:
            faults.append("%s: entry of record %d (%r) has no such live row" % (index, record, key))
    print("\n".join(faults) if faults else "consistent")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
