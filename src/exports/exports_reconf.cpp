// Exported reconfiguration, step-attribute deletion and base conversion:
// each writes the base.

#include "storage/guarded_call.h"
#include "symbase/tabis.h"

using symbase::Access;
using symbase::CommitFailure;
using symbase::GuardedOn;
using symbase::RefusedNull;

int TBReconfByType(CTBData* handle, unsigned short typeCode, unsigned short number) {
  return GuardedOn(handle, 522, Access::kWrite,
                   [&] { return handle->ReconfByType(typeCode, number); });
}

int TBReconfByMacroEtape(CTBData* handle, unsigned short typeCode, unsigned short macroStep,
                         unsigned short stepCount) {
  return GuardedOn(handle, 522, Access::kWrite,
                   [&] { return handle->ReconfByMacroEtape(typeCode, macroStep, stepCount); });
}

int TBReconfDelObject(CTBData* handle, CTBObjetAts* object, unsigned short typeCode, int ignored) {
  if (RefusedNull(522, object)) return 0;
  return GuardedOn(handle, 522, Access::kWrite,
                   [&] { return handle->ReconfDelObject(object, typeCode, ignored); });
}

int TBReconf() { return 0; }

int TBReconfMoveModule(CTBData* handle, UsAts* source, UsAts* target) {
  if (RefusedNull(523, source, target)) return 0;
  return GuardedOn(handle, 523, Access::kWrite,
                   [&] { return handle->ReconfMoveModule(source, target); });
}

int TBDelObjetDiagG7(CTBData* handle) {
  return GuardedOn(handle, 530, Access::kWrite, [&] { return handle->DelObjetDiagG7(); });
}

// The conversion returns 0 whatever its writes gave: a failure is reported.
int TBTransformerBaseSymbolL1ToL2(CTBData* handle, int ignored) {
  return GuardedOn(
      handle, 500, Access::kWrite, [&] { return handle->TransformL1ToL2(ignored); },
      CommitFailure::kReportedOnly);
}
