#ifndef SYMBASE_APPS_GUI_CSV_H
#define SYMBASE_APPS_GUI_CSV_H

// Symbol tables as CSV files: UTF-8, the header "address,symbol,comment"
// (or "repère,symbole,commentaire"), one object a row, read and written by
// the hosts' common CSV reader and writer with "," between fields; the
// comment column may be left out.

#include <QString>
#include <QStringList>
#include <vector>

namespace gui {

struct CsvRow {
  int line;  // where the row starts in the file, from 1
  QString address;
  QString symbol;
  QString comment;
};

// Files over this size are refused before they are read.
constexpr qint64 kLargestCsv = 64 * 1024 * 1024;

// The rows of a whole file; "" in *error, or what is wrong and on which line
// (and then no row).
std::vector<CsvRow> ParseCsv(const QByteArray& bytes, QString* error);
std::vector<CsvRow> ReadCsvFile(const QString& path, QString* error);

// One row of fields, quoted where needed, ended by CRLF.
QByteArray CsvLine(const QStringList& fields);

}  // namespace gui

#endif
