#include "object_editor.h"

#include "base_session.h"
#include "busy_words.h"
#include "fields.h"
#include "symbase/qt/text.h"
#include "symbase/symbase.h"

namespace gui {

namespace {

enum ModifyMode { kSymbolOnly = 0, kCommentOnly = 1 };

QString Show(const QByteArray& text) { return symbase_qt::FromCp1252(text); }

// The words for a result of the library; the reports it made, if any, follow.
QString Refusal(BaseSession& session, int result, int firstReport, const CTBObjetAts& object,
                const QByteArray& address) {
  const QString reports = session.ReportsSince(firstReport);
  if (result == 0 && reports.isEmpty()) return QString();
  switch (result) {
    case TB_SYMBOL_TAKEN:
      return QStringLiteral("Le symbole « %1 » est déjà porté par le repère %2.")
          .arg(Show(RowOf(object).symbol), Show(RowOf(object).address));
    case TB_NO_ROW:
    case TB_KEY_NOT_FOUND:
      return QStringLiteral("Le repère %1 n'est plus dans la base.").arg(Show(address));
    case TB_LOCKED_BY_OTHER:
      return BusyText(QStringLiteral("rien n'a été écrit"));
    case TB_NOT_DONE:
      return QStringLiteral("Le repère %1 est créé, mais son commentaire n'a pas pu être écrit.")
          .arg(Show(address));
    default:
      return QStringLiteral("La base a refusé la modification de %1 :\n%2")
          .arg(Show(address), FailureText(result, reports));
  }
}

QString Modify(BaseSession& session, const QByteArray& address, const Field& field, int mode) {
  if (!field.ok()) return field.error;
  CTBObjetAts object(address.constData(), "", "", 0, -1);
  (mode == kSymbolOnly ? object.m_symbole : object.m_commentaire) = field.value.constData();
  const int first = session.ReportCount();
  const int result = TBModifyObject(session.Handle(), &object, mode);
  // A row keeps its own symbol.
  if (result == TB_SYMBOL_TAKEN && RowOf(object).address == address) return QString();
  return Refusal(session, result, first, object, address);
}

}  // namespace

bool LookUp(BaseSession& session, const QByteArray& address, ObjectRow* row, int* result) {
  CTBObjetAts object(address.constData(), "", "", 0, -1);
  const int found = TBSearchAttrib(session.Handle(), &object, 0);
  if (result != nullptr) *result = found;
  if (found != 0) return false;
  *row = RowOf(object);
  row->address = address;
  return true;
}

QByteArray AddressOfSymbol(BaseSession& session, const QByteArray& symbol) {
  if (symbol.isEmpty()) return QByteArray();
  CTBObjetAts object("", symbol.constData(), "", 0, -1);
  if (TBSearchRepere(session.Handle(), &object) != 0) return QByteArray();
  return RowOf(object).address;
}

QString CreateObject(BaseSession& session, const QString& address, const QString& symbol,
                     const QString& comment, QByteArray* written) {
  const Field checkedAddress = CheckAddress(address);
  if (!checkedAddress.ok()) return checkedAddress.error;
  const Field checkedSymbol = CheckSymbol(symbol);
  if (!checkedSymbol.ok()) return checkedSymbol.error;
  const Field checkedComment = CheckComment(comment);
  if (!checkedComment.ok()) return checkedComment.error;
  ObjectRow existing;
  int looked = 0;
  if (LookUp(session, checkedAddress.value, &existing, &looked)) {
    return QStringLiteral("Le repère %1 est déjà dans la base.").arg(Show(checkedAddress.value));
  }
  if (looked == TB_LOCKED_BY_OTHER) return BusyText(QStringLiteral("rien n'a été écrit"));
  CTBObjetAts object(checkedAddress.value.constData(), checkedSymbol.value.constData(), "", 0, -1);
  object.m_commentaire = checkedComment.value.constData();  // kept whole, blanks included
  const int first = session.ReportCount();
  const int result = TBCreateObject(session.Handle(), &object);
  if (written != nullptr) *written = checkedAddress.value;
  return Refusal(session, result, first, object, checkedAddress.value);
}

QString ModifySymbol(BaseSession& session, const QByteArray& address, const QString& symbol) {
  return Modify(session, address, CheckSymbol(symbol), kSymbolOnly);
}

QString ModifyComment(BaseSession& session, const QByteArray& address, const QString& comment) {
  return Modify(session, address, CheckComment(comment), kCommentOnly);
}

QString DeleteObject(BaseSession& session, const QByteArray& address) {
  CTBObjetAts object(address.constData(), "", "", 0, -1);
  const int first = session.ReportCount();
  const int result = TBDelObject(session.Handle(), &object);
  return Refusal(session, result, first, object, address);
}

}  // namespace gui
