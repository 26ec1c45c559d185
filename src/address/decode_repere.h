#ifndef SYMBASE_ADDRESS_DECODE_REPERE_H
#define SYMBASE_ADDRESS_DECODE_REPERE_H

#include "symbase/afx.h"

namespace symbase {

// Splits an address text into the object code and up to four index texts;
// appends to objet and ind1 and leaves ind2..ind4 as given when the address
// has no such part. A bus module address (\a.b.c\d) gives its packed value
// in ind1, 0 when out of range (the host's analyser reads it).
void DecodeRepere(const CString& repere, CString& objet, CString& ind1, CString& ind2,
                  CString& ind3, CString& ind4);

}  // namespace symbase

#endif
