#ifndef SYMBASE_ADDRESS_KEY_TEXT_H
#define SYMBASE_ADDRESS_KEY_TEXT_H

#include "symbase/afx.h"

// Small text rules of the address key.

namespace symbase {

// The value of the leading decimal digits of `text` (leading blanks skipped);
// 0 when there are none. Saturates instead of overflowing.
unsigned long LeadingNumber(const char* text);

// `text` preceded by zeros up to `width` characters; a text as long as the
// width or longer is returned as it is.
CString ZeroPadded(const CString& text, int width);

// `text` followed by blanks up to `width` characters.
CString BlankPadded(const CString& text, int width);

// True when the object code names a module object (it begins with "V") or a
// module status word (it begins with "MO"): their IND1 may be in base 32.
bool IsModuleObject(const char* objet);  // objet never null (a CString passes as its text)

}  // namespace symbase

#endif
