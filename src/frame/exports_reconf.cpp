// Exported reconfiguration, step-attribute deletion and base conversion.

#include "frame/guard.h"
#include "storage/tb_data.h"
#include "symbase/tabis.h"

using symbase::Guarded;

int TBReconfByType(CTBData* handle, unsigned short typeCode, unsigned short number) {
  return Guarded(522, [&] { return handle->ReconfByType(typeCode, number); });
}

int TBReconfByMacroEtape(CTBData* handle, unsigned short typeCode, unsigned short macroStep,
                         unsigned short stepCount) {
  return Guarded(522, [&] { return handle->ReconfByMacroEtape(typeCode, macroStep, stepCount); });
}

int TBReconfDelObject(CTBData* handle, CTBObjetAts* object, unsigned short typeCode, int ignored) {
  return Guarded(522, [&] { return handle->ReconfDelObject(object, typeCode, ignored); });
}

int TBReconf() { return 0; }

int TBReconfMoveModule(CTBData* handle, UsAts* source, UsAts* target) {
  return Guarded(523, [&] { return handle->ReconfMoveModule(source, target); });
}

int TBDelObjetDiagG7(CTBData* handle) {
  return Guarded(530, [&] { return handle->DelObjetDiagG7(); });
}

int TBTransformerBaseSymbolL1ToL2(CTBData* handle, int ignored) {
  return Guarded(500, [&] { return handle->TransformL1ToL2(ignored); });
}
