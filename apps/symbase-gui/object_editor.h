#ifndef SYMBASE_APPS_GUI_OBJECT_EDITOR_H
#define SYMBASE_APPS_GUI_OBJECT_EDITOR_H

// Changes to single objects through the library's create, modify and delete,
// with the library's refusals put into words. Each gives "" when done, or the
// message to show; a refused change writes nothing.

#include <QString>

#include "object_row.h"

namespace gui {

class BaseSession;

// A new row; the address is checked, written in its usual form (returned in
// *written) and must not be in the base yet.
QString CreateObject(BaseSession& session, const QString& address, const QString& symbol,
                     const QString& comment, QByteArray* written);
QString ModifySymbol(BaseSession& session, const QByteArray& address, const QString& symbol);
QString ModifyComment(BaseSession& session, const QByteArray& address, const QString& comment);
QString DeleteObject(BaseSession& session, const QByteArray& address);

// The row of an address; false when the base has none, or when the library
// could not tell (*result, when asked for, then holds its answer: 104 for a
// base another program keeps busy).
bool LookUp(BaseSession& session, const QByteArray& address, ObjectRow* row, int* result = nullptr);
// The address that carries a symbol; "" when none does.
QByteArray AddressOfSymbol(BaseSession& session, const QByteArray& symbol);

}  // namespace gui

#endif
