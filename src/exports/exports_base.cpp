// Exported handle and base life-cycle functions.

#include "frame/guard.h"
#include "resources/resource_module.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;
using symbase::RefusedNull;

void TBInitTabisDll(CTBData** handle) {
  if (RefusedNull(519, handle)) return;
  Guarded(519, [&] {
    // Links the library's resources into the host's chain; the framework
    // owns this object from now on.
    new CDynLinkLibrary(symbase::ExtensionModule());
    *handle = new CTBData;
    return 0;
  });
}

int TBFreeTabisDll(CTBData* handle) {
  delete handle;
  return 0;
}

int TBCreateBaseSymbol(CTBData* handle, const char* directory, int ignored) {
  if (RefusedNull(500, directory)) return 0;
  return Guarded(500, [&] { return handle->Create(directory, ignored); });
}

int TBDeleteBaseSymbol(CTBData* handle, const char* directory) {
  if (RefusedNull(501, directory)) return 0;
  return Guarded(501, [&] { return handle->Delete(directory); });
}

int TBOpenBaseSymbol(CTBData* handle, const char* directory) {
  if (RefusedNull(502, directory)) return 0;
  return Guarded(502, [&] { return handle->Open(directory); });
}

int TBCloseBaseSymbol(CTBData* handle) {
  return Guarded(524, [&] { return handle->Close(); });
}

int TBLockBaseSymbol(CTBData* handle) {
  return Guarded(503, [&] { return handle->Lock(); });
}

int TBUnlockBaseSymbol(CTBData* handle, const char* directory) {
  if (RefusedNull(504, directory)) return 0;
  return Guarded(504, [&] { return handle->Unlock(directory); });
}

int TBLastModificationDate(CTBData* handle, long* date) {
  if (RefusedNull(536, date)) return 0;
  return Guarded(536, [&] { return handle->LastModificationDate(date); });
}
