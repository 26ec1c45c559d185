#ifndef SYMBASE_APPS_GUI_RECENT_BASES_H
#define SYMBASE_APPS_GUI_RECENT_BASES_H

// The bases opened last, most recent first, kept in the editor's settings.

#include <QStringList>

namespace gui {

constexpr int kRecentBases = 6;

QStringList RecentBases();
// Puts `directory` first, once; the oldest beyond kRecentBases go.
void RememberBase(const QString& directory);
void ForgetBase(const QString& directory);

}  // namespace gui

#endif
