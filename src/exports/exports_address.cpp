// Exported address functions.

#include "address/decode_repere.h"
#include "address/module_address.h"
#include "frame/guard.h"
#include "symbase/tabis.h"

using symbase::Guarded;
using symbase::RefusedNull;

// Each takes the handle as the interface declares; the codec needs no base.
void TBDecodeRepere(CTBData*, CString& repere, CString& objet, CString& ind1, CString& ind2,
                    CString& ind3, CString& ind4) {
  Guarded(532, [&] {
    symbase::DecodeRepere(repere, objet, ind1, ind2, ind3, ind4);
    return 0;
  });
}

int TBCodeChaineAdrModule(CTBData*, UsAts* result, unsigned int* value, int* position) {
  if (RefusedNull(528, result, value, position)) return 0;
  return Guarded(528, [&] { return symbase::CodeChaineAdrModule(result, value, position); });
}

int TBDecodeValeurAdrModule(CTBData*, unsigned int value, CString& text) {
  return Guarded(529, [&] { return symbase::DecodeValeurAdrModule(value, text); });
}
