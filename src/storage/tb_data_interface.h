#ifndef SYMBASE_STORAGE_TB_DATA_INTERFACE_H
#define SYMBASE_STORAGE_TB_DATA_INTERFACE_H

#include "symbase/afx.h"

// The two searches that hosts reach through the object's own virtual table
// (TBSearchSymbolAnalex, TBSearchRepereAnalex). No data.
class CTBDataInterface : public CObject {
 public:
  // The symbol of an address into a caller's buffer of `size` bytes.
  virtual int SearchSymbolAnalex(const char* repere, char* symbole, int size) = 0;
  // The address of a symbol into a caller's buffer of `size` bytes.
  virtual int SearchRepereAnalex(char* symbole, char* repere, int size) = 0;
};

#endif
