#ifndef SYMBASE_APPS_GUI_BUSY_WORDS_H
#define SYMBASE_APPS_GUI_BUSY_WORDS_H

// What the editor says when the library gives up on a base that another
// program keeps busy past its wait (104), and when a call fails otherwise.

#include <QString>

namespace gui {

// "La base est occupée par un autre programme…", with what was not done
// ("la modification n'a pas été faite") when given.
QString BusyText(const QString& notDone = QString());

// A failed call of the library: 104 in words, otherwise the reports it made
// (its result when it made none).
QString FailureText(int result, const QString& reports);

}  // namespace gui

#endif
