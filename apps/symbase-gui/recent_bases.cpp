#include "recent_bases.h"

#include <QSettings>

namespace gui {

namespace {

constexpr char kKey[] = "recentBases";

void Store(const QStringList& bases) { QSettings().setValue(kKey, bases); }

}  // namespace

QStringList RecentBases() { return QSettings().value(kKey).toStringList().mid(0, kRecentBases); }

void RememberBase(const QString& directory) {
  QStringList bases = RecentBases();
  bases.removeAll(directory);
  bases.prepend(directory);
  Store(bases.mid(0, kRecentBases));
}

void ForgetBase(const QString& directory) {
  QStringList bases = RecentBases();
  bases.removeAll(directory);
  Store(bases);
}

}  // namespace gui
