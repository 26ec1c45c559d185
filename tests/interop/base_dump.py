#!/usr/bin/python3
"""Prints a dBASE table as two independent readers see it, for comparison.

usage: base_dump.py dbfread|dbf TABLE.DBF
Prints "ENCODING <name>", "FIELD <name> <type> <length>" lines, then one line
per record, "<D or L>|<field>|<field>..." with trailing blanks removed, text
decoded with the table's declared code page and written UTF-8: in record order
with dbf, the deleted records last with dbfread (it keeps them apart).
"""
import sys


def with_dbfread(path):
    import dbfread
    table = dbfread.DBF(path, load=True, char_decode_errors="strict")
    print("ENCODING", table.encoding)
    for field in table.fields:
        print("FIELD", field.name, field.type, field.length)
    for mark, records in (("L", table.records), ("D", table.deleted)):
        for record in records:
            print(mark + "|" + "|".join(str(v).rstrip() for v in record.values()))


def with_dbf(path):
    import dbf
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    print("ENCODING", table.codepage.name)
    for name in table.field_names:
        info = table.field_info(name)
        print("FIELD", name.upper(), chr(info.field_type), info.length)
    for record in table:
        values = [str(record[name]).rstrip() for name in table.field_names]
        print(("D" if dbf.is_deleted(record) else "L") + "|" + "|".join(values))
    table.close()


if __name__ == "__main__":
    {"dbfread": with_dbfread, "dbf": with_dbf}[sys.argv[1]](sys.argv[2])
