#ifndef SYMBASE_APPS_GUI_OBJECT_ROW_H
#define SYMBASE_APPS_GUI_OBJECT_ROW_H

#include <QByteArray>

namespace gui {

// One object as the base holds it, texts in Windows-1252 without trailing blanks.
struct ObjectRow {
  QByteArray address;
  QByteArray symbol;
  QByteArray comment;
};

// The texts of a record the library handed out, trailing blanks removed.
template <class Record>
ObjectRow RowOf(const Record& record) {
  auto text = [](const char* bytes) {
    qsizetype length = qstrlen(bytes);
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return QByteArray(bytes, length);
  };
  return {text(record.m_repere), text(record.m_symbole), text(record.m_commentaire)};
}

}  // namespace gui

#endif
