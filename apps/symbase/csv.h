#ifndef SYMBASE_APPS_CSV_H
#define SYMBASE_APPS_CSV_H

// Comma-separated values as RFC 4180 writes them: fields in double quotes may
// hold commas, line breaks and doubled quotes; lines end with CRLF or LF.

#include <string>
#include <vector>

namespace cli {

struct CsvRecord {
  int line;  // where the record starts, counted from 1
  std::vector<std::string> fields;
};

// Splits `text` into records; blank lines are skipped. Returns false, *error
// naming the line, for a quote inside an unquoted field, text after a closing
// quote or a quoted field left open at the end.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>* records, std::string* error);

// One record, fields quoted when they need it, ended by CRLF as RFC 4180 asks.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace cli

#endif
