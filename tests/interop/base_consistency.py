#!/usr/bin/python3
"""Checks a symbol base with readers independent of symbase: every tag of the
four index files, as Perl's XBase::Index walks it, lists exactly the live rows
of its table, as python-dbf reads them, under their keys, in key order.

usage: base_consistency.py DIRECTORY
Prints "consistent" and exits 0, or prints each disagreement and exits 1.
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
    keys = []
    for number, record in enumerate(table, start=1):
        if dbf.is_deleted(record):
            continue
        text = "".join(
            str(record[name.lower()]).rstrip().ljust(widths[name.lower()]) for name in fields)
        keys.append((text.encode("cp1252").rstrip(b" "), number))
    table.close()
    return keys


def tag_entries(path):
    """(key bytes without trailing blanks, record number) of the file's one tag, in order."""
    lines = subprocess.run(
        ["/usr/bin/perl", os.path.join(os.path.dirname(__file__), "mdx_dump.pl"), path],
        check=True, capture_output=True, text=True).stdout.splitlines()
    entries = []
    for line in lines:
        if line.startswith("TAG "):
            continue
        key, record = line.split(" ")
        entries.append((bytes.fromhex(key).rstrip(b" \0"), int(record)))
    return entries


def main(directory):
    faults = []
    for (table, index), fields in TAGS.items():
        expected = sorted(live_keys(os.path.join(directory, table), fields))
        try:
            entries = tag_entries(os.path.join(directory, index))
        except subprocess.CalledProcessError as error:
            faults.append("%s: unreadable (%s)" % (index, error.stderr.strip()))
            continue
        if entries != sorted(entries):
            faults.append("%s: entries out of order" % index)
        missing = set(expected) - set(entries)
        extra = set(entries) - set(expected)
        for key, record in sorted(missing)[:5]:
            faults.append("%s: record %d (%r) missing" % (index, record, key))
        for key, record in sorted(extra)[:5]:
            faults.append("%s: entry of record %d (%r) has no such live row" % (index, record, key))
    for fault in faults:
        print(fault)
    if not faults:
        print("consistent")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
