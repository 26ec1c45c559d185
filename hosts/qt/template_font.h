#ifndef SYMBASE_HOSTS_QT_TEMPLATE_FONT_H
#define SYMBASE_HOSTS_QT_TEMPLATE_FONT_H

#include <QFont>

#include "symbase/afxwin.h"

namespace symbase_qt {

// The font to draw an open dialog in: its template's face (or the nearest
// sans serif the machine has), at the largest pixel size whose average
// letter width and line height fit the dialog base units the framework gives
// that face and size, and at which the text of each one-line label and
// button fits the rectangle the template gives it.
QFont TemplateFont(const CDialog& dialog);

}  // namespace symbase_qt

#endif
