#ifndef SYMBASE_STORAGE_SYMBOL_TEXT_H
#define SYMBASE_STORAGE_SYMBOL_TEXT_H

#include "symbase/afx.h"

namespace symbase {

// Runs the host's PrepareSymbol on a framework string, in place. Returns the
// host's answer (positive when a usable symbol remains).
int PrepareSymbolText(CString& symbol);

}  // namespace symbase

#endif
