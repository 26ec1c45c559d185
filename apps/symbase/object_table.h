#ifndef SYMBASE_APPS_OBJECT_TABLE_H
#define SYMBASE_APPS_OBJECT_TABLE_H

// A table of objects in a file (CSV as people have it: "," ";" or tab,
// UTF-8, Windows-1252 or Latin-1), read and checked whole before anything
// is done with it: every bad row is found, with its line, column and field.

#include <string>
#include <vector>

#include "object_text.h"
#include "text.h"

namespace cli {

struct TableOptions {
  char delimiter = '\0';  // '\0': found from the header line
  Encoding encoding = Encoding::kUtf8;
  bool addresses_only = false;  // only the address column is read and checked
};

struct TableRow {
  int line;
  ObjectText object;  // in Windows-1252, checked as the base would keep it
};

struct RowProblem {
  int line;
  std::string message;  // "plant.csv:3:8: symbol \"4x\": not a symbol ..."
};

struct ObjectTable {
  std::string name;           // the path, or "<stdin>"
  std::size_t rows_read = 0;  // data rows, header and blank lines left out
  std::size_t bad_rows = 0;
  std::vector<TableRow> rows;  // the good rows, in file order
  std::vector<RowProblem> problems;
};

// Reads `path` ("-": stdin). The first line is the header naming the
// columns: address (or adresse, repère), symbol (symbole), comment
// (commentaire), in any order, address required. Within the file an address
// may come once and a symbol on one address only; a repeat is a bad row.
// Throws Failure when the file cannot be read or its header is not one.
ObjectTable ReadObjectTable(const std::string& path, const TableOptions& options);

// The problems on stderr, at most 20 unless --verbose, then their count.
void PrintProblems(const ObjectTable& table);

}  // namespace cli

#endif
