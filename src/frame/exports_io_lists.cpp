// Exported I/O list functions.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;

void TBTriListeRepereES(CTBData* handle, CStringList* list) {
  Guarded(533, [&] {
    handle->TriListeRepereES(list);
    return 0;
  });
}

void TBFiltrerListeRepereES(CTBData* handle, CStringList* list) {
  Guarded(534, [&] {
    handle->FiltrerListeRepereES(list);
    return 0;
  });
}
