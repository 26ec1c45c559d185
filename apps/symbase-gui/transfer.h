#ifndef SYMBASE_APPS_GUI_TRANSFER_H
#define SYMBASE_APPS_GUI_TRANSFER_H

// Import of a CSV symbol table through the library's insertion, which asks
// about each conflict in its confirmation dialog ("Oui pour Tous" and "Non
// pour Tous" remembered for the rest of the import), and export of the whole
// base to CSV.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "csv.h"

namespace gui {

class BaseSession;

struct ImportSummary {
  QString error;  // the file was refused: nothing was written
  int rows = 0;
  int added = 0;
  int replaced = 0;   // symbol or comment of an address changed
  int moved = 0;      // a symbol went from one address to another
  int kept = 0;       // conflicts where the base was kept
  int unchanged = 0;  // rows the base already held
  bool interrupted = false;
  int busyAt = 0;     // the line where the import stopped on a base another program kept busy
  QStringList moves;  // "Seuil_haut : %MW3 → %MW10"
  QStringList refusals;
};

// Called after each row with the rows done and the total; false stops the
// import before the next row.
using Progress = std::function<bool(int done, int total)>;

// Checks every row first (a bad address, symbol or comment refuses the whole
// file, naming its line), then inserts them one by one, asking about each
// conflict.
ImportSummary ImportRows(BaseSession& session, const std::vector<CsvRow>& rows,
                         const Progress& progress);
// What an import did, in a few lines.
QString SummaryText(const ImportSummary& summary);

// Writes every object, in address order, to `path` (replaced only once the
// whole file is written); "" when done, else why not.
QString ExportBase(BaseSession& session, const QString& path, const Progress& progress);

}  // namespace gui

#endif
