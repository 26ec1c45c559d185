#ifndef SYMBASE_APPS_GUI_INTEGRITY_H
#define SYMBASE_APPS_GUI_INTEGRITY_H

// The library's integrity check and repair of a base, with what they found
// or did kept as texts, and their results put into words for a person.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class CTBData;

namespace gui {

// One finding of the check, or one thing the repair did or could not mend.
struct Finding {
  int kind = 0;  // CTBCheckFinding::Kind
  QString file;  // "KR9S.MDX"
  QString text;  // the library's own words
};

struct Integrity {
  int result = 0;  // 0, 104, 109, 110 or a negative code (symbase/maintenance.h)
  std::vector<Finding> findings;
  QString reports;  // the library's error reports meanwhile, one a line
};

// The check and the repair of the base in `directory` (Windows-1252, ending
// with "/"); each gives the library's result and appends to *findings. The
// repair needs the base closed in `handle` and everywhere else.
int CheckFiles(CTBData* handle, const QByteArray& directory, std::vector<Finding>* findings);
int RepairFiles(CTBData* handle, const QByteArray& directory, std::vector<Finding>* findings);

// "index", "en-tête", "lignes", "réparé".
QString KindName(int kind);
// The check's result in a sentence or two.
QString CheckVerdict(const Integrity& check);
// The repair's result: done, done in part (rows remain), not done and why.
QString RepairVerdict(const Integrity& repair);
// Each index or header file the check found at fault, in words: "l'index
// KR9S.MDX est absent" (a file that is there but unreadable or wrong is
// "endommagé"); `directory` is where to look for the files.
QStringList RepairableFaults(const Integrity& check, const QString& directory);

}  // namespace gui

#endif
