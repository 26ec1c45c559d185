// Exported address functions.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;
using symbase::RefusedNull;

void TBDecodeRepere(CTBData* handle, CString& repere, CString& objet, CString& ind1, CString& ind2,
                    CString& ind3, CString& ind4) {
  Guarded(532, [&] {
    handle->DecodeRepere(repere, objet, ind1, ind2, ind3, ind4);
    return 0;
  });
}

int TBCodeChaineAdrModule(CTBData* handle, UsAts* result, unsigned int* value, int* position) {
  if (RefusedNull(528, result, value, position)) return 0;
  return Guarded(528, [&] { return handle->CodeChaineAdrModule(result, value, position); });
}

int TBDecodeValeurAdrModule(CTBData* handle, unsigned int value, CString& text) {
  return Guarded(529, [&] { return handle->DecodeValeurAdrModule(value, text); });
}
