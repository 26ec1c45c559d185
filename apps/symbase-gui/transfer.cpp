#include "transfer.h"

#include <QSaveFile>
#include <memory>

#include "base_session.h"
#include "busy_words.h"
#include "fields.h"
#include "object_editor.h"
#include "symbase/qt/text.h"
#include "symbase/symbase.h"

namespace gui {

namespace {

constexpr int kAskEachConflict = 2;

QString Show(const QByteArray& text) { return symbase_qt::FromCp1252(text); }

// The file's rows as the base would store them; the first bad row refuses all.
std::vector<ObjectRow> CheckRows(const std::vector<CsvRow>& rows, QString* error) {
  std::vector<ObjectRow> checked;
  for (const CsvRow& row : rows) {
    const Field address = CheckAddress(row.address);
    const Field symbol = CheckSymbol(row.symbol);
    const Field comment = CheckComment(row.comment);
    for (const Field* field : {&address, &symbol, &comment}) {
      if (!field->ok()) {
        *error = QStringLiteral("ligne %1 : %2").arg(row.line).arg(field->error);
        return {};
      }
    }
    checked.push_back({address.value, symbol.value, comment.value});
  }
  return checked;
}

bool SameRow(const ObjectRow& a, const ObjectRow& b) {
  return a.symbol == b.symbol && a.comment == b.comment;
}

// Inserts one row and tells what it did, from the base before and after;
// false when the base was kept busy by another program: nothing was written.
bool InsertRow(BaseSession& session, const ObjectRow& row, ImportSummary* summary) {
  ObjectRow before;
  int looked = 0;
  const bool existed = LookUp(session, row.address, &before, &looked);
  if (looked == TB_LOCKED_BY_OTHER) return false;
  const QByteArray carrier = AddressOfSymbol(session, row.symbol);
  CTBObjetAts object(row.address.constData(), row.symbol.constData(), "", 0, -1);
  object.m_commentaire = row.comment.constData();
  const int first = session.ReportCount();
  const int result = TBInsertObject(session.Handle(), &object, kAskEachConflict);
  if (result == TB_LOCKED_BY_OTHER) return false;
  if (result == TB_INTERRUPTED) {
    summary->interrupted = true;
    return true;
  }
  if (session.ReportCount() != first || (result != 0 && result != TB_REFUSED)) {
    summary->refusals << QStringLiteral("%1 : %2").arg(
        Show(row.address), FailureText(result, session.ReportsSince(first)));
    return true;
  }
  ObjectRow after;
  const bool exists = LookUp(session, row.address, &after);
  if (!carrier.isEmpty() && carrier != row.address &&
      AddressOfSymbol(session, row.symbol) == row.address) {
    ++summary->moved;
    summary->moves
        << QStringLiteral("%1 : %2 → %3").arg(Show(row.symbol), Show(carrier), Show(row.address));
  } else if (!existed && exists) {
    ++summary->added;
  } else if (existed && exists && !SameRow(before, after)) {
    ++summary->replaced;
  } else if (existed && SameRow(before, row)) {
    ++summary->unchanged;
  } else {
    ++summary->kept;
  }
  return true;
}

}  // namespace

ImportSummary ImportRows(BaseSession& session, const std::vector<CsvRow>& rows,
                         const Progress& progress) {
  ImportSummary summary;
  const std::vector<ObjectRow> checked = CheckRows(rows, &summary.error);
  if (!summary.error.isEmpty()) return summary;
  summary.rows = static_cast<int>(checked.size());
  // Answers for all from an earlier import do not carry over.
  TBSetButtonAllPressed(session.Handle(), 0);
  for (std::size_t i = 0; i < checked.size() && !summary.interrupted; ++i) {
    if (!InsertRow(session, checked[i], &summary)) {
      summary.busyAt = rows[i].line;
      break;
    }
    if (progress && !progress(static_cast<int>(i) + 1, summary.rows)) summary.interrupted = true;
  }
  TBSetButtonAllPressed(session.Handle(), 0);
  return summary;
}

QString SummaryText(const ImportSummary& summary) {
  if (!summary.error.isEmpty()) {
    return QStringLiteral("Fichier refusé, rien n'a été écrit :\n%1").arg(summary.error);
  }
  QStringList lines;
  if (summary.busyAt != 0) {
    lines << BusyText(QStringLiteral("l'import s'est arrêté à la ligne %1, qui n'a pas été écrite")
                          .arg(summary.busyAt));
  }
  lines << QStringLiteral("%1 ligne(s) lue(s)%2.")
               .arg(summary.rows)
               .arg(summary.interrupted ? QStringLiteral(", import interrompu") : QString());
  lines << QStringLiteral(
               "Ajoutés : %1 ; remplacés : %2 ; déplacés : %3 ; conservés : %4 ; "
               "déjà présents : %5.")
               .arg(summary.added)
               .arg(summary.replaced)
               .arg(summary.moved)
               .arg(summary.kept)
               .arg(summary.unchanged);
  if (!summary.moves.isEmpty()) {
    lines << QStringLiteral("Symboles déplacés :") << summary.moves;
  }
  if (!summary.refusals.isEmpty()) {
    lines << QStringLiteral("Refusés par la base :") << summary.refusals;
  }
  return lines.join('\n');
}

QString ExportBase(BaseSession& session, const QString& path, const Progress& progress) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return QStringLiteral("%1 : %2").arg(path, file.errorString());
  }
  file.write(CsvLine({"address", "symbol", "comment"}));
  const long total = session.Count();
  long counter = 1;
  int finished = 0;
  int done = 0;
  const int first = session.ReportCount();
  while (finished == 0) {
    CObList list;
    const int result = TBExportSymbol(session.Handle(), CString(""), 0, &counter, &list, &finished);
    const bool empty = list.IsEmpty();
    while (!list.IsEmpty()) {
      std::unique_ptr<CTBObjetAts> record(static_cast<CTBObjetAts*>(list.RemoveHead()));
      const ObjectRow row = RowOf(*record);
      file.write(CsvLine({Show(row.address), Show(row.symbol), Show(row.comment)}));
      ++done;
    }
    if (result == TB_OUT_OF_RANGE) break;
    if (result != 0 || session.ReportCount() != first) {
      file.cancelWriting();
      if (result == TB_LOCKED_BY_OTHER)
        return BusyText(QStringLiteral("l'export n'a pas été fait"));
      return QStringLiteral("La lecture de la base a échoué :\n%1")
          .arg(FailureText(result, session.ReportsSince(first)));
    }
    if (empty && finished == 0) break;  // a locked base hands out nothing
    if (progress && !progress(done, static_cast<int>(total))) {
      file.cancelWriting();
      return QStringLiteral("Export interrompu ; le fichier n'a pas été écrit.");
    }
  }
  if (!file.commit()) return QStringLiteral("%1 : %2").arg(path, file.errorString());
  return QString();
}

}  // namespace gui
