// Exported I/O list functions.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;
using symbase::RefusedNull;

void TBTriListeRepereES(CTBData* handle, CStringList* list) {
  if (RefusedNull(533, list)) return;
  Guarded(533, [&] {
    handle->TriListeRepereES(list);
    return 0;
  });
}

void TBFiltrerListeRepereES(CTBData* handle, CStringList* list) {
  if (RefusedNull(534, list)) return;
  Guarded(534, [&] {
    handle->FiltrerListeRepereES(list);
    return 0;
  });
}
