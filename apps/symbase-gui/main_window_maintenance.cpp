// The editor's check, repair and compaction of its base: long calls of the
// library (long_call.h), with what they found or did shown beside the editor
// in the findings window.

#include <QStatusBar>
#include <QTableView>

#include "busy_words.h"
#include "findings_window.h"
#include "gui_services.h"
#include "long_call.h"
#include "main_window.h"
#include "symbase/maintenance.h"
#include "symbase/results.h"

namespace gui {

namespace {

QString Listed(const QStringList& lines) { return QStringLiteral("– ") + lines.join("\n– "); }

using IntegrityCall = int (*)(CTBData*, const QByteArray&, std::vector<Finding>*);

// The check or the repair of the base in `directory`, as a long call.
Integrity Run(QWidget* parent, BaseSession& session, const QString& label, IntegrityCall call,
              const QString& directory) {
  Integrity report;
  const QByteArray path = LibraryPath(directory);
  const int first = session.ReportCount();
  report.result = RunLongCall(parent, session, label,
                              [&] { return call(session.Handle(), path, &report.findings); });
  report.reports = session.ReportsSince(first);
  return report;
}

}  // namespace

FindingsWindow* MainWindow::ShowFindings() {
  if (findings_ == nullptr) {
    findings_ = new FindingsWindow(this);
    connect(findings_, &FindingsWindow::repairAsked, this, [this] { RepairBase(); });
  }
  return findings_;
}

Integrity MainWindow::RunCheck(const QString& directory) {
  return Run(this, session_, QStringLiteral("Vérification de la base…"), CheckFiles, directory);
}

Integrity MainWindow::RunRepair(const QString& directory) {
  return Run(this, session_, QStringLiteral("Réparation de la base…"), RepairFiles, directory);
}

Integrity MainWindow::CheckBase() {
  if (!session_.IsOpen()) return Integrity();
  model_->FinishLoading();
  const QString directory = session_.Directory();
  const Integrity check = RunCheck(directory);
  model_->ShowMissingTexts();
  if (check.result == TB_LOCKED_BY_OTHER) {
    Tell(CheckVerdict(check));
  } else {
    ShowFindings()->ShowCheck(directory, check, !RepairableFaults(check, directory).isEmpty());
  }
  UpdateStatus();
  return check;
}

Integrity MainWindow::RepairBase() {
  if (!session_.IsOpen()) return Integrity();
  model_->FinishLoading();
  const QString directory = session_.Directory();
  const QModelIndexList selected = table_->selectionModel()->selectedRows();
  const QByteArray address =
      selected.isEmpty() ? QByteArray() : model_->AddressAt(selected.front().row());
  // The repair needs the base to itself: this handle lets it go first.
  CloseBase();
  const Integrity repair = RunRepair(directory);
  if (repair.result == TB_LOCKED_BY_OTHER) {
    Tell(RepairVerdict(repair));
  } else {
    ShowFindings()->ShowRepair(directory, repair);
  }
  const QString error = session_.Open(directory);
  if (error.isEmpty()) {
    ApplyView();
    if (!address.isEmpty()) SelectAddress(address);
  } else {
    Tell(error);
  }
  UpdateStatus();
  UpdateActions();
  return repair;
}

QString MainWindow::OfferRepair(const QString& directory, const QString& error, bool* told) {
  *told = false;
  const Integrity check = RunCheck(directory);
  if (check.result == TB_LOCKED_BY_OTHER) {
    return BusyText(QStringLiteral("la base « %1 » n'a pas pu être ouverte").arg(directory));
  }
  const QStringList faults = RepairableFaults(check, directory);
  if (faults.isEmpty()) {
    if (check.result == 0) return error;
    ShowFindings()->ShowCheck(directory, check, false);
    return QStringLiteral("La base « %1 » n'a pas pu être ouverte.\n%2")
        .arg(directory, CheckVerdict(check));
  }
  const QString why = QStringLiteral("La base « %1 » ne peut pas être ouverte :\n%2")
                          .arg(directory, Listed(faults));
  if (!services_.Ask(why +
                     QStringLiteral("\n\nLa réparation refait ces fichiers à partir des tables "
                                    "(chaque fichier remplacé est gardé avec l'extension .bak), "
                                    "puis la base s'ouvre. Réparer la base maintenant ?"))) {
    *told = true;
    return why;
  }
  const Integrity repair = RunRepair(directory);
  if (repair.result == TB_LOCKED_BY_OTHER) return RepairVerdict(repair);
  ShowFindings()->ShowRepair(directory, repair);
  return session_.Open(directory);
}

QString MainWindow::Compact() {
  if (!session_.IsOpen()) return QString();
  model_->FinishLoading();
  const QByteArray directory = LibraryPath(session_.Directory());
  CTBData* handle = session_.Handle();
  const int first = session_.ReportCount();
  const int result =
      RunLongCall(this, session_, QStringLiteral("Compactage de la base…"), [handle, &directory] {
        const int locked = TBLockBaseSymbol(handle);
        if (locked == 0) TBUnlockBaseSymbol(handle, directory.constData());
        return locked;
      });
  QString error;
  if (result == TB_LOCKED_BY_OTHER) {
    error = BusyText(QStringLiteral("elle n'a pas été compactée"));
  } else if (result == TB_ALREADY_LOCKED) {
    error = QStringLiteral("La base est déjà verrouillée.");
  } else if (result != 0 || session_.ReportCount() != first) {
    error = QStringLiteral("Le compactage a échoué :\n%1")
                .arg(FailureText(result, session_.ReportsSince(first)));
  }
  if (!error.isEmpty()) Tell(error);
  ApplyView();
  return error;
}

}  // namespace gui
