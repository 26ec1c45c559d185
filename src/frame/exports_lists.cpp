// Exported listings, export and counting: each reads the base.

#include "frame/guarded_call.h"
#include "symbase/tabis.h"

using symbase::Access;
using symbase::GuardedOn;
using symbase::RefusedNull;

int TBListRepere(CTBData* handle, CString prefix, int firstInd1, int lastInd1, unsigned int maximum,
                 CObList* list) {
  if (RefusedNull(512, list)) return 0;
  return GuardedOn(handle, 512, Access::kRead,
                   [&] { return handle->ListRepere(prefix, firstInd1, lastInd1, maximum, list); });
}

int TBListRepereModule(CTBData* handle, CString prefix, int ind1, int positionCount,
                       unsigned int firstPosition, unsigned int lastPosition, unsigned int maximum,
                       CObList* list) {
  if (RefusedNull(512, list)) return 0;
  return GuardedOn(handle, 512, Access::kRead, [&] {
    return handle->ListRepereModule(prefix, ind1, positionCount, firstPosition, lastPosition,
                                    maximum, list);
  });
}

int TBListRepereSousObjet(CTBData* handle, CString prefix, int ind1, unsigned int maximum,
                          CObList* list) {
  if (RefusedNull(513, list)) return 0;
  return GuardedOn(handle, 513, Access::kRead,
                   [&] { return handle->ListRepereSousObjet(prefix, ind1, maximum, list); });
}

int TBListRepereModuleSousObjet(CTBData* handle, CString prefix, int ind1, int positionCount,
                                int position, unsigned int subEntryCount, CObList* list) {
  if (RefusedNull(513, list)) return 0;
  return GuardedOn(handle, 513, Access::kRead, [&] {
    return handle->ListRepereModuleSousObjet(prefix, ind1, positionCount, position, subEntryCount,
                                             list);
  });
}

int TBListRepereTroisIndicesSousObjet(CTBData* handle, CString prefix, int ind1, int ind2, int ind3,
                                      unsigned int maximum, CObList* list) {
  if (RefusedNull(514, list)) return 0;
  return GuardedOn(handle, 514, Access::kRead, [&] {
    return handle->ListRepereTroisIndicesSousObjet(prefix, ind1, ind2, ind3, maximum, list);
  });
}

int TBListRepereByTypeObject(CTBData* handle, CString prefix, int subObject, int* ind1,
                             CObList* list, int* finished) {
  if (RefusedNull(515, ind1, list, finished)) return 0;
  return GuardedOn(handle, 515, Access::kRead, [&] {
    return handle->ListRepereByTypeObject(prefix, subObject, ind1, list, finished);
  });
}

int TBListSymbolByTypeObject(CTBData* handle, CString prefix, int subObjectMode, int firstCall,
                             int withSymbol, CObList* list, int* finished, int moduleNumber) {
  if (RefusedNull(516, list, finished)) return 0;
  return GuardedOn(handle, 516, Access::kRead, [&] {
    return handle->ListSymbolByTypeObject(prefix, subObjectMode, firstCall, withSymbol, list,
                                          finished, moduleNumber);
  });
}

int TBListRepereAllBaseSymbol(CTBData* handle, long* record, CObList* list, int* finished) {
  if (RefusedNull(517, record, list, finished)) return 0;
  return GuardedOn(handle, 517, Access::kRead,
                   [&] { return handle->ListRepereAllBaseSymbol(record, list, finished); });
}

int TBExportSymbol(CTBData* handle, CString prefix, int moduleNumber, long* counter, CObList* list,
                   int* finished) {
  if (RefusedNull(525, counter, list, finished)) return 0;
  return GuardedOn(handle, 525, Access::kRead, [&] {
    return handle->ExportSymbol(prefix, moduleNumber, counter, list, finished);
  });
}

int TBNumberObjectByType(CTBData* handle, CString prefix, int moduleNumber, long* count) {
  if (RefusedNull(526, count)) return 0;
  return GuardedOn(handle, 526, Access::kRead,
                   [&] { return handle->NumberObjectByType(prefix, moduleNumber, count); });
}
