#ifndef SYMBASE_APPS_GUI_FIELDS_H
#define SYMBASE_APPS_GUI_FIELDS_H

// What a person types for an object, checked and turned into what the
// library stores (Windows-1252 bytes), or refused with the reason in French.

#include <QByteArray>
#include <QString>

#include "symbase/host_analysis.h"

namespace gui {

constexpr int kMaxAddress = 36;
constexpr int kMaxSymbol = 32;
constexpr int kMaxComment = 508;  // two comment fields of 254

struct Field {
  QByteArray value;
  QString error;  // "" when the text is accepted
  bool ok() const { return error.isEmpty(); }
};

// An address of the controller language in its written form ("%mw010" gives
// "%MW10"); its analysis in *analysis when asked for.
Field CheckAddress(const QString& text, UsAts* analysis = nullptr);
// A symbol, or "" for none: letters, digits and "_", not starting with a
// digit, at most 32 characters, not a reserved word; blanks around it go.
Field CheckSymbol(const QString& text);
// At most 508 characters of the code page, no line break or control character.
Field CheckComment(const QString& text);

}  // namespace gui

#endif
