#include "integrity.h"

#include <QFileInfo>
#include <memory>

#include "busy_words.h"
#include "symbase/maintenance.h"
#include "symbase/qt/text.h"
#include "symbase/results.h"

namespace gui {

namespace {

// Moves the library's records into *findings, freeing them.
void Take(CObList& list, std::vector<Finding>* findings) {
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBCheckFinding> record(static_cast<CTBCheckFinding*>(list.RemoveHead()));
    findings->push_back({record->m_kind, symbase_qt::FromCp1252(record->m_file),
                         symbase_qt::FromCp1252(record->m_text)});
  }
}

int CountOf(const Integrity& report, int kind) {
  int count = 0;
  for (const Finding& finding : report.findings) count += finding.kind == kind ? 1 : 0;
  return count;
}

}  // namespace

int CheckFiles(CTBData* handle, const QByteArray& directory, std::vector<Finding>* findings) {
  CObList list;
  const int result = TBCheckBaseSymbol(handle, directory.constData(), &list);
  Take(list, findings);
  return result;
}

int RepairFiles(CTBData* handle, const QByteArray& directory, std::vector<Finding>* findings) {
  CObList list;
  const int result = TBRepairBaseSymbol(handle, directory.constData(), &list);
  Take(list, findings);
  return result;
}

QString KindName(int kind) {
  switch (kind) {
    case CTBCheckFinding::kIndex:
      return QStringLiteral("index");
    case CTBCheckFinding::kHeader:
      return QStringLiteral("en-tête");
    case CTBCheckFinding::kRows:
      return QStringLiteral("lignes");
    case CTBCheckFinding::kRepaired:
      return QStringLiteral("réparé");
    default:
      return QStringLiteral("autre (%1)").arg(kind);
  }
}

QString CheckVerdict(const Integrity& check) {
  switch (check.result) {
    case 0:
      return QStringLiteral("La base est saine : la vérification n'a trouvé aucun défaut.");
    case TB_CHECK_REPAIRABLE:
      return QStringLiteral(
          "La base a des défauts que la réparation corrige : des fichiers tirés des tables "
          "(index, en-têtes) ne correspondent plus aux lignes. Réparer la base les refait à "
          "partir des tables.");
    case TB_CHECK_DAMAGED: {
      QString verdict = QStringLiteral(
          "Des lignes de la base enfreignent ses règles, ou un fichier n'a pas pu être lu : la "
          "réparation ne corrige pas cela, il faut examiner ce que la liste cite.");
      if (CountOf(check, CTBCheckFinding::kIndex) + CountOf(check, CTBCheckFinding::kHeader) > 0) {
        verdict += QStringLiteral(" La réparation corrige en revanche les index et les en-têtes.");
      }
      return verdict;
    }
    case TB_LOCKED_BY_OTHER:
      return BusyText(QStringLiteral("la vérification n'a pas pu se faire"));
    default:
      return QStringLiteral("La vérification a échoué :\n%1")
          .arg(FailureText(check.result, check.reports));
  }
}

QString RepairVerdict(const Integrity& repair) {
  const int done = CountOf(repair, CTBCheckFinding::kRepaired);
  switch (repair.result) {
    case 0:
      return done == 0 ? QStringLiteral("La base n'avait rien à réparer.")
                       : QStringLiteral(
                             "La base est réparée. Chaque fichier remplacé est gardé à côté "
                             "du nouveau, avec l'extension .bak.");
    case TB_CHECK_DAMAGED:
      return QStringLiteral(
          "La base est réparée en partie : les lignes citées enfreignent toujours ses règles, "
          "la réparation ne les corrige pas ; il faut les examiner.");
    case TB_LOCKED_BY_OTHER:
      return QStringLiteral(
          "La base est ouverte par un autre programme : la réparation, qui a besoin de la base "
          "pour elle seule, n'a pas été faite. Fermez la base ailleurs, puis réessayez.");
    default:
      return QStringLiteral(
                 "La réparation a échoué ; les fichiers sont restés tels qu'ils étaient :\n%1")
          .arg(FailureText(repair.result, repair.reports));
  }
}

QStringList RepairableFaults(const Integrity& check, const QString& directory) {
  QStringList faults;
  for (const Finding& finding : check.findings) {
    QString fault;
    if (finding.kind == CTBCheckFinding::kIndex) {
      fault = QFileInfo::exists(directory + '/' + finding.file)
                  ? QStringLiteral("l'index %1 est endommagé")
                  : QStringLiteral("l'index %1 est absent");
    } else if (finding.kind == CTBCheckFinding::kHeader) {
      fault = QStringLiteral("l'en-tête de la table %1 ne correspond pas au fichier");
    } else {
      continue;
    }
    fault = fault.arg(finding.file);
    if (!faults.contains(fault)) faults << fault;
  }
  return faults;
}

}  // namespace gui
