#include "busy_words.h"

#include "symbase/results.h"

namespace gui {

QString BusyText(const QString& notDone) {
  QString text = QStringLiteral("La base est occupée par un autre programme");
  if (!notDone.isEmpty()) text += QStringLiteral(" : ") + notDone;
  return text + QStringLiteral(". Réessayez dans un moment.");
}

QString FailureText(int result, const QString& reports) {
  if (result == TB_LOCKED_BY_OTHER) return BusyText();
  return reports.isEmpty() ? QStringLiteral("résultat %1").arg(result) : reports;
}

}  // namespace gui
