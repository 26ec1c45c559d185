#ifndef SYMBASE_ADDRESS_OBJECT_KEY_H
#define SYMBASE_ADDRESS_OBJECT_KEY_H

#include "symbase/afx.h"

namespace symbase {

// The five key fields of an address as they are written: OBJET as decoded,
// IND1 zero-padded to 5, IND2 and IND3 zero-padded to 5 and IND4 to 2 when
// present, empty when absent.
struct AddressKey {
  CString objet;
  CString ind1;
  CString ind2;
  CString ind3;
  CString ind4;
};

// The key fields of an address as create, insertion, the symbol move, the
// reconfiguration and the check write them (base 32 for module objects
// unless decimal module numbering is in force, asked afresh each time).
AddressKey EncodeRepere(const CString& repere);

// Five base-32 digits of value into out (6 bytes at least): 0, or 1 with
// out empty when value is above 33554431.
int EncodeIndex32(unsigned long value, char* out);

// Seek key and 5-character object code from an address prefix ("%MW"), a
// bit flag and up to three numbers (-1: absent). prefix receives the key.
void BuildObjectKey(CString& prefix, CString& objet, int bitFlag, int ind1, int ind2, int ind3);

// Address prefix or family code of a host type code; out unchanged when
// the type has none.
void TypeToPrefix(unsigned short typeCode, int moduleFlag, int bitFlag, CString& out);

}  // namespace symbase

#endif
